#include "app/my_view.h"

#include "platform/app/app_defs.h"
#include "platform/interface/window.h"

namespace {

constexpr rgb_color kBackground = {36, 40, 48, 255};
constexpr rgb_color kBand = {20, 119, 175, 255};
constexpr rgb_color kStepOff = {64, 70, 82, 255};
constexpr rgb_color kStepOn = {240, 180, 40, 255};
constexpr rgb_color kName = {250, 250, 250, 255};
constexpr rgb_color kText = {196, 202, 212, 255};
constexpr rgb_color kHint = {128, 136, 150, 255};

constexpr int32 kSteps = 16;
// The steps lit in the row of pads under the name: a four-on-the-floor beat with a fill.
constexpr bool kLit[kSteps] = {1, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 1, 1, 0, 1};
constexpr float kPad = 14;
constexpr float kGap = 4;

void UseFont(BView* view, float size, uint16 face = B_REGULAR_FACE) {
    const BFont font("DejaVu Sans", size, face);
    view->SetFont(&font);
}

}  // namespace

MyView::MyView(BRect frame) : BView(frame, "MyView", B_FOLLOW_ALL, B_WILL_DRAW) {
    SetViewColor(kBackground);
}

void MyView::AttachedToWindow() {
    MakeFocus(true);
}

void MyView::Draw(BRect) {
    const BRect bounds = Bounds();
    SetHighColor(kBand);
    FillRect(BRect(0, 0, bounds.right, 5));
    UseFont(this, 32, B_BOLD_FACE);
    SetHighColor(kName);
    DrawCentred("Velloran", 58);
    DrawSteps(74);
    UseFont(this, 14);
    SetHighColor(kText);
    DrawCentred("A modular music composer", 112);
    UseFont(this, 11);
    DrawCentred("Version " VELLORAN_VERSION, 132);
    SetHighColor(kHint);
    DrawCentred("Click or press Escape to close", bounds.bottom - 12);
}

void MyView::DrawSteps(float top) {
    float x = float(int((Bounds().Width() - kSteps * kPad - (kSteps - 1) * kGap) / 2));
    for (bool lit : kLit) {
        SetHighColor(lit ? kStepOn : kStepOff);
        FillRoundRect(BRect(x, top, x + kPad - 1, top + 7), 2, 2);
        x += kPad + kGap;
    }
}

void MyView::DrawCentred(const char* text, float baseline) {
    DrawString(text, BPoint(float(int((Bounds().Width() - StringWidth(text)) / 2)), baseline));
}

void MyView::MouseDown(BPoint) {
    Close();
}

void MyView::KeyDown(const char* bytes, int32 numBytes) {
    if (bytes[0] == B_ESCAPE) {
        Close();
        return;
    }
    BView::KeyDown(bytes, numBytes);
}

void MyView::Close() {
    Window()->PostMessage(B_QUIT_REQUESTED);
}
