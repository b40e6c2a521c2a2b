// The pattern editor's grids and keyboard in a window on the offscreen display, over a real
// pattern tracker whose tracks play the recording test instrument: their pixels, the mouse and
// key edits, the notes heard as previews, MIDI entry and the wheel.
#include "addons/Gridloom/track_status_view.h"

#include <QImage>
#include <memory>
#include <thread>
#include <vector>

#include "addons/Gridloom/keyboard.h"
#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/tracker_globals.h"
#include "engine/my_midi_in.h"
#include "engine/rosters.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/bitmap.h"
#include "platform/interface/scroll_bar.h"
#include "platform/interface/string_view.h"
#include "platform/interface/window.h"
#include "platform/storage/path.h"
#include "platform/storage/resources.h"
#include "tests/engine/engine_environment.h"
#include "ui/resource_to_bitmap.h"

namespace {

constexpr rgb_color kEmpty = {71, 80, 86, 255};
constexpr rgb_color kEvenMeasure = {81, 94, 102, 255};
constexpr rgb_color kLine = {56, 56, 56, 255};
constexpr rgb_color kBlack = {0, 0, 0, 255};
constexpr rgb_color kWhite = {255, 255, 255, 255};
constexpr rgb_color kLit = {192, 192, 192, 255};
constexpr rgb_color kCursor = {255, 168, 40, 255};
constexpr rgb_color kBase = PatternTracker::kDefaultColor;
// The default colour at 60 %, each component truncated.
constexpr rgb_color kDimmed = {12, 71, 105, 255};
// Scan codes of Z, S, Q and F5; the Z row's C is 12 × (octave + 1).
constexpr int32 kKeyZ = 52, kKeyS = 39, kKeyQ = 24, kKeyF5 = 71;

class Grids : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        instrument = AddInstrument(0);
        tracker = dynamic_cast<PatternTracker*>(Add("Gridloom"));
        ASSERT_NE(tracker, nullptr);
        ASSERT_EQ(tracker->AddTrack(), 0);
        ASSERT_EQ(tracker->AddTrack(), 1);
        currpat = tracker;
        currtrack = currpage = 0;
        xofs = 0;
        entrycolumn = 20;
        BuildWindow();
    }

    void TearDown() override {
        window->Lock();
        window->Quit();
        gui_thread::ProcessEvents();
        currpat = nullptr;
        song->instruments[0] = instrument;
    }

    Instrument* AddInstrument(int slot) {
        auto* made = dynamic_cast<Instrument*>(instrument_roster.Create("TestInstrument"));
        song->instruments[slot] = made;
        return made;
    }

    // Keyboard at the left, the note grid beside it, the track grid below; the bars are those
    // of the areas (the horizontal one the window's "XScrollBar").
    void BuildWindow() {
        window = new BWindow(BRect(50, 50, 649, 549), "grids", B_TITLED_WINDOW, 0);
        // The areas' vertical bars, outside the window: the grids only read them.
        noteBar = std::make_unique<BScrollBar>(BRect(0, 0, 13, 99), "YScrollBar2", nullptr, 0, 100,
                                               B_VERTICAL);
        trackBar = std::make_unique<BScrollBar>(BRect(0, 0, 13, 99), "YScrollBar1", nullptr, 0, 100,
                                                B_VERTICAL);
        xBar = new BScrollBar(BRect(0, 486, 599, 499), "XScrollBar", nullptr, 0, 100, B_HORIZONTAL);
        keyboard = new Keyboard(BRect(0, 0, 24, 1023));
        notes =
            new TrackStatusView(BRect(30, 0, 599, 299), TrackStatusView::kNoteGrid, noteBar.get());
        tracks = new TrackStatusView(BRect(30, 300, 599, 399), TrackStatusView::kTrackGrid,
                                     trackBar.get());
        label = new BStringView(BRect(0, 400, 99, 415), "strNote", "Note:");
        for (BView* view :
             {static_cast<BView*>(keyboard), static_cast<BView*>(notes),
              static_cast<BView*>(tracks), static_cast<BView*>(label), static_cast<BView*>(xBar)})
            window->AddChild(view);
        window->Show();
        gui_thread::ProcessEvents();
    }

    rgb_color At(BView* view, float x, float y) {
        window->Lock();
        const BPoint p = view->ConvertToWindow(BPoint(x, y));
        const QColor c = window->Snapshot().pixelColor(int(p.x), int(p.y));
        window->Unlock();
        return {uchar(c.red()), uchar(c.green()), uchar(c.blue()), 255};
    }

    void Invalidate() {
        window->Lock();
        window->ChildAt(0)->Parent()->Invalidate();
        window->Unlock();
    }

    // A press, moves through the points and a release, in the view's coordinates.
    void Drag(BView* view, uint32 buttons, std::vector<BPoint> points,
              std::vector<std::vector<int32>>* heard = nullptr) {
        window->Lock();
        window->DeliverMouseDown(view->ConvertToWindow(points.front()), buttons);
        window->Unlock();
        if (heard) heard->push_back(Heard());
        for (size_t i = 1; i < points.size(); i++) {
            window->Lock();
            window->DeliverMouseMoved(view->ConvertToWindow(points[i]), buttons);
            window->Unlock();
            if (heard) heard->push_back(Heard());
        }
        window->Lock();
        window->DeliverMouseUp(view->ConvertToWindow(points.back()));
        window->Unlock();
    }

    void Click(BView* view, uint32 buttons, BPoint where) { Drag(view, buttons, {where}); }

    void Key(const char* bytes, int32 scanCode, int32 repeat = 0) {
        window->Lock();
        window->DeliverKeyDown(bytes, 0, scanCode, repeat);
        window->Unlock();
    }

    // The notes that started sounding since the last call, as the sound routine plays them.
    std::vector<int32> Heard() {
        PlayOutput(64);
        std::vector<int32> started;
        for (const InstrumentCall& call : InstrumentCalls())
            if (call.time == 0) started.push_back(call.note);
        InstrumentCalls().clear();
        return started;
    }

    TrackPage& Page(int32 track, int32 page = 0) { return tracker->tracks[track]->pages[page]; }

    void Note(int32 track, int32 column, int32 note) {
        Page(track).setstatus(column, 1);
        Page(track).setnote(column, note);
    }

    Instrument* instrument = nullptr;
    PatternTracker* tracker = nullptr;
    BWindow* window = nullptr;
    std::unique_ptr<BScrollBar> noteBar;
    std::unique_ptr<BScrollBar> trackBar;
    BScrollBar* xBar = nullptr;
    Keyboard* keyboard = nullptr;
    TrackStatusView* notes = nullptr;
    TrackStatusView* tracks = nullptr;
    BStringView* label = nullptr;
};

