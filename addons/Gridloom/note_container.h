// The pattern window's note area: the piano keyboard beside the note grid, with its scroll
// bars and the label naming the note under the pointer.
#pragma once

#include "platform/interface/view.h"

class Keyboard;
class TrackStatusView;

namespace gridloom {
class XScrollBar;
class YScrollBar2;
}  // namespace gridloom

class NoteContainer : public BView {
  public:
    // The keyboard's height: every note row, with room to scroll.
    static constexpr float kKeyboardHeight = 1024;

    // The window's thread. Built from the layout "NoteContainer".
    explicit NoteContainer(BMessage* archive);

    // The window's thread, with the window locked.
    void Update();
    void Redraw();

    TrackStatusView* Grid() const { return fGrid; }
    Keyboard* Keys() const { return fKeys; }
    gridloom::XScrollBar* HorizontalBar() const { return fXBar; }
    gridloom::YScrollBar2* VerticalBar() const { return fYBar; }

  private:
    gridloom::XScrollBar* fXBar;
    gridloom::YScrollBar2* fYBar;
    TrackStatusView* fGrid;
    Keyboard* fKeys;
};
