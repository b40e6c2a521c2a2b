#include "addons/Plugbay/effect_window.h"

#include <algorithm>
#include <cmath>

#include "addons/Plugbay/effect.h"
#include "addons/Plugbay/effect_editor_window.h"
#include "addons/Plugbay/slider_column.h"
#include "addons/common/display_text.h"
#include "platform/interface/button.h"
#include "platform/interface/native_display.h"
#include "platform/interface/screen.h"
#include "platform/interface/scroll_bar.h"
#include "platform/interface/scroll_view.h"
#include "platform/interface/slider.h"

namespace {

constexpr int32 kSteps = 1000;
constexpr float kTop = 150;
// Room below the window for the title bar and the desktop's panel.
constexpr float kScreenMargin = 60;

// The plug-in's value as a thumb position; the value itself stays as the plug-in has it.
int32 Position(float value) {
    if (std::isnan(value)) return 0;
    return int32(std::lround(std::clamp(value, 0.0f, 1.0f) * kSteps));
}

}  // namespace

EffectWindow::EffectWindow(Effect* effect)
    : BWindow(BRect(150, kTop, 250, kTop + 40), DisplayText(effect->name).c_str(),
              B_FLOATING_WINDOW, B_NOT_ZOOMABLE),
      fEffect(effect) {
    auto* view = new BView(Bounds(), "View", B_FOLLOW_ALL, B_WILL_DRAW);
    view->SetViewColor(216, 216, 216);
    AddChild(view);
    AddSliders(view);
    AddEditorButton(view);
    Run();
}

EffectWindow::~EffectWindow() {
    CloseEditorWindow();
    if (fEffect != nullptr) fEffect->window = nullptr;
}

void EffectWindow::Refresh() {
    Lock();
    for (size_t i = 0; fEffect != nullptr && i < fSliders.size(); i++)
        fSliders[i]->SetValue(Position(fEffect->GetParamValue(int32(i))));
    Unlock();
}

int32 EffectWindow::VisibleRows() {
    return std::max(1, int32((BScreen().Frame().Height() - kTop - kScreenMargin) / kRowHeight));
}

BSlider* EffectWindow::MakeSlider(int32 index) {
    const float top = kRowHeight * float(index);
    auto* slider = new BSlider(
        BRect(0, top, kWidth, top + kRowHeight), "slider", fEffect->GetParamName(index).c_str(),
        new BMessage(kFirstParameter + uint32(index)), 0, kSteps, B_BLOCK_THUMB);
    slider->SetValue(Position(fEffect->GetParamValue(index)));
    return slider;
}

// Beyond the screen's height the sliders scroll in a column beside a bar.
void EffectWindow::AddSliders(BView* view) {
    const int32 count = std::min(fEffect->GetNumParams(), kMostSliders);
    const int32 rows = std::min(count, VisibleRows());
    BView* holder = view;
    if (count > rows) {
        holder = new SliderColumn(BRect(0, 0, kWidth, kRowHeight * float(rows) - 1),
                                  kRowHeight * float(count));
        view->AddChild(
            new BScrollView("scrollview", holder, B_FOLLOW_ALL, 0, false, true, B_NO_BORDER));
    }
    for (int32 i = 0; i < count; i++) {
        fSliders.push_back(MakeSlider(i));
        holder->AddChild(fSliders.back());
    }
    const float bar = count > rows ? B_V_SCROLL_BAR_WIDTH : 0;
    ResizeTo(kWidth + bar, kRowHeight * float(rows));
}

// Below the sliders, which keep their place as the window grows to take it.
void EffectWindow::AddEditorButton(BView* view) {
    if (!fEffect->HasEditor() || !native_display::Available()) return;
    view->SetResizingMode(B_FOLLOW_LEFT | B_FOLLOW_TOP);
    const float top = Bounds().Height() + 1;
    ResizeBy(0, kButtonRow);
    AddChild(new BButton(BRect(4, top + 4, Bounds().Width() - 4, top + kButtonRow - 4), "editor",
                         "Editor", new BMessage(kOpenEditor)));
}

void EffectWindow::ShowEditor() {
    if (fEditor.LockTarget()) {
        auto* editor = static_cast<BWindow*>(fEditor.Target(nullptr));
        editor->Activate();
        editor->Unlock();
        return;
    }
    fEditor = BMessenger(new EffectEditorWindow(fEffect));
}

void EffectWindow::CloseEditorWindow() {
    if (!fEditor.LockTarget()) return;
    auto* editor = static_cast<EffectEditorWindow*>(fEditor.Target(nullptr));
    fEditor = BMessenger();
    editor->Forget();
    editor->Quit();
}

void EffectWindow::Forget() {
    Lock();
    CloseEditorWindow();
    fEffect = nullptr;
    Unlock();
}

void EffectWindow::MessageReceived(BMessage* message) {
    if (message->what == kOpenEditor) {
        if (fEffect != nullptr) ShowEditor();
        return;
    }
    const uint32 index = message->what - kFirstParameter;
    if (fEffect == nullptr || message->what < kFirstParameter || index >= fSliders.size()) return;
    fEffect->SetParamValue(int32(index), float(fSliders[index]->Value()) / kSteps);
}