using Notes = std::vector<int32>;

TEST_F(Grids, CellsAreSizedByTheAddOnsBoxImages) {
    BPath path;
    BResources resources;
    ASSERT_EQ(path.SetTo(ENGINE_TEST_ROOT "/add-ons/machines/Gridloom"), B_OK);
    ASSERT_EQ(resources.SetTo(path.Path()), B_OK);
    for (const auto& [name, height] :
         {std::pair("BoxBitmap", 15), std::pair("BoxBitmapSmall", 6)}) {
        BBitmap* image = nullptr;
        int32 w = 0, h = 0;
        EXPECT_EQ(ResourceToBitmap(name, &image, &w, &h, &resources), 1) << name;
        EXPECT_EQ(w, 15);
        EXPECT_EQ(h, height);
        delete image;
    }
    EXPECT_EQ(tracks->CellWidth(), 16);
    EXPECT_EQ(tracks->CellHeight(), 16);
    EXPECT_EQ(notes->CellWidth(), 16);
    EXPECT_EQ(notes->CellHeight(), 7);
}

TEST_F(Grids, TheTrackGridDrawsMeasuresRowsBoxesAndTheCursor) {
    Page(1).setstatus(2, 1);
    Invalidate();
    EXPECT_EQ(At(tracks, 0, 5), kBlack);  // a measure starts
    EXPECT_EQ(At(tracks, 16, 5), kLine);
    EXPECT_EQ(At(tracks, 5, 16), kBlack);  // between tracks
    EXPECT_EQ(At(tracks, 5, 5), kEvenMeasure);
    EXPECT_EQ(At(tracks, 8 * 16 + 5, 5), kEmpty);  // measure 1 is odd
    EXPECT_EQ(At(tracks, 33, 17), (rgb_color{36, 135, 191, 255}));
    EXPECT_EQ(At(tracks, 47, 31), (rgb_color{4, 103, 159, 255}));
    EXPECT_EQ(At(tracks, 34, 18), (rgb_color{45, 144, 200, 255}));
    EXPECT_EQ(At(tracks, 40, 24), kBase);
    EXPECT_EQ(At(tracks, 40, 8), kEvenMeasure);  // track 0 has no note there
    // Beyond the page and below the tracks: the background.
    EXPECT_EQ(At(tracks, 32 * 16 + 8, 8), kEmpty);
    EXPECT_EQ(At(tracks, 40, 40), kEmpty);
    // The entry cursor marks the current track's cell at its column.
    EXPECT_EQ(At(tracks, 20 * 16, 8), kCursor);
    EXPECT_EQ(At(tracks, 21 * 16, 8), kCursor);
    EXPECT_EQ(At(tracks, 20 * 16 + 8, 24), kEvenMeasure);

    // Scrolled by two columns and one track, track 1's box sits at the top left.
    xofs = 2;
    trackBar->SetValue(1);
    Invalidate();
    EXPECT_EQ(At(tracks, 8, 8), kBase);
    EXPECT_EQ(At(tracks, 8, 24), kEmpty);
}

