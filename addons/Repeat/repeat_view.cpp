#include "addons/Repeat/repeat_view.h"

#include "addons/Repeat/controller_repeat.h"

RepeatView::RepeatView(ControllerRepeat* machine)
    : ControllerStrip(B_WILL_DRAW | B_NAVIGABLE), fMachine(machine) {}

void RepeatView::Draw(BRect update) {
    DrawTicks(update);
    const float x1 = XOf(fMachine->rep1);
    const float x2 = XOf(fMachine->rep2);
    DrawBar(x1);
    DrawBar(x2 - 1);
    StrokeLine(BPoint(x1, 7), BPoint(x2, 7));
    DrawNumber(fMachine->reptimes, x2 + 6);
}

void RepeatView::MouseDown(BPoint where) {
    const uint32 buttons = Buttons();
    const int32 pos = PositionAt(where);
    if ((buttons & B_PRIMARY_MOUSE_BUTTON) && pos < fMachine->rep2) fMachine->rep1 = pos;
    if ((buttons & B_SECONDARY_MOUSE_BUTTON) && pos > fMachine->rep1) fMachine->rep2 = pos;
    Invalidate();
}
