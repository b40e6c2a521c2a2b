// The playlist grid's vertical scroll bar: moves the lanes and their buttons together.
#pragma once

#include "platform/interface/scroll_bar.h"

class PatternContainer;

class YScrollBar1 : public BScrollBar {
  public:
    YScrollBar1(BRect frame, PatternContainer* grid);
    // The window's thread.
    void ValueChanged(float value) override;

  private:
    PatternContainer* fGrid;
};
