// The main window: the playlist grid, transport, tempo, master volume, the position displays
// and the machine's name; its menus make, open, save and import songs, add, remove, copy and
// paste machines and open the other windows. Closing it ends the program.
#pragma once

#include <string>

#include "app/song_document.h"
#include "ui/ie_window.h"

class BMenu;
class BTextControl;
class Machine;
class PatternContainer;
class RoundSlider;

class PlaylistWindow : public IEWindow {
  public:
    // Commands of the window's own that the layout does not hold.
    enum : uint32 {
        kAddMachine = 7364980,
        kRebuildGrid = 'RBLD',
        kUndo = 'UNDO',
        kRedo = 'REDO',
        // The user's gesture has ended: what it changed becomes a step to undo.
        kSettled = 'STLD',
    };

    PlaylistWindow();
    ~PlaylistWindow() override;

    // Any thread: refresh everything from the song; locks the window.
    void Update();
    // Any thread: refresh after the machine table changed elsewhere; locks the window.
    void UpdateMachines();
    // The window's thread.
    void MessageReceived(BMessage* message) override;
    bool QuitRequested() override;

    // The window's thread.
    SongDocument& Document() { return fDocument; }
    PatternContainer* Grid() const { return fGrid; }
    const BMessage& Clipboard() const { return fClipboard; }

  private:
    void Build();
    void FillMachineMenu();
    void FillRecentMenu();
    void ShowTitle();
    void ShowSelection();
    void PostRebuild();
    void AfterNewSong();
    void Transport(BMessage* message);
    bool MachineCommand(BMessage* message);
    bool WindowCommand(BMessage* message);
    bool FileCommand(BMessage* message);
    bool EditCommand(const BMessage* message);
    void ShowEditNames();
    void AddMachine(BMessage* message);
    void RemoveMachine();
    void Rename();
    void Copy();
    void Paste();
    void SetTempo();
    void Select(BMessage* message);
    void Mute(BMessage* message);
    // The selected machine, or null when it is the master or absent.
    Machine* Selected() const;

    SongDocument fDocument;
    RoundSlider* fVolume = nullptr;
    BTextControl* fName = nullptr;
    BTextControl* fTempo = nullptr;
    PatternContainer* fGrid = nullptr;
    BMenu* fRecent = nullptr;
    BMessage fClipboard;
    std::string fClipboardType;
    bool fRebuildPosted = false;
};

extern PlaylistWindow* playlistwindow;
