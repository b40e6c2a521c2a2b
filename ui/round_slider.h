// A rotary knob: drag up to raise it, down to lower it; one pixel is one percent.
#pragma once

#include "platform/interface/control.h"

class BBitmap;

// Sent straight to the window's MessageReceived while the knob turns.
constexpr uint32 kRoundSliderChanged = 100;

// SetValue takes a float here; the control's int32 one stays reachable through BControl.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"
class RoundSlider : public BControl {
  public:
    RoundSlider(BRect frame, BMessage* message = nullptr, uint32 resizingMode = B_FOLLOW_NONE);
    explicit RoundSlider(BMessage* archive);

    // Only archives of a RoundSlider.
    static BArchivable* Instantiate(BMessage* archive);
    // The control's fields, "class" = "RoundSlider" and "_value" (float, 0 to 1).
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Held to 0..1.
    void SetValue(float value);
    float GetValue() const { return fValue; }
    int32 Percentage() const { return fPercentage; }
    // The image of the knob strip shown: 0 to 32.
    int32 KnobFrame() const;

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;

    // The shared 1056 x 32 strip of knob images.
    static const BBitmap* Strip();

  private:
    void Init();

    int32 fPercentage = 0;
    float fValue = 0;
    float fLastY = 0;
    bool fTracking = false;
};
#pragma GCC diagnostic pop
