#include "addons/Gridloom/track_status_view.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <memory>

#include "addons/Gridloom/addon_resources.h"
#include "addons/Gridloom/keyboard.h"
#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/pattern_window.h"
#include "addons/Gridloom/tracker_box.h"
#include "addons/Gridloom/tracker_globals.h"
#include "engine/instrument.h"
#include "engine/midi_note_receiver.h"
#include "message/message.h"
#include "platform/interface/bitmap.h"
#include "platform/interface/scroll_bar.h"
#include "platform/interface/window.h"
#include "platform/storage/resources.h"
#include "ui/resource_to_bitmap.h"

namespace {

constexpr rgb_color kEmpty = {71, 80, 86, 255};
constexpr rgb_color kEvenMeasure = {81, 94, 102, 255};
constexpr rgb_color kLine = {56, 56, 56, 255};
constexpr rgb_color kBlack = {0, 0, 0, 255};
constexpr rgb_color kCursor = {255, 168, 40, 255};
constexpr float kOtherTrackShade = 0.6f;
constexpr int32 kLastNote = 127;
// Rows and columns one wheel notch moves; note rows are small.
constexpr float kTrackRowsPerNotch = 1;
constexpr float kNoteRowsPerNotch = 3;
constexpr float kColumnsPerNotch = 1;

// Native scan codes (X11 and evdev + 8) of the note keys by physical position, as semitones
// above the C of the lower row: the Z row with the row above it, then the Q row with the
// number row, each laid out like a piano's white and black keys.
struct NoteKey {
    int32 scanCode;
    int32 semitone;
};
constexpr NoteKey kNoteKeys[] = {
    {52, 0},  {39, 1},  {53, 2},  {40, 3},  {54, 4},  {55, 5},  {42, 6},  {56, 7},
    {43, 8},  {57, 9},  {44, 10}, {58, 11}, {59, 12}, {46, 13}, {60, 14}, {47, 15},
    {61, 16}, {24, 12}, {11, 13}, {25, 14}, {12, 15}, {26, 16}, {27, 17}, {14, 18},
    {28, 19}, {15, 20}, {29, 21}, {16, 22}, {30, 23}, {31, 24}, {18, 25}, {32, 26},
    {19, 27}, {33, 28}, {34, 29}, {21, 30}, {35, 31}};
// F1 .. F8 choose octaves 1 .. 8.
constexpr int32 kF1ScanCode = 67;
constexpr int32 kOctaveKeys = 8;

int32 SemitoneOf(int32 scanCode) {
    for (const NoteKey& key : kNoteKeys)
        if (key.scanCode == scanCode) return key.semitone;
    return -1;
}

rgb_color Scaled(rgb_color color, float factor) {
    auto scale = [factor](uchar c) { return uchar(float(c) * factor); };
    return {scale(color.red), scale(color.green), scale(color.blue), color.alpha};
}

int32 Floored(float value, int32 step) {
    return int32(std::floor(value / float(step)));
}

}  // namespace

TrackStatusView::TrackStatusView(BRect frame, Mode mode, BScrollBar* vertical)
    : BView(frame, "View", B_FOLLOW_ALL, B_WILL_DRAW), fMode(mode), fVertical(vertical) {
    SetViewColor(kEmpty);
    LoadCellSize();
}

TrackStatusView::~TrackStatusView() = default;

void TrackStatusView::LoadCellSize() {
    const bool notes = fMode == kNoteGrid;
    fCellWidth = kTrackCellWidth;
    fCellHeight = notes ? kNoteCellHeight : kTrackCellHeight;
    BResources* resources = AddonResources();
    if (resources == nullptr) return;
    BBitmap* image = nullptr;
    int32 width = 0, height = 0;
    ResourceToBitmap(notes ? "BoxBitmapSmall" : "BoxBitmap", &image, &width, &height, resources);
    std::unique_ptr<BBitmap> owned(image);
    if (owned == nullptr || width <= 0 || height <= 0) return;
    fCellWidth = width + 1;
    fCellHeight = height + 1;
}

