// The parameter sliders of a window too short for them all: a column its scroll bar moves.
#pragma once

#include "platform/interface/view.h"

// The thread that holds the window.
class SliderColumn : public BView {
  public:
    // frame: the part shown; height: all the sliders'.
    SliderColumn(BRect frame, float height);

    // What the scroll bar measures: the whole column.
    void GetPreferredSize(float* width, float* height) override;

  private:
    float fHeight;
};