TEST_F(Grids, TheNoteGridDimsTheNotesOfOtherTracks) {
    noteBar->SetValue(45);
    Note(0, 1, 60);
    Note(1, 1, 60);  // shared
    Note(1, 3, 62);  // track 1 only
    // Note 60 is grid row 124 - 60 - 45 = 19: its box is filled at y 136; note 62 at y 122.
    Invalidate();
    EXPECT_EQ(At(notes, 24, 136), kBase);
    EXPECT_EQ(At(notes, 56, 122), kDimmed);
    EXPECT_EQ(At(notes, 24, 128), kEmpty);
    EXPECT_EQ(At(notes, 5, 7), kBlack);
    EXPECT_EQ(At(notes, 16, 3), kLine);
    EXPECT_EQ(At(notes, 0, 3), kBlack);
    EXPECT_EQ(At(notes, 20 * 16, 250), kCursor);
    currtrack = 1;
    Invalidate();
    EXPECT_EQ(At(notes, 24, 136), kBase);
    EXPECT_EQ(At(notes, 56, 122), kBase);
    // Track 1 moves its note away: the shared one is only track 0's now.
    Page(1).setnote(1, 61);
    Invalidate();
    EXPECT_EQ(At(notes, 24, 136), kDimmed);
    EXPECT_EQ(At(notes, 24, 129), kBase);
}

TEST_F(Grids, TheKeyboardLightsTheKeyUnderThePointerAndNamesIt) {
    EXPECT_EQ(At(keyboard, 0, 50), (rgb_color{128, 128, 128, 255}));
    EXPECT_EQ(At(keyboard, 1, 5), kBlack);  // the white key's outline
    EXPECT_EQ(At(keyboard, 20, 5), kWhite);
    EXPECT_EQ(At(keyboard, 5, 10), kBlack);  // D#, row 1
    EXPECT_EQ(At(keyboard, 20, 10), kWhite);
    EXPECT_EQ(At(keyboard, 20, 84 + 5), kWhite);  // the next octave's E
    EXPECT_EQ(keyboard->Highlighted(), -1);

    // Row 0 of the note grid, unscrolled, is note 124.
    window->Lock();
    window->DeliverMouseMoved(notes->ConvertToWindow(BPoint(100, 3)), 0);
    window->Unlock();
    EXPECT_EQ(keyboard->Highlighted(), 124);
    EXPECT_STREQ(label->Text(), "Note: E");
    EXPECT_EQ(At(keyboard, 20, 5), kLit);
    EXPECT_EQ(At(keyboard, 5, 10), kBlack);
    // Scrolled by 45 rows, the grid's row 1 is note 78, an F#.
    noteBar->SetValue(45);
    window->Lock();
    window->DeliverMouseMoved(notes->ConvertToWindow(BPoint(100, 10)), 0);
    window->Unlock();
    EXPECT_EQ(keyboard->Highlighted(), 78);
    EXPECT_STREQ(label->Text(), "Note: F#");
    EXPECT_EQ(At(keyboard, 20, 5), kWhite);
    EXPECT_EQ(At(keyboard, 5, 7 * 46 + 3), kLit);
}

