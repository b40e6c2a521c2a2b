// A bar filled from the left by the part of some work that is done.
#pragma once

#include "platform/interface/view.h"

class ProgressBarView : public BView {
  public:
    ProgressBarView(BRect frame, const char* name);

    // The window locked. done is clamped to 0..1.
    void SetDone(float done);
    float Done() const { return fDone; }

    void Draw(BRect updateRect) override;

  private:
    float fDone = 0;
};
