// The song's title, free text and whether this window opens with the song.
#pragma once

#include "ui/ie_window.h"

class BCheckBox;
class BTextControl;
class BTextView;

class SongDetailsWindow : public IEWindow {
  public:
    // The GUI thread, once, at start-up, with the song made. Sets songdetailswindow; hidden.
    SongDetailsWindow();

    // Any thread. A hidden window first takes the song's details; a shown one keeps its edits.
    void Show() override;
    // The GUI thread: hides the window and stores its fields into the song; never closes.
    bool QuitRequested() override;
    // Any thread, after the song was cleared or loaded: the fields show the current song's
    // details, and what they held is dropped, not stored.
    void Reload();

  private:
    void Fill();
    void Store();

    BTextControl* fTitle = nullptr;
    BCheckBox* fShowOnOpen = nullptr;
    BTextView* fText = nullptr;
};

extern SongDetailsWindow* songdetailswindow;