int32 TrackStatusView::Columns(const PatternTracker* tracker) const {
    return std::clamp(tracker->step_per_measure * tracker->num_measures, int32(0),
                      TrackPage::kRows);
}

int32 TrackStatusView::RowOffset() const {
    return fVertical != nullptr ? int32(fVertical->Value()) : 0;
}

BRect TrackStatusView::CellRect(int32 column, int32 row) const {
    const float x = (float(column) - xofs) * float(fCellWidth);
    const float y = float(row - RowOffset()) * float(fCellHeight);
    return BRect(x, y, x + float(fCellWidth), y + float(fCellHeight));
}

TrackPage* TrackStatusView::PageOf(const PatternTracker* tracker, int32 track) {
    if (track < 0 || track >= tracker->num_tracks || currpage < 0 || currpage >= Track::kMaxPages)
        return nullptr;
    return &tracker->tracks[track]->pages[currpage];
}

TrackStatusView::Cells TrackStatusView::CellsIn(BRect update, int32 columns) const {
    const float cw = float(fCellWidth);
    return {std::max(int32(std::floor(update.left / cw + xofs)), int32(0)),
            std::min(int32(std::floor(update.right / cw + xofs)) + 1, columns),
            Floored(update.top, fCellHeight) + RowOffset(),
            Floored(update.bottom, fCellHeight) + RowOffset()};
}

void TrackStatusView::Draw(BRect update) {
    const PatternTracker* tracker = currpat;
    if (tracker == nullptr) return;
    const int32 columns = Columns(tracker);
    const Cells cells = CellsIn(update, columns);
    DrawColumnLines(tracker, cells, update);
    DrawRowLines(tracker, columns, update);
    if (fMode == kTrackGrid) {
        const int32 bottom = std::min(cells.bottom, tracker->num_tracks - 1);
        for (int32 track = std::max(cells.top, int32(0)); track <= bottom; track++)
            for (int32 column = cells.first; column < cells.last; column++)
                DrawTrackCell(tracker, column, track);
    } else {
        DrawNotes(tracker, cells);
    }
    DrawCursor(tracker, columns);
}

void TrackStatusView::DrawColumnLines(const PatternTracker* tracker, const Cells& cells,
                                      BRect update) {
    const float cw = float(fCellWidth), ch = float(fCellHeight);
    const bool notes = fMode == kNoteGrid;
    const float top = std::max(notes ? 0 : float(-RowOffset()) * ch, std::floor(update.top));
    const float bottom =
        std::min(notes ? Bounds().bottom : float(tracker->num_tracks - RowOffset()) * ch,
                 std::ceil(update.bottom));
    if (top > bottom) return;
    const int32 step = std::max(int32(tracker->step_per_measure), int32(1));
    // The line at a column's left edge; the last column's right edge is the one past it.
    for (int32 column = cells.first; column <= cells.last; column++) {
        const float x = (float(column) - xofs) * cw;
        SetHighColor(column % step == 0 ? kBlack : kLine);
        StrokeLine(BPoint(x, top), BPoint(x, bottom));
    }
}

void TrackStatusView::DrawRowLines(const PatternTracker* tracker, int32 columns, BRect update) {
    const bool notes = fMode == kNoteGrid;
    const float cw = float(fCellWidth), ch = float(fCellHeight);
    const float left = std::max(-xofs * cw, std::floor(update.left));
    const float right = std::min((float(columns) - xofs) * cw, std::ceil(update.right));
    if (left > right) return;
    // The note grid's lines stay put while its notes scroll.
    const int32 offset = notes ? 0 : RowOffset();
    const int32 rows = notes ? int32(Bounds().bottom / ch) + 1 : tracker->num_tracks;
    const int32 first = std::max(Floored(update.top, fCellHeight) + offset, int32(0));
    const int32 last = std::min(Floored(update.bottom, fCellHeight) + offset, rows);
    SetHighColor(kBlack);
    for (int32 row = first; row <= last; row++) {
        const float y = float(row - offset) * ch;
        StrokeLine(BPoint(left, y), BPoint(right, y));
    }
}

