#include "app/volume_changer_view.h"

#include <QEventLoop>
#include <algorithm>
#include <atomic>
#include <cstdio>

#include "engine/machine.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/window.h"

namespace {

constexpr rgb_color kBlack = {0, 0, 0, 255};
constexpr rgb_color kWhite = {255, 255, 255, 255};

// The GUI thread's; the flag lets other threads ask without touching the view.
VolumeChangerView* changerview = nullptr;
std::atomic<bool> gOpen{false};

rgb_color Grey(uint8 level) {
    return {level, level, level, 255};
}

}  // namespace

VolumeChangerView::VolumeChangerView(BRect frame, ConnectionVolume target,
                                     std::function<void()> closed)
    : BView(frame, "VolumeChangerView", B_FOLLOW_NONE, B_WILL_DRAW),
      fTarget(target),
      fClosed(std::move(closed)),
      fWidth(int32(frame.Width())),
      fHeight(int32(frame.Height())) {
    SetViewColor(216, 216, 216);
    SetFontSize(9);
    changerview = this;
    gOpen = true;
}

VolumeChangerView::~VolumeChangerView() {
    changerview = nullptr;
    gOpen = false;
    if (fClosed) fClosed();
}

void VolumeChangerView::Draw(BRect) {
    const int32 half = fWidth / 2;
    DrawSlot(3, half - 2);
    DrawSlot(half + 2, fWidth - 2);
    SetHighColor(kBlack);
    const int32 scale = (fHeight - 20) / 2;
    for (int32 k = 0; k <= 2; k++) {
        const float y = float(fHeight - 10 - scale * k);
        StrokeLine(BPoint(half - 2, y), BPoint(half + 2, y));
    }
    DrawKnob(5, half - 4, 6, fTarget.Get(ConnectionVolume::kLeft));
    DrawKnob(half + 4, fWidth - 4, half + 6, fTarget.Get(ConnectionVolume::kRight));
}

void VolumeChangerView::DrawSlot(int32 left, int32 right) {
    const float l = float(left), r = float(right), b = float(fHeight);
    SetHighColor(kWhite);
    FillRect(BRect(l + 2, 5, r - 2, b - 5));
    BeginLineArray(8);
    AddLine(BPoint(l, 3), BPoint(r, 3), Grey(184));
    AddLine(BPoint(l, 3), BPoint(l, b - 3), Grey(184));
    AddLine(BPoint(r, 3), BPoint(r, b - 3), Grey(239));
    AddLine(BPoint(l, b - 3), BPoint(r, b - 3), Grey(239));
    AddLine(BPoint(l + 1, 4), BPoint(r - 1, 4), Grey(96));
    AddLine(BPoint(l + 1, 4), BPoint(l + 1, b - 4), Grey(96));
    AddLine(BPoint(r - 1, 4), BPoint(r - 1, b - 4), Grey(216));
    AddLine(BPoint(l + 1, b - 4), BPoint(r - 1, b - 4), Grey(216));
    EndLineArray();
}

int32 VolumeChangerView::KnobTop(float value) const {
    const int32 usable = fHeight - 10;
    return int32(float(usable - 5) - float((usable - 10) / 2) * value);
}

void VolumeChangerView::DrawKnob(int32 left, int32 right, int32 textX, float value) {
    const int32 top = KnobTop(value);
    SetHighColor(kBlack);
    FillRect(BRect(float(left), float(top), float(right), float(top + 10)));
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", double(value));
    SetHighColor(kWhite);
    SetLowColor(kBlack);
    DrawString(text, BPoint(float(textX), float(top + 9)));
}

void VolumeChangerView::MouseDown(BPoint where) {
    GetMouse(nullptr, &fButtons);
    MouseMoved(where, B_INSIDE_VIEW, nullptr);
}

void VolumeChangerView::MouseMoved(BPoint where, uint32 transit, const BMessage*) {
    if (transit == B_EXITED_VIEW || transit == B_OUTSIDE_VIEW || !Bounds().Contains(where))
        return Close();
    const auto side =
        where.x < float(fWidth / 2) ? ConnectionVolume::kLeft : ConnectionVolume::kRight;
    const float usable = float(fHeight - 10);
    float value = 0;
    if (fButtons & B_PRIMARY_MOUSE_BUTTON)
        value =
            std::clamp((where.y - (usable - 3)) / -((usable - 8) / 2), 0.0f, Machine::kMaxVolume);
    else if (fButtons & B_SECONDARY_MOUSE_BUTTON)
        value = 1.0f;
    else
        return;
    // The connection went with a change of the graph: nothing is left to set.
    if (!fTarget.Set(side, value)) return Close();
    Invalidate();
}

void VolumeChangerView::MouseUp(BPoint) {
    fButtons = 0;
}

void VolumeChangerView::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes == 1 && bytes[0] == B_ESCAPE) return Close();
    BView::KeyDown(bytes, numBytes);
}

void VolumeChangerView::WindowActivated(bool active) {
    if (!active) Close();
}

void VolumeChangerView::Close() {
    if (Window() != nullptr) Window()->PostMessage(B_QUIT_REQUESTED);
}

void RunVolumeChanger(BPoint p, ConnectionVolume target) {
    if (!gui_thread::Started() || changerview != nullptr) return;
    auto* window = new BWindow(BRect(p.x - 29, p.y - 64, p.x + 29, p.y + 64), "VolumeChanger",
                               B_POPUP_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE);
    QEventLoop loop;
    bool closed = false;
    auto* view = new VolumeChangerView(BRect(0, 0, 58, 128), target, [&] {
        closed = true;
        loop.quit();
    });
    window->AddChild(view);
    view->MakeFocus();
    window->Show();
    // The map waits here, the GUI thread going on serving every window meanwhile.
    if (!closed) loop.exec();
}

void CloseVolumeChanger() {
    auto close = [] {
        if (changerview != nullptr) changerview->Window()->PostMessage(B_QUIT_REQUESTED);
    };
    if (gui_thread::IsGuiThread()) return close();
    gui_thread::Post(close);
}

bool VolumeChangerOpen() {
    return gOpen;
}
