#include "addons/common/controller_strip.h"

#include <string>

ControllerStrip::ControllerStrip(uint32 flags)
    : BView(BRect(0, 0, 10, 10), "PatternView", B_FOLLOW_NONE, flags) {
    SetViewColor(200, 200, 200);
    SetLowColor(200, 200, 200);
}

int32 ControllerStrip::Height() const {
    const BRect bounds = Bounds();
    return int32(bounds.bottom - bounds.top);
}

void ControllerStrip::DrawTicks(BRect update) {
    constexpr int32 kMeasure = 4 * kPositionWidth;
    const int32 h = Height();
    const int32 from = int32(update.left / kMeasure - 1) * kMeasure;
    const int32 to = int32(update.right / kMeasure + 1) * kMeasure;
    SetHighColor(159, 159, 159);
    for (int32 x = from, i = 0; x < to; x += kPositionWidth, i++) {
        if (i % 4 == 0) {
            StrokeLine(BPoint(x, 4), BPoint(x, h - 6));
        } else {
            StrokeLine(BPoint(x, 6), BPoint(x, h - 8));
        }
    }
}

int32 ControllerStrip::PositionAt(BPoint where) {
    return int32((where.x + 2) / kPositionWidth);
}

void ControllerStrip::DrawBar(float x) {
    const int32 h = Height();
    SetHighColor(0, 0, 0);
    StrokeLine(BPoint(x, 1), BPoint(x, h - 1));
    StrokeLine(BPoint(x + 1, 1), BPoint(x + 1, h - 1));
}

void ControllerStrip::DrawNumber(int32 value, float x) {
    SetHighColor(0, 0, 0);
    DrawString(std::to_string(value).c_str(), BPoint(x, 12));
}

uint32 ControllerStrip::Buttons() {
    BPoint where;
    uint32 buttons = 0;
    GetMouse(&where, &buttons);
    return buttons;
}
