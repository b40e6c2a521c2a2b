// The pattern editor: one window for the whole add-on, showing the machine in currpat with
// its track grid, note grid and modifier bars under a menu bar with the page controls.
#pragma once

#include <vector>

#include "message/message.h"
#include "ui/ie_window.h"

class BarSplitPane;
class BPopUpMenu;
class BResources;
class BScrollBar;
class ColorView;
class ModifierContainer;
class NoteContainer;
class NumberBox;
class PatternTracker;
class Track;
class TrackContainer;

class PatternWindow : public IEWindow {
  public:
    // The window's thread. resources: the add-on's own, holding every layout of the window.
    explicit PatternWindow(BResources* resources);
    ~PatternWindow() override;

    // Any thread, locking the window: refresh for the machine now in currpat.
    void Update();
    // Any thread, locking the window: after the machine in currpat was opened again in place,
    // show it anew, keeping the track and page shown where they still exist.
    void Refresh();
    // Any thread, locking the window: redraw the three areas and the split pane.
    void Redraw();
    // Any thread, locking the window: one cell of the note grid (column, note) and one column
    // of the modifier bars, after an edit in the track grid.
    void RedrawSpecific(int column, int note);

    void MessageReceived(BMessage* message) override;
    // Closing hides: the one window lives as long as the add-on.
    bool QuitRequested() override;

    // The window's thread. The track buttons' pop-up of the song's instruments, made once.
    static BPopUpMenu* InstrumentMenu();

  private:
    void BuildStepsView(BResources* resources);
    NumberBox* PlaceNumber(BView* strip, const char* place, int32 value, int32 minimum,
                           int32 maximum, uint32 what);
    void BuildAreas(BResources* resources);
    void KeepScrollBar(BView* area);
    void UpdateAreas();
    void Fill(int32 track, int32 page, bool show);
    Track* CurrentTrack() const;
    bool TrackCommand(const BMessage* message);
    bool PageCommand(const BMessage* message);

    void AddTrack();
    void RemoveTrack();
    void AddTracksForAllInstruments();
    void TransposeTrack(int delta);
    void TransposePage(int delta);
    void CopyTrack();
    void PasteTrack();
    void CopyPage();
    void PastePage();
    void ChooseInstrument(const BMessage* message);
    void SelectTrack(const BMessage* message);
    void Mute(const BMessage* message);
    void Scroll(const BMessage* message);
    void PickColor(const BMessage* message);
    void MarkGroove(int32 groove);
    void SetGroove(int32 groove);
    void SetSteps();
    void SetPages();
    static void RebuildInstrumentMenu();
    static void RedrawLane(PatternTracker* machine);

    std::vector<BScrollBar*> fScrollBars;
    TrackContainer* fTracks = nullptr;
    NoteContainer* fNotes = nullptr;
    ModifierContainer* fModifiers = nullptr;
    BMessage fClipboard;
    // Copy Page's all-track page, pasted over the current page of whichever machine shows.
    BMessage fPageClipboard;
    BarSplitPane* fSplit = nullptr;
    NumberBox* fSteps = nullptr;
    NumberBox* fMeasures = nullptr;
    NumberBox* fPage = nullptr;
    NumberBox* fPages = nullptr;
    ColorView* fColor = nullptr;
};

// The window thread of whoever shows a machine. The window, built on first use from the
// add-on's resources, or null when they cannot be read (the next call tries again).
PatternWindow* CreatePatternWindow();
