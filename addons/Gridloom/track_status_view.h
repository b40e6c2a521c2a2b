// The pattern window's two grids over the current page: the track grid (a row per track, a
// cell per row of the page that starts a note) and the note grid (a row per note number, where
// the current track's notes sit and are dragged to another pitch).
#pragma once

#include "platform/interface/view.h"

class BScrollBar;
class PatternTracker;
class TrackPage;

class TrackStatusView : public BView {
  public:
    enum Mode : int32 { kTrackGrid = 0, kNoteGrid = 1 };
    // Cell sizes when the add-on's box images are missing.
    static constexpr int32 kTrackCellWidth = 16;
    static constexpr int32 kTrackCellHeight = 16;
    static constexpr int32 kNoteCellHeight = 7;
    // The note shown in the note grid's top row, before scrolling.
    static constexpr int32 kTopNote = 124;

    // The window's thread. vertical is the area's vertical scroll bar, read when drawing.
    TrackStatusView(BRect frame, Mode mode, BScrollBar* vertical);
    ~TrackStatusView() override;

    // The window's thread, with the window locked. One edit at a cell of the drawn page.
    void Set(int column, int row, int value);
    // One cell; in the note grid row is a note number.
    void DrawBox(int column, int row);
    void RedrawSpecific(int column, int row);

    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    // The note grid: computer keys play and enter notes at the cursor (see EnterNote).
    void KeyDown(const char* bytes, int32 numBytes) override;
    // The wheel scrolls the area's bars.
    void MessageReceived(BMessage* message) override;
    // The note grid takes the MIDI input's notes while its window is active.
    void AttachedToWindow() override;
    void DetachedFromWindow() override;

    // The window's thread, with the window locked. Stores note on the current track's current
    // page at the cursor, previews it when asked, and moves the cursor on by one row.
    void EnterNote(int note, bool preview);
    int32 CellWidth() const { return fCellWidth; }
    int32 CellHeight() const { return fCellHeight; }
    // The octave of the lower row of note keys: its C is note 12 × (octave + 1).
    int32 Octave() const { return fOctave; }

    static constexpr int32 kDefaultOctave = 4;

  private:
    void LoadCellSize();
    // Geometry: the page's columns shown, and where a cell lies (row: a track, or 124 - note).
    int32 Columns(const PatternTracker* tracker) const;
    int32 RowOffset() const;
    BRect CellRect(int32 column, int32 row) const;
    // The page currpage of a track, or null outside the tables.
    static TrackPage* PageOf(const PatternTracker* tracker, int32 track);

    // The cells an update touches: columns first up to last (excluded) of the page, grid rows
    // top to bottom (tracks, or 124 - note), either possibly outside the tables.
    struct Cells {
        int32 first, last, top, bottom;
    };
    Cells CellsIn(BRect update, int32 columns) const;
    void DrawColumnLines(const PatternTracker* tracker, const Cells& cells, BRect update);
    void DrawRowLines(const PatternTracker* tracker, int32 columns, BRect update);
    void DrawTrackCell(const PatternTracker* tracker, int32 column, int32 track);
    void DrawNotes(const PatternTracker* tracker, const Cells& cells);
    void PaintNote(const PatternTracker* tracker, int32 column, int32 note, bool filled,
                   bool current);
    void DrawCursor(const PatternTracker* tracker, int32 columns);

    void SetTrack(PatternTracker* tracker, int32 column, int32 track, int value);
    void SetNote(PatternTracker* tracker, int32 column, int32 row);
    static void Preview(const TrackPage& page, int32 column);
    void HandlePointer(BPoint where);
    void FeedKeyboard(BPoint where);

    bool HandleEntryKey(char byte, int32 scanCode, int32 repeat);
    void EraseAtCursor();
    void MoveCursor(int32 delta);
    // After an edit or a cursor move: the whole window when it is the pattern window.
    void Refresh();
    void Scroll(const BMessage* wheel);

    Mode fMode;
    BScrollBar* fVertical;
    bool fDragging = false;
    int32 fCellWidth;
    int32 fCellHeight;
    int32 fOctave = kDefaultOctave;
};