TEST_F(Grids, ClicksOnTheTrackGridMarkAndClearWithTheStoredNote) {
    currpage = 1;  // never touched
    ASSERT_FALSE(Page(0, 1).IsInitialized());
    Click(tracks, B_PRIMARY_MOUSE_BUTTON, BPoint(3 * 16 + 8, 8));
    EXPECT_EQ(Heard(), Notes{69});
    EXPECT_EQ(Page(0, 1).StatusAt(3), 1);
    Click(tracks, B_PRIMARY_MOUSE_BUTTON, BPoint(3 * 16 + 8, 8));  // already marked
    EXPECT_EQ(Heard(), Notes{});
    Click(tracks, B_SECONDARY_MOUSE_BUTTON, BPoint(3 * 16 + 8, 8));
    EXPECT_EQ(Heard(), Notes{});
    EXPECT_EQ(Page(0, 1).StatusAt(3), 0);
    // Outside the page's 32 columns, or below the tracks, nothing happens.
    Click(tracks, B_PRIMARY_MOUSE_BUTTON, BPoint(32 * 16 + 8, 8));
    Click(tracks, B_PRIMARY_MOUSE_BUTTON, BPoint(8, 2 * 16 + 8));
    EXPECT_EQ(Heard(), Notes{});
    EXPECT_EQ(Page(0, 1).StatusAt(32), 0);
    // A track whose instrument slot is empty is edited silently.
    song->instruments[0] = nullptr;
    Click(tracks, B_PRIMARY_MOUSE_BUTTON, BPoint(5 * 16 + 8, 16 + 8));
    EXPECT_EQ(Page(1, 1).StatusAt(5), 1);
    song->instruments[0] = instrument;
    EXPECT_EQ(Heard(), Notes{});
}

TEST_F(Grids, DraggingANoteUpThreeRowsRaisesItThreeSemitones) {
    noteBar->SetValue(45);
    Note(0, 2, 60);
    const float x = 2 * 16 + 8, y = 19 * 7 + 3;
    std::vector<Notes> heard;
    Drag(notes, B_PRIMARY_MOUSE_BUTTON, {{x, y}, {x, y - 7}, {x, y - 9}, {x, y - 14}, {x, y - 21}},
         &heard);
    EXPECT_EQ(Page(0).NoteAt(2), 63);
    EXPECT_EQ(heard, (std::vector<Notes>{{}, {61}, {}, {62}, {63}}));
    // The secondary button moves notes too; a column without a note start takes nothing.
    Drag(notes, B_SECONDARY_MOUSE_BUTTON, {{x, y - 21}, {x, y}});
    EXPECT_EQ(Page(0).NoteAt(2), 60);
    Drag(notes, B_PRIMARY_MOUSE_BUTTON, {{x + 16, y}, {x + 16, y - 7}});
    EXPECT_EQ(Page(0).StatusAt(3), 0);
    EXPECT_EQ(Page(0).NoteAt(3), TrackPage::kDefaultNote);
}

TEST_F(Grids, NegativeDragCoordinatesAreFlooredNotTruncated) {
    xofs = 2;
    trackBar->SetValue(1);
    // Down on column 1 + 2 of track 0 + 1, then left of and above the grid: column -1 + 2,
    // track -1 + 1. Truncating would give column 2 of track 1.
    Drag(tracks, B_PRIMARY_MOUSE_BUTTON, {{24, 8}, {-5, -3}});
    EXPECT_EQ(Page(1).StatusAt(3), 1);
    EXPECT_EQ(Page(0).StatusAt(1), 1);
    EXPECT_EQ(Page(1).StatusAt(2), 0);
    // Above note 124 in the note grid lies no note.
    noteBar->SetValue(0);
    xofs = 0;
    Note(0, 0, 124);
    Drag(notes, B_PRIMARY_MOUSE_BUTTON, {{8, 3}, {8, -3}, {8, -10}});
    EXPECT_EQ(Page(0).NoteAt(0), 124);
}