void TrackStatusView::DrawBox(int column, int row) {
    const PatternTracker* tracker = currpat;
    if (tracker == nullptr || column < 0 || column >= Columns(tracker)) return;
    if (fMode == kTrackGrid) return DrawTrackCell(tracker, column, row);
    if (row < 0 || row > kLastNote) return;
    bool filled = false, current = false;
    for (int32 track = 0; track < tracker->num_tracks; track++) {
        const TrackPage* page = PageOf(tracker, track);
        if (page == nullptr || page->StatusAt(column) == 0 || page->NoteAt(column) != row) continue;
        filled = true;
        current = current || track == currtrack;
    }
    PaintNote(tracker, column, row, filled, current);
}

void TrackStatusView::DrawTrackCell(const PatternTracker* tracker, int32 column, int32 track) {
    const TrackPage* page = PageOf(tracker, track);
    if (page == nullptr) return;
    const BRect cell = CellRect(column, track);
    if (page->StatusAt(column) != 0) return DrawTrackerBox(this, cell, tracker->color);
    const int32 measure = column / std::max(int32(tracker->step_per_measure), int32(1));
    SetHighColor(measure % 2 != 0 ? kEmpty : kEvenMeasure);
    FillRect(cell.InsetByCopy(1, 1));
}

void TrackStatusView::DrawNotes(const PatternTracker* tracker, const Cells& cells) {
    if (cells.first >= cells.last) return;
    // Each track's page walked once: the notes starting in each column drawn.
    std::array<std::bitset<kLastNote + 1>, TrackPage::kRows> held;
    for (int32 track = 0; track < tracker->num_tracks; track++) {
        const TrackPage* page = PageOf(tracker, track);
        for (int32 column = cells.first; page != nullptr && column < cells.last; column++) {
            const int32 note = page->StatusAt(column) != 0 ? page->NoteAt(column) : -1;
            if (note >= 0 && note <= kLastNote) held[size_t(column)].set(size_t(note));
        }
    }
    const TrackPage* own = PageOf(tracker, currtrack);
    const int32 low = std::max(kTopNote - cells.bottom, int32(0));
    const int32 high = std::min(kTopNote - cells.top, kLastNote);
    for (int32 column = cells.first; column < cells.last; column++) {
        // Each note once, at full colour when the current track holds it.
        const int32 ownNote =
            own != nullptr && own->StatusAt(column) != 0 ? own->NoteAt(column) : -1;
        for (int32 note = low; note <= high; note++)
            if (held[size_t(column)].test(size_t(note)))
                PaintNote(tracker, column, note, true, note == ownNote);
    }
}

void TrackStatusView::PaintNote(const PatternTracker* tracker, int32 column, int32 note,
                                bool filled, bool current) {
    const BRect cell = CellRect(column, kTopNote - note);
    if (filled)
        return DrawTrackerBox(this, cell,
                              current ? tracker->color : Scaled(tracker->color, kOtherTrackShade));
    SetHighColor(kEmpty);
    FillRect(cell.InsetByCopy(1, 1));
}

void TrackStatusView::DrawCursor(const PatternTracker* tracker, int32 columns) {
    if (entrycolumn < 0 || entrycolumn >= columns) return;
    BRect mark = CellRect(entrycolumn, currtrack);
    if (fMode == kNoteGrid) {
        mark.top = 0;
        mark.bottom = Bounds().bottom;
    } else if (currtrack >= tracker->num_tracks) {
        return;
    }
    SetHighColor(kCursor);
    StrokeRect(mark);
}

void TrackStatusView::RedrawSpecific(int column, int row) {
    const int32 gridRow = fMode == kNoteGrid ? kTopNote - row : row;
    Invalidate(CellRect(column, gridRow));
}

