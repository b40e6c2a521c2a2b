// The note area's vertical scroll bar: one unit is one note row. It starts at 45, which shows
// the notes around the middle of the keyboard.
#pragma once

#include "platform/interface/scroll_bar.h"

class NoteContainer;

namespace gridloom {

class YScrollBar2 : public BScrollBar {
  public:
    static constexpr float kStart = 45;

    // The window's thread. Range 0..100 rows.
    YScrollBar2(BRect frame, NoteContainer* area);
    // The window's thread, with the window locked: moves the keyboard along with the grid,
    // which reads the value when it draws.
    void ValueChanged(float value) override;

  private:
    NoteContainer* fArea;
};

}  // namespace gridloom
