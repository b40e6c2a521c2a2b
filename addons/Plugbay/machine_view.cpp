#include "addons/Plugbay/machine_view.h"

MachineView::MachineView()
    : BView(BRect(0, 0, 10, 10), "MachineView", B_FOLLOW_LEFT | B_FOLLOW_TOP,
            B_WILL_DRAW | B_NAVIGABLE) {
    SetViewColor(200, 200, 200);
    SetLowColor(200, 200, 200);
}
