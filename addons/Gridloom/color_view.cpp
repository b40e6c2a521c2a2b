#include "addons/Gridloom/color_view.h"

#include "platform/interface/window.h"

ColorView::ColorView(BRect frame)
    : BView(frame, "ColorView", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW) {}

void ColorView::SetColor(rgb_color color) {
    SetViewColor(color);
    Invalidate();
}

void ColorView::MouseDown(BPoint where) {
    if (Window() == nullptr) return;
    // Through the queue: the picker's nested loop must not run inside this click.
    BMessage pick(kPick);
    pick.AddPoint("where", ConvertToScreen(where));
    Window()->PostMessage(&pick);
}
