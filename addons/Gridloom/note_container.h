// The pattern window's note area: the piano keyboard beside the note grid, with its scroll
// bars and the label naming the note under the pointer.
#pragma once

#include "addons/Gridloom/grid_area.h"

class Keyboard;

namespace gridloom {
class YScrollBar2;
}  // namespace gridloom

class NoteContainer : public GridArea {
  public:
    // The keyboard's height: every note row, with room to scroll.
    static constexpr float kKeyboardHeight = 1024;

    // The window's thread. Built from the layout "NoteContainer".
    explicit NoteContainer(BMessage* archive);

    // The window's thread, with the window locked.
    void Update();
    void Redraw();

    Keyboard* Keys() const { return fKeys; }
    gridloom::YScrollBar2* VerticalBar() const { return fYBar; }

  private:
    gridloom::YScrollBar2* fYBar;
    Keyboard* fKeys;
};