void TrackStatusView::Set(int column, int row, int value) {
    PatternTracker* tracker = currpat;
    if (tracker == nullptr) return;
    column += int(xofs);
    row += RowOffset();
    if (column < 0 || column >= Columns(tracker) || row < 0) return;
    if (fMode == kTrackGrid)
        SetTrack(tracker, column, row, value);
    else
        SetNote(tracker, column, row);
}

void TrackStatusView::SetTrack(PatternTracker* tracker, int32 column, int32 track, int value) {
    TrackPage* page = PageOf(tracker, track);
    if (page == nullptr || page->StatusAt(column) == value) return;
    // Made first, so the preview plays the note the row really holds.
    page->Init();
    if (value == 1) Preview(*page, column);
    page->setstatus(column, value);
    Invalidate(CellRect(column, track));
    if (auto* window = dynamic_cast<PatternWindow*>(patternwindow))
        window->RedrawSpecific(column, page->NoteAt(column));
}

void TrackStatusView::SetNote(PatternTracker* tracker, int32 column, int32 row) {
    TrackPage* page = PageOf(tracker, currtrack);
    if (page == nullptr || page->StatusAt(column) == 0) return;
    const int32 note = kTopNote - row;
    const int32 old = page->NoteAt(column);
    if (note < 0 || note > kLastNote || note == old) return;
    page->setnote(column, note);
    Preview(*page, column);
    RedrawSpecific(column, old);
    RedrawSpecific(column, note);
}

void TrackStatusView::Preview(const TrackPage& page, int32 column) {
    if (Instrument* instrument = page.owner->Target())
        instrument->PreviewPlayNote(page.NoteAt(column));
}

void TrackStatusView::MouseDown(BPoint where) {
    if (fMode == kNoteGrid) MakeFocus();
    fDragging = true;
    HandlePointer(where);
}

void TrackStatusView::MouseMoved(BPoint where, uint32, const BMessage*) {
    HandlePointer(where);
}

void TrackStatusView::MouseUp(BPoint) {
    fDragging = false;
}

void TrackStatusView::HandlePointer(BPoint where) {
    if (fMode == kNoteGrid) FeedKeyboard(where);
    if (!fDragging) return;
    uint32 buttons = 0;
    GetMouse(nullptr, &buttons);
    const int32 column = Floored(where.x, fCellWidth), row = Floored(where.y, fCellHeight);
    if (buttons & B_PRIMARY_MOUSE_BUTTON)
        Set(column, row, 1);
    else if (buttons & B_SECONDARY_MOUSE_BUTTON)
        Set(column, row, 0);
}

void TrackStatusView::FeedKeyboard(BPoint where) {
    auto* keys = Window() ? dynamic_cast<Keyboard*>(Window()->FindView("Keyboard")) : nullptr;
    if (keys == nullptr) return;
    // The keyboard scrolls with the grid: its rows are the grid's rows.
    keys->MouseMoved(BPoint(0, where.y + float(RowOffset() * fCellHeight)), B_INSIDE_VIEW, nullptr);
}

void TrackStatusView::KeyDown(const char* bytes, int32 numBytes) {
    const BMessage* event = Window()->CurrentMessage();
    int32 scanCode = 0, repeat = 0, mods = 0;
    if (event != nullptr) {
        event->FindInt32("key", &scanCode);
        event->FindInt32("be:key_repeat", &repeat);
        event->FindInt32("modifiers", &mods);
    }
    const bool plain = (uint32(mods) & (B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY)) == 0;
    if (fMode == kNoteGrid && plain && HandleEntryKey(bytes[0], scanCode, repeat)) return;
    BView::KeyDown(bytes, numBytes);
}

