// The horizontal scroll bar of each area of the pattern window. Its value is the first grid
// column shown; moving one bar moves the others through the window.
#pragma once

#include "platform/interface/scroll_bar.h"

// The program has scroll bars of the same names with other behaviour; the namespace keeps
// either from binding to the other's.
namespace gridloom {

class XScrollBar : public BScrollBar {
  public:
    static constexpr uint32 kScrolled = 'XSCR';

    // The window's thread. Range 0..100 columns, no target.
    explicit XScrollBar(BRect frame);
    // The window's thread, with the window locked: hands 'XSCR' with "value" straight to the
    // window, which sets every bar, this one included.
    void ValueChanged(float value) override;

  private:
    bool fBusy = false;
};

}  // namespace gridloom