TEST_F(Grids, ComputerKeysEnterNotesByPositionAtTheCursor) {
    entrycolumn = 0;
    Click(notes, 0, BPoint(300, 100));  // takes the focus, edits nothing
    ASSERT_TRUE(notes->IsFocus());
    Key("z", kKeyZ);
    EXPECT_EQ(Heard(), Notes{60});
    Key("w", kKeyZ);  // AZERTY's key in Z's place
    EXPECT_EQ(Heard(), Notes{60});
    Key("s", kKeyS);
    EXPECT_EQ(Heard(), Notes{61});
    Key("\x10", kKeyF5);
    Key("q", kKeyQ);
    EXPECT_EQ(Heard(), Notes{84});
    Key("q", kKeyQ, 1);  // held: enters nothing more
    EXPECT_EQ(Heard(), Notes{});
    const int32 expected[] = {60, 60, 61, 84};
    for (int32 column = 0; column < 4; column++) {
        EXPECT_EQ(Page(0).StatusAt(column), 1) << column;
        EXPECT_EQ(Page(0).NoteAt(column), expected[column]) << column;
    }
    EXPECT_EQ(Page(0).StatusAt(4), 0);
    EXPECT_EQ(entrycolumn, 4);
    // Cursor keys repeat; Delete erases and moves on.
    Key("\x1c", 0);
    Key("\x1c", 0, 1);
    Key("\x1c", 0, 2);
    EXPECT_EQ(entrycolumn, 1);
    Key("\x7f", 0);
    EXPECT_EQ(Page(0).StatusAt(1), 0);
    EXPECT_EQ(entrycolumn, 2);
    Key("\x1d", 0);
    EXPECT_EQ(entrycolumn, 3);
    EXPECT_EQ(At(notes, 3 * 16, 50), kCursor);
    // The cursor wraps at the page's ends; keys off the note rows do nothing.
    for (int32 i = 0; i < 4; i++) Key("\x1c", 0);
    EXPECT_EQ(entrycolumn, 31);
    Key("1", 10);
    EXPECT_EQ(entrycolumn, 31);
    // Only the note grid takes note keys.
    window->Lock();
    tracks->MakeFocus();
    window->Unlock();
    Key("z", kKeyZ);
    EXPECT_EQ(Page(0).StatusAt(31), 0);
}

TEST_F(Grids, MidiNotesEnterWhileTheWindowIsActive) {
    entrycolumn = 5;
    MyMidiIn input;
    auto play = [&input](uchar note, uchar velocity) {
        std::thread([&input, note, velocity] { input.NoteOn(0, note, velocity, 0); }).join();
        gui_thread::ProcessEvents();
    };
    auto activate = [this](bool active) {
        window->Lock();
        window->ActivationChanged(active);
        window->Unlock();
    };
    activate(false);
    play(64, 100);
    EXPECT_EQ(Page(0).StatusAt(5), 0);
    activate(true);
    play(64, 100);
    play(65, 0);  // a note-off
    EXPECT_EQ(Page(0).StatusAt(5), 1);
    EXPECT_EQ(Page(0).NoteAt(5), 64);
    EXPECT_EQ(Page(0).StatusAt(6), 0);
    EXPECT_EQ(entrycolumn, 6);
    // A grid gone from its window takes no more notes.
    window->Lock();
    notes->RemoveSelf();
    window->Unlock();
    play(67, 100);
    EXPECT_EQ(Page(0).StatusAt(6), 0);
    delete notes;
}

TEST_F(Grids, TheWheelScrollsTheAreasBars) {
    noteBar->SetValue(45);
    auto wheel = [this](BView* view, float dx, float dy, uint32 mods) {
        window->Lock();
        window->DeliverMouseWheel(view->ConvertToWindow(BPoint(50, 50)), dx, dy, mods);
        window->Unlock();
    };
    wheel(notes, 0, 2, 0);
    EXPECT_EQ(noteBar->Value(), 51);
    wheel(notes, 0, -1, 0);
    EXPECT_EQ(noteBar->Value(), 48);
    wheel(tracks, 0, 1, 0);
    EXPECT_EQ(trackBar->Value(), 1);
    wheel(tracks, 1, 0, 0);
    EXPECT_EQ(xBar->Value(), 1);
    wheel(notes, 0, 2, B_SHIFT_KEY);
    EXPECT_EQ(xBar->Value(), 3);
    EXPECT_EQ(noteBar->Value(), 48);
    wheel(tracks, 0, -10, 0);
    EXPECT_EQ(trackBar->Value(), 0);
}

}  // namespace
