// The playlist grid's horizontal scroll bar: moves the lanes and the position ruler together,
// and grows its range whenever it reaches the end, so the user can scroll right without end.
#pragma once

#include "platform/interface/scroll_bar.h"

class PatternContainer;

class XScrollBar : public BScrollBar {
  public:
    // One unit is this many pixels.
    static constexpr float kUnit = 16;

    XScrollBar(BRect frame, PatternContainer* grid);
    // The window's thread.
    void ValueChanged(float value) override;

  private:
    PatternContainer* fGrid;
};