bool TrackStatusView::HandleEntryKey(char byte, int32 scanCode, int32 repeat) {
    // Moves may repeat; entering and erasing may not, so a held key enters one note.
    if (byte == B_LEFT_ARROW || byte == B_RIGHT_ARROW) {
        MoveCursor(byte == B_LEFT_ARROW ? -1 : 1);
        return true;
    }
    if (repeat > 0) return true;
    if (byte == B_FUNCTION_KEY) {
        const int32 octave = scanCode - kF1ScanCode + 1;
        if (octave < 1 || octave > kOctaveKeys) return false;
        fOctave = octave;
        return true;
    }
    if (byte == B_DELETE) {
        EraseAtCursor();
        return true;
    }
    const int32 semitone = SemitoneOf(scanCode);
    if (semitone < 0) return false;
    EnterNote(12 * (fOctave + 1) + semitone, true);
    return true;
}

void TrackStatusView::EnterNote(int note, bool preview) {
    PatternTracker* tracker = currpat;
    if (tracker == nullptr || note < 0 || note > kLastNote) return;
    TrackPage* page = PageOf(tracker, currtrack);
    if (page == nullptr || entrycolumn < 0 || entrycolumn >= Columns(tracker)) return;
    page->setstatus(entrycolumn, 1);
    page->setnote(entrycolumn, note);
    if (preview) Preview(*page, entrycolumn);
    MoveCursor(1);
}

void TrackStatusView::EraseAtCursor() {
    PatternTracker* tracker = currpat;
    if (tracker == nullptr) return;
    TrackPage* page = PageOf(tracker, currtrack);
    if (page == nullptr || entrycolumn < 0 || entrycolumn >= Columns(tracker)) return;
    if (page->StatusAt(entrycolumn) != 0) page->setstatus(entrycolumn, 0);
    MoveCursor(1);
}

void TrackStatusView::MoveCursor(int32 delta) {
    const PatternTracker* tracker = currpat;
    if (tracker == nullptr) return;
    const int32 columns = std::max(Columns(tracker), int32(1));
    // The cursor wraps at the page's ends, as the page loops when it plays.
    entrycolumn = ((entrycolumn + delta) % columns + columns) % columns;
    Refresh();
}

void TrackStatusView::Refresh() {
    if (auto* window = dynamic_cast<PatternWindow*>(patternwindow); window && window == Window())
        return window->Redraw();
    Invalidate();
}

void TrackStatusView::MessageReceived(BMessage* message) {
    if (message->what == B_MOUSE_WHEEL_CHANGED) return Scroll(message);
    BView::MessageReceived(message);
}

void TrackStatusView::Scroll(const BMessage* wheel) {
    float dx = 0, dy = 0;
    int32 mods = 0;
    wheel->FindFloat("be:wheel_delta_x", &dx);
    wheel->FindFloat("be:wheel_delta_y", &dy);
    wheel->FindInt32("modifiers", &mods);
    // Shift turns the vertical wheel into a horizontal one, as in most programs.
    if (uint32(mods) & B_SHIFT_KEY) std::swap(dx, dy);
    if (dy != 0 && fVertical != nullptr)
        fVertical->SetValue(fVertical->Value() +
                            dy * (fMode == kNoteGrid ? kNoteRowsPerNotch : kTrackRowsPerNotch));
    auto* horizontal = dynamic_cast<BScrollBar*>(Window()->FindView("XScrollBar"));
    if (dx != 0 && horizontal != nullptr)
        horizontal->SetValue(horizontal->Value() + dx * kColumnsPerNotch);
}

void TrackStatusView::AttachedToWindow() {
    if (fMode != kNoteGrid) return;
    const int32 token = Window()->Token();
    // The MIDI input's thread only posts the note; the window's thread enters it while the
    // window is active and this grid is still in it.
    SetMidiNoteReceiver(this, [this, token](int note, int) {
        BWindow::RunLocked(token, [this, note](BWindow* window) {
            if (!window->IsActive() || !window->HasView(this)) return;
            EnterNote(note, false);
        });
    });
}

void TrackStatusView::DetachedFromWindow() {
    if (fMode == kNoteGrid) ClearMidiNoteReceiver(this);
}
