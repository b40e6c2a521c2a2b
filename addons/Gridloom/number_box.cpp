#include "addons/Gridloom/number_box.h"

#include <algorithm>
#include <cstdio>

#include "platform/interface/window.h"

namespace {

constexpr rgb_color kField = {236, 236, 236, 255};
constexpr rgb_color kText = {0, 0, 0, 255};
constexpr float kCentre = 6;
constexpr float kBaseline = 11;
// Three digits in the 12-pixel font would spill out of a 14-pixel field.
constexpr float kFontSize = 10;

}  // namespace

NumberBox::NumberBox(BRect frame, int32 value, int32 minimum, int32 maximum, BMessage* message)
    : BView(frame, "NumberBox", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
      fValue(std::clamp(value, minimum, maximum)),
      fMinimum(minimum),
      fMaximum(maximum),
      fMessage(message) {
    SetViewColor(kField);
    SetLowColor(kField);
    SetHighColor(kText);
    SetFontSize(kFontSize);
}

NumberBox::~NumberBox() {
    delete fMessage;
}

void NumberBox::SetValue(int32 value) {
    fValue = std::clamp(value, fMinimum, fMaximum);
    Invalidate();
}

void NumberBox::SetMaximum(int32 maximum) {
    fMaximum = std::max(maximum, fMinimum);
    SetValue(fValue);
}

void NumberBox::Draw(BRect) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", int(fValue));
    DrawString(text, BPoint(kCentre - StringWidth(text) / 2, kBaseline));
}

void NumberBox::MouseDown(BPoint) {
    uint32 buttons = B_PRIMARY_MOUSE_BUTTON;
    if (const BMessage* event = Window()->CurrentMessage()) {
        int32 pressed = 0;
        if (event->FindInt32("buttons", &pressed) == B_OK) buttons = uint32(pressed);
    }
    Step((buttons & B_SECONDARY_MOUSE_BUTTON) != 0 ? 1 : -1);
}

void NumberBox::MessageReceived(BMessage* message) {
    if (message->what != B_MOUSE_WHEEL_CHANGED) {
        BView::MessageReceived(message);
        return;
    }
    float delta = 0;
    message->FindFloat("be:wheel_delta_y", &delta);
    // Down, like the primary button, lowers the value.
    if (delta != 0) Step(delta > 0 ? -1 : 1);
}

void NumberBox::Step(int32 delta) {
    SetValue(fValue + delta);
    if (Window() != nullptr) Window()->MessageReceived(fMessage);
}
