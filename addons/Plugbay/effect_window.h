// The parameter window of one effect: a slider per plug-in parameter, each from 0 to 1, and a
// button that opens the plug-in's own editor where it has one and windows are native.
#pragma once

#include <vector>

#include "platform/app/messenger.h"
#include "platform/interface/window.h"

class BSlider;
class Effect;

class EffectWindow : public BWindow {
  public:
    static constexpr uint32 kOpenEditor = 1;
    static constexpr uint32 kFirstParameter = 10;
    static constexpr float kWidth = 100;
    static constexpr float kRowHeight = 40;
    static constexpr float kButtonRow = 32;
    // A plug-in may claim any count; more sliders than this would only stall the window.
    static constexpr int32 kMostSliders = 512;

    // Window thread. Built hidden with its loop running; Effect::ShowWindow shows it.
    explicit EffectWindow(Effect* effect);
    ~EffectWindow() override;

    // Window thread. The effect goes: the window closes its editor, lets go of the effect and
    // ignores its sliders.
    void Forget();
    // Window thread. The sliders show the plug-in's values again, sending nothing.
    void Refresh();
    // Window thread.
    void MessageReceived(BMessage* message) override;

  private:
    BSlider* MakeSlider(int32 index);
    void AddSliders(BView* view);
    void AddEditorButton(BView* view);
    void ShowEditor();
    void CloseEditorWindow();
    static int32 VisibleRows();

    Effect* fEffect;
    // Owned by the view tree; one per parameter the window was built with.
    std::vector<BSlider*> fSliders;
    // The open editor's window; a window the user closed is simply gone.
    BMessenger fEditor;
};
