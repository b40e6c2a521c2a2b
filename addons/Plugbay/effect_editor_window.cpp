#include "addons/Plugbay/effect_editor_window.h"

#include "addons/Plugbay/effect.h"
#include "addons/Plugbay/pulse_view.h"
#include "addons/common/display_text.h"

namespace {

constexpr float kLeft = 260;
constexpr float kTop = 150;

}  // namespace

EffectEditorWindow::EffectEditorWindow(Effect* effect)
    : BWindow(BRect(kLeft, kTop, kLeft, kTop), DisplayText(effect->name).c_str(), B_TITLED_WINDOW,
              B_NOT_RESIZABLE | B_NOT_ZOOMABLE),
      fEffect(effect) {
    int32 width = 0, height = 0;
    effect->EditorSize(&width, &height);
    ResizeTo(float(width - 1), float(height - 1));
    AddChild(new PulseView(Bounds(), [this] {
        if (fEffect != nullptr) fEffect->EditorIdle();
    }));
    SetPulseRate(kIdleInterval);
    Lock();
    effect->EditorOpen(NativeWindow());
    Unlock();
    Show();
}

void EffectEditorWindow::Forget() {
    if (fEffect != nullptr) fEffect->EditorClose();
    fEffect = nullptr;
}

bool EffectEditorWindow::QuitRequested() {
    Forget();
    return true;
}
