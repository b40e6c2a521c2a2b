// A group of buttons of which one is pressed at a time.
#pragma once

#include <vector>

#include "message/support_defs.h"

class BitmapStringButton;

// The window's thread, like the buttons it groups. Does not own the buttons.
class RadioList {
  public:
    void AddButton(BitmapStringButton* button) { fButtons.push_back(button); }
    // Forgets the button; the pressed index goes back to 0.
    bool RemoveButton(BitmapStringButton* button);
    int32 CountButtons() const { return int32(fButtons.size()); }
    // Null outside the list.
    BitmapStringButton* ButtonAt(int32 index) const;
    // -1 when absent.
    int32 IndexOf(const BitmapStringButton* button) const;
    int32 Pressed() const { return fPressed; }
    void SetPressed(int32 index) { fPressed = index; }

  private:
    std::vector<BitmapStringButton*> fButtons;
    int32 fPressed = 0;
};
