#include "addons/Gridloom/y_scroll_bar1.h"

#include "addons/Gridloom/track_container.h"

namespace gridloom {

YScrollBar1::YScrollBar1(BRect frame, TrackContainer* area)
    : BScrollBar(frame, "YScrollBar1", nullptr, 0, 100, B_VERTICAL), fArea(area) {}

void YScrollBar1::ValueChanged(float value) {
    BScrollBar::ValueChanged(value);
    if (BView* buttons = fArea->FindView(TrackContainer::kButtonsName))
        buttons->MoveTo(0, -value * TrackContainer::kRowHeight);
    fArea->Redraw();
}

}  // namespace gridloom
