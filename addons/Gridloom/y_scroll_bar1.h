// The track area's vertical scroll bar: one unit is one track row.
#pragma once

#include "platform/interface/scroll_bar.h"

class TrackContainer;

namespace gridloom {

class YScrollBar1 : public BScrollBar {
  public:
    // The window's thread. Range 0..100 rows.
    YScrollBar1(BRect frame, TrackContainer* area);
    // The window's thread, with the window locked: moves the track buttons along with the
    // grid, which reads the value when it draws.
    void ValueChanged(float value) override;

  private:
    TrackContainer* fArea;
};

}  // namespace gridloom
