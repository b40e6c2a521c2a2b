// The window a plug-in's own editor draws in: sized to the editor, holding its native window
// and letting it work on a timer while it is open.
#pragma once

#include "platform/interface/window.h"

class Effect;

class EffectEditorWindow : public BWindow {
  public:
    // How often the open editor is given time to work, in microseconds.
    static constexpr bigtime_t kIdleInterval = 30000;

    // Window thread. Opens the editor in the new window and shows it.
    explicit EffectEditorWindow(Effect* effect);

    // Window thread. Closes the editor and lets go of the effect.
    void Forget();
    // Window thread: the user closes the window, and with it the editor.
    bool QuitRequested() override;

  private:
    Effect* fEffect;
};
