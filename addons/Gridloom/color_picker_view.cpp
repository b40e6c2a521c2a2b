#include "addons/Gridloom/color_picker_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/bitmap.h"
#include "platform/interface/window.h"

namespace {

constexpr rgb_color kPresets[ColorPickerView::kPresetCount] = {
    {20, 119, 175, 255}, {0, 101, 141, 255}, {0, 141, 138, 255}, {0, 141, 93, 255},
    {113, 141, 0, 255},  {172, 164, 0, 255}, {141, 0, 87, 255},  {141, 0, 134, 255},
    {255, 30, 84, 255},  {0, 0, 211, 255},   {181, 0, 143, 255}, {240, 112, 0, 255}};

// What the open picker hands back to RunColorPicker when its view goes with its window.
struct PickerRun {
    bool closed = false;
    bool cancel = true;
    rgb_color picked = {0, 0, 0, 255};
};

// The GUI thread's: the one picker that may be open.
PickerRun* running = nullptr;

double Clamp255(double value) {
    return std::clamp(value, 0.0, 255.0);
}

uint8 Shade(double shade, double base) {
    return uint8(Clamp255(std::trunc(shade + base)));
}

}  // namespace

ColorPickerView::ColorPickerView(BRect frame, rgb_color start)
    : BView(frame, "ColorPickerView", B_FOLLOW_NONE, B_WILL_DRAW),
      fWb(int32(frame.Width()) + 1 - kStrip),
      fHb(int32(frame.Height()) + 1),
      fBitmap(std::make_unique<BBitmap>(BRect(0, 0, float(fWb - 1), float(fHb - 1)), B_RGB32)),
      fPicked(start) {
    SetHighColor(0, 0, 0);
    FillSpectrum();
    FillPresets();
}

ColorPickerView::~ColorPickerView() {
    if (running == nullptr) return;
    running->closed = true;
    running->cancel = fCancel;
    running->picked = fPicked;
    gui_thread::Recheck();
}

void ColorPickerView::SetPixel(int32 x, int32 y, rgb_color color) {
    auto* pixel = static_cast<uint8*>(fBitmap->Bits()) + y * fBitmap->BytesPerRow() + x * 4;
    pixel[0] = color.blue;
    pixel[1] = color.green;
    pixel[2] = color.red;
    pixel[3] = 255;
}

// Hues across the width, running to white at the top and to black at the bottom.
void ColorPickerView::FillSpectrum() {
    constexpr double kPi = std::numbers::pi;
    for (int32 x = 0; x < fWb; x++) {
        const double a = 2 * kPi * x / fWb;
        const double r0 = Clamp255(256 * std::cos(a) + 128);
        const double g0 = Clamp255(256 * std::cos(a + 2 * kPi / 3) + 128);
        const double b0 = Clamp255(256 * std::cos(a + 4 * kPi / 3) + 128);
        for (int32 y = 0; y < fHb; y++) {
            const double shade = 256 * std::cos(kPi * y / fHb);
            SetPixel(x, y, {Shade(shade, r0), Shade(shade, g0), Shade(shade, b0), 255});
        }
    }
}

void ColorPickerView::FillPresets() {
    const int32 width = std::min(kPresetCount * kPresetWidth, fWb);
    for (int32 y = std::max(fHb - kPresetRows, int32(0)); y < fHb; y++) {
        for (int32 x = 0; x < width; x++) SetPixel(x, y, kPresets[x / kPresetWidth]);
    }
}

BRect ColorPickerView::StripFrame() const {
    const BRect bounds = Bounds();
    return BRect(bounds.right - float(kStrip - 2), bounds.top, bounds.right, bounds.bottom);
}

void ColorPickerView::Draw(BRect) {
    DrawBitmap(fBitmap.get(), BPoint(0, 0));
    SetHighColor(fPicked);
    FillRect(StripFrame());
}

bool ColorPickerView::Preview(BPoint where) {
    const int32 x = int32(std::floor(where.x));
    const int32 y = int32(std::floor(where.y));
    if (x < 0 || y < 0 || x >= fWb || y >= fHb) return false;
    fPicked = fBitmap->PixelAt(x, y);
    fPicked.alpha = 255;
    Invalidate(StripFrame());
    return true;
}

void ColorPickerView::MouseMoved(BPoint where, uint32 transit, const BMessage*) {
    if (transit == B_EXITED_VIEW || transit == B_OUTSIDE_VIEW || !Bounds().Contains(where))
        return Close(true);
    Preview(where);
}

void ColorPickerView::MouseDown(BPoint where) {
    // On the preview strip the click takes what is previewed there.
    Preview(where);
    Close(false);
}

void ColorPickerView::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes == 1 && bytes[0] == B_ESCAPE) return Close(true);
    BView::KeyDown(bytes, numBytes);
}

void ColorPickerView::WindowActivated(bool active) {
    if (!active) Close(true);
}

// The first way out decides: leaving as the window goes must not undo a click.
void ColorPickerView::Close(bool cancelled) {
    if (fClosing) return;
    fClosing = true;
    fCancel = cancelled;
    if (Window() != nullptr) Window()->PostMessage(B_QUIT_REQUESTED);
}

bool RunColorPicker(BPoint where, rgb_color* color) {
    if (color == nullptr || running != nullptr || !gui_thread::Started()) return false;
    PickerRun run;
    running = &run;
    const BRect frame(where.x, where.y, where.x + ColorPickerView::kWidth,
                      where.y + ColorPickerView::kHeight);
    auto* window = new BWindow(frame, "ColorPicker", B_POPUP_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
                               B_NOT_RESIZABLE);
    auto* view =
        new ColorPickerView(BRect(0, 0, ColorPickerView::kWidth, ColorPickerView::kHeight), *color);
    window->AddChild(view);
    view->MakeFocus();
    window->Show();
    // Every window goes on being served while the pattern window waits here.
    gui_thread::Await([&run] { return run.closed; });
    running = nullptr;
    if (!run.closed) {
        // The application is quitting: the picker goes without a choice.
        window->Lock();
        window->Quit();
        return false;
    }
    if (run.cancel) return false;
    *color = run.picked;
    return true;
}
