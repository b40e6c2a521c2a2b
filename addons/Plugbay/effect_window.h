// The parameter window of one effect: a slider per plug-in parameter, each from 0 to 1.
#pragma once

#include <vector>

#include "platform/interface/window.h"

class BSlider;
class Effect;

class EffectWindow : public BWindow {
  public:
    static constexpr uint32 kFirstParameter = 10;
    static constexpr float kWidth = 100;
    static constexpr float kRowHeight = 40;
    // A plug-in may claim any count; more sliders than this would only stall the window.
    static constexpr int32 kMostSliders = 512;

    // Window thread. Built hidden with its loop running; Effect::ShowWindow shows it.
    explicit EffectWindow(Effect* effect);
    ~EffectWindow() override;

    // Window thread. The effect goes: the window lets go of it and ignores its sliders.
    void Forget();
    // Window thread.
    void MessageReceived(BMessage* message) override;

  private:
    BSlider* MakeSlider(int32 index);
    void AddSliders(BView* view);
    static int32 VisibleRows();

    Effect* fEffect;
    // Owned by the view tree; one per parameter the window was built with.
    std::vector<BSlider*> fSliders;
};
