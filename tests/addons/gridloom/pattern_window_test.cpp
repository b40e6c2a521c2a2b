// The pattern window on the offscreen display, over real Gridloom machines and the recording
// test instrument: its build, the page controls, track copying between machines, the
// instrument pop-up, scrolling, the ruler's and the number fields' pixels, and edits while a
// song plays.
#include "addons/Gridloom/pattern_window.h"

#include <QImage>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "addons/Gridloom/bar_split_pane.h"
#include "addons/Gridloom/color_view.h"
#include "addons/Gridloom/keyboard.h"
#include "addons/Gridloom/number_box.h"
#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/track_container.h"
#include "addons/Gridloom/track_status_view.h"
#include "addons/Gridloom/tracker_globals.h"
#include "addons/Gridloom/x_scroll_bar.h"
#include "engine/instrument.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/menu_bar.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/scroll_bar.h"
#include "tests/engine/engine_environment.h"
#include "tests/interface/menu_pick.h"
#include "ui/bitmap_string_button.h"

namespace {

constexpr const char* kNoInstrument =
    "You must have at least 1 instrument\nbefore you can create a track!";
constexpr rgb_color kPanel = {216, 216, 216, 255};
constexpr rgb_color kRuler = {130, 130, 130, 255};
constexpr rgb_color kField = {236, 236, 236, 255};
constexpr int32 kVelocity = 0;

class PatternWindowTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        xofs = 0;
    }
    void TearDown() override {
        if (window() != nullptr) Send(gridloom::XScrollBar::kScrolled, 0.0f);
    }

    static PatternWindow* window() { return static_cast<PatternWindow*>(patternwindow); }

    Instrument* AddInstrument(int slot, const char* name) {
        auto* made = dynamic_cast<Instrument*>(instrument_roster.Create("TestInstrument"));
        made->SetName(name);
        song->instruments[slot] = made;
        return made;
    }

    PatternTracker* Show(PatternTracker* tracker = nullptr) {
        if (tracker == nullptr) tracker = dynamic_cast<PatternTracker*>(Add("Gridloom"));
        tracker->ShowWindow();
        gui_thread::ProcessEvents();
        EXPECT_NE(window(), nullptr);
        return tracker;
    }

    static void Send(const BMessage& message) {
        window()->Lock();
        window()->MessageReceived(const_cast<BMessage*>(&message));
        window()->Unlock();
        gui_thread::ProcessEvents();
    }
    static void Send(uint32 what) { Send(BMessage(what)); }
    static void Send(uint32 what, float value) {
        BMessage message(what);
        message.AddFloat("value", value);
        Send(message);
    }

    static void Click(BPoint where, uint32 buttons) {
        window()->Lock();
        window()->DeliverMouseDown(where, buttons);
        window()->DeliverMouseUp(where);
        window()->Unlock();
        gui_thread::ProcessEvents();
    }

    template <typename View>
    static View* Find(const char* name) {
        return dynamic_cast<View*>(window()->FindView(name));
    }
    static NumberBox* Field(const char* place) {
        return dynamic_cast<NumberBox*>(window()->FindView(place)->ChildAt(0));
    }
    static BPoint Centre(BView* view) {
        const BRect frame = view->ConvertToWindow(view->Bounds());
        return BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
    }

    static QImage Snapshot() {
        window()->Lock();
        QImage image = window()->Snapshot();
        window()->Unlock();
        return image;
    }
    static rgb_color Pixel(const QImage& image, int x, int y) {
        const QRgb pixel = image.pixel(x, y);
        return {uchar(qRed(pixel)), uchar(qGreen(pixel)), uchar(qBlue(pixel)), 255};
    }

    // Once the colour picker is open (its wait runs the event loop), does what is asked, then
    // clicks at where in it.
    static void ClickPickerWhenOpen(BPoint where, const std::function<void()>& first) {
        QTimer::singleShot(20, [where, first] {
            BWindow* picker = nullptr;
            looper_registry::ForEachGuiLooper([&](BLooper* looper) {
                auto* window = dynamic_cast<BWindow*>(looper);
                if (window != nullptr && std::string(window->Title()) == "ColorPicker")
                    picker = window;
            });
            if (picker == nullptr) return ClickPickerWhenOpen(where, first);
            first();
            picker->Lock();
            picker->DeliverMouseMoved(where, 0);
            picker->DeliverMouseDown(where, B_PRIMARY_MOUSE_BUTTON);
            picker->Unlock();
        });
    }
};

TEST_F(PatternWindowTest, TheWindowIsBuiltAreaByAreaFromItsLayouts) {
    AddInstrument(0, "Keys");
    PatternTracker* tracker = Show();
    tracker->SetName("Drums");
    tracker->ShowWindow();
    PatternWindow* pattern = window();
    EXPECT_STREQ(pattern->Title(), "Drums");
    EXPECT_FALSE(pattern->IsHidden());
    // The menu bar, two areas and the modifier room below them.
    EXPECT_EQ(pattern->Frame().LeftTop(), BPoint(105, 350));
    EXPECT_EQ(pattern->Bounds().Width(), 600);
    EXPECT_EQ(pattern->Bounds().Height(), 20 + 125 + 170 + 61);
    float minWidth, maxWidth, minHeight, maxHeight;
    pattern->GetSizeLimits(&minWidth, &maxWidth, &minHeight, &maxHeight);
    EXPECT_EQ(minWidth, 200);
    EXPECT_EQ(minHeight, 205);

    BView* strip = pattern->FindView("StepsView");
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->Frame().LeftTop(), BPoint(200, 1));
    const char* places[] = {"steps", "measures", "page", "num_pages", "color"};
    for (const char* place : places) {
        const BRect frame = strip->FindView(place)->Frame();
        EXPECT_EQ(frame.Width() + 1, 14) << place;
        EXPECT_EQ(frame.Height() + 1, 14) << place;
    }
    EXPECT_EQ(Field("steps")->Value(), 8);
    EXPECT_EQ(Field("measures")->Value(), 4);
    EXPECT_EQ(Field("page")->Value(), 1);
    EXPECT_EQ(Field("num_pages")->Value(), 1);
    EXPECT_NE(strip->FindView("color")->FindView("ColorView"), nullptr);

    BView* main = pattern->FindView("MainView");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->Frame(), BRect(0, 20, 600, 315));
    auto* split = dynamic_cast<BarSplitPane*>(main->ChildAt(0));
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->GetAlignment(), B_HORIZONTAL);
    EXPECT_EQ(split->GetBarPosition(), 105);
    EXPECT_EQ(split->GetBarThickness(), 13);
    EXPECT_EQ(split->GetMinSizeOne(), 59);
    EXPECT_EQ(split->GetMinSizeTwo(), 58);
    EXPECT_STREQ(split->ViewOne()->Name(), "TrackContainer");
    EXPECT_STREQ(split->ViewTwo()->Name(), "NoteContainer");
    EXPECT_EQ(pattern->FindView("view")->Frame().top, 20 + 125 + 170 + 60 - 59);

    // Every grid's column 0 starts where the ruler's does.
    for (BView* area : {split->ViewOne(), split->ViewTwo()}) {
        auto* grid = dynamic_cast<TrackStatusView*>(area->FindView("View"));
        ASSERT_NE(grid, nullptr) << area->Name();
        EXPECT_EQ(grid->Frame().left, BarSplitPane::kGridLeft);
    }
    BView* keys = split->ViewTwo()->FindView("Keyboard");
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->Frame().right, split->ViewTwo()->FindView("barview")->Bounds().right);
    EXPECT_EQ(keys->Frame().Height() + 1, 1024);
    EXPECT_EQ(keys->Frame().top, -45 * 7);

    BMenuBar* bar = Find<BMenuBar>("menubar");
    ASSERT_NE(bar, nullptr);
    uint32 modifiers = 0;
    BMenuItem* all = bar->FindShortcut('+', B_COMMAND_KEY | B_SHIFT_KEY);
    ASSERT_NE(all, nullptr);
    EXPECT_STREQ(all->Label(), "Add Tracks for all instruments");
    EXPECT_EQ(all->Command(), 74u);
    BMenuItem* paste = bar->FindShortcut('v', B_COMMAND_KEY | B_SHIFT_KEY);
    ASSERT_NE(paste, nullptr);
    EXPECT_STREQ(paste->Label(), "Paste Page");
    EXPECT_EQ(bar->FindShortcut('c', B_COMMAND_KEY)->Command(), uint32('COPY'));
    EXPECT_EQ(bar->FindShortcut('+', B_COMMAND_KEY)->Shortcut(&modifiers), '+');
    // Ctrl+"=" adds a track too, where "+" needs Shift; held down, it adds no more.
    pattern->Lock();
    pattern->DeliverKeyDown("=", B_COMMAND_KEY);
    pattern->DeliverKeyDown("=", B_COMMAND_KEY, 0, 1);
    pattern->Unlock();
    gui_thread::ProcessEvents();
    EXPECT_EQ(tracker->num_tracks, 1);

    // The groove menu shows the machine's groove.
    tracker->groove = 2;
    tracker->ShowWindow();
    EXPECT_STREQ(bar->FindItem(uint32('gr02'))->Menu()->FindMarked()->Label(), "Groove 2");
    Send('gr01');
    EXPECT_EQ(tracker->groove, 1);

    // Closing only hides it; showing a machine brings it back.
    pattern->PostMessage(B_QUIT_REQUESTED);
    gui_thread::ProcessEvents();
    ASSERT_EQ(window(), pattern);
    EXPECT_TRUE(pattern->IsHidden());
    tracker->ShowWindow();
    EXPECT_FALSE(pattern->IsHidden());
}

TEST_F(PatternWindowTest, LoweringThePageCountBringsTheCurrentPageIntoRange) {
    PatternTracker* tracker = Show();
    Field("num_pages")->SetValue(8);
    Send('page');
    EXPECT_EQ(Field("page")->Maximum(), 8);
    for (int i = 0; i < 4; i++) Click(Centre(Field("page")), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(currpage, 4);
    EXPECT_EQ(tracker->num_pages, 8);

    // Page 5 shown, three pages kept: edits must land on a page that is saved.
    for (int i = 0; i < 5; i++) Click(Centre(Field("num_pages")), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(tracker->num_pages, 3);
    EXPECT_EQ(Field("page")->Value(), 3);
    EXPECT_EQ(currpage, 2);

    // A field at its limit stays there and still sends.
    Field("steps")->SetValue(32);
    tracker->step_per_measure = 9;
    Click(Centre(Field("steps")), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(Field("steps")->Value(), 32);
    EXPECT_EQ(tracker->step_per_measure, 32);
    BMessage wheel(B_MOUSE_WHEEL_CHANGED);
    wheel.AddFloat("be:wheel_delta_y", 1);
    window()->Lock();
    Field("measures")->MessageReceived(&wheel);
    window()->Unlock();
    EXPECT_EQ(tracker->num_measures, 3);
}

TEST_F(PatternWindowTest, APastedTrackBringsItsWholeContentToAnotherMachine) {
    AddInstrument(0, "Drums");
    AddInstrument(2, "Keys");
    PatternTracker* source = Show();
    source->num_pages = 3;
    ASSERT_EQ(source->AddTrack(), 0);
    Track* from = source->tracks[0];
    from->SetInstrument(2);
    from->mute = 1;
    for (int page : {0, 2}) {
        from->pages[page].setstatus(5 + page, 1);
        from->pages[page].setnote(5 + page, 40 + page);
        from->pages[page].GetModifiers(0)->SetVal(kVelocity, 5 + page, 17.0f + float(page));
    }
    Show(source);
    Send('COPY');

    auto* target = dynamic_cast<PatternTracker*>(Add("Gridloom"));
    ASSERT_NE(target, nullptr);
    target->num_pages = 5;
    ASSERT_EQ(target->AddTrack(), 0);
    ASSERT_EQ(target->AddTrack(), 1);
    target->tracks[0]->pages[1].setstatus(30, 1);
    target->tracks[1]->pages[4].setstatus(9, 1);
    Show(target);
    Send('PSTE');
    ASSERT_EQ(target->num_tracks, 2);
    // No other track loses pages to the source's smaller count.
    EXPECT_EQ(target->num_pages, 5);

    const std::string path = ::testing::TempDir() + "pattern_window_paste.vel";
    ASSERT_EQ(song->Save(path.c_str()), 1);
    ASSERT_EQ(song->Open(path.c_str()), 1);
    std::remove(path.c_str());
    EXPECT_TRUE(ShownErrors().empty());
    auto* reopened = dynamic_cast<PatternTracker*>(song->machines[2]);
    ASSERT_NE(reopened, nullptr);
    ASSERT_EQ(reopened->num_tracks, 2);
    EXPECT_EQ(reopened->num_pages, 5);
    const Track* pasted = reopened->tracks[0];
    EXPECT_EQ(pasted->instrument, 2);
    EXPECT_EQ(pasted->mute, 1);
    for (int page : {0, 2}) {
        EXPECT_EQ(pasted->pages[page].StatusAt(5 + page), 1) << page;
        EXPECT_EQ(pasted->pages[page].NoteAt(5 + page), 40 + page) << page;
        EXPECT_EQ(pasted->pages[page].modifiers->GetVal(kVelocity, 5 + page), 17.0f + float(page));
    }
    // The pasted track replaced the target's: nothing of its old page 1 survives.
    EXPECT_EQ(pasted->pages[1].StatusAt(30), 0);
    EXPECT_EQ(reopened->tracks[1]->pages[4].StatusAt(9), 1);
}

TEST_F(PatternWindowTest, ACopiedPageIsPastedOverThePageShownOfAnotherMachine) {
    AddInstrument(0, "Drums");
    PatternTracker* source = Show();
    Send(74);
    source->tracks[0]->pages[0].setstatus(3, 1);
    source->tracks[0]->pages[0].setnote(3, 50);
    Send(144);

    PatternTracker* target = Show();
    Send(74);
    Field("num_pages")->SetValue(2);
    Send('page');
    Field("page")->SetValue(2);
    Send('page');
    ASSERT_EQ(currpage, 1);
    Send(142);
    EXPECT_EQ(target->tracks[0]->pages[1].StatusAt(3), 1);
    EXPECT_EQ(target->tracks[0]->pages[1].NoteAt(3), 50);
    EXPECT_EQ(target->tracks[0]->pages[0].StatusAt(3), 0);
    EXPECT_EQ(source->tracks[0]->pages[0].NoteAt(3), 50);
}

TEST_F(PatternWindowTest, AnInstrumentChosenForTrackThreeKeepsItsVelocitiesAndSelectsTrackZero) {
    AddInstrument(0, "Drums");
    AddInstrument(1, "Keys");
    PatternTracker* tracker = Show();
    for (int i = 0; i < 4; i++) Send(15);
    ASSERT_EQ(tracker->num_tracks, 4);
    tracker->tracks[3]->pages[0].setstatus(2, 1);
    tracker->tracks[3]->pages[0].GetModifiers(0)->SetVal(kVelocity, 2, 42.0f);

    BView* buttons = window()->FindView("scrollview");
    ASSERT_EQ(buttons->CountChildren(), 8);  // a select and a mute button per track
    auto* select = dynamic_cast<BitmapStringButton*>(buttons->ChildAt(6));
    ASSERT_NE(select, nullptr);
    EXPECT_STREQ(select->Text(), "Drums");
    PickWhenOpen("Instrument 2 : Keys");
    Click(Centre(select), B_SECONDARY_MOUSE_BUTTON);
    gui_thread::ProcessEvents();

    EXPECT_EQ(tracker->tracks[3]->instrument, 1);
    EXPECT_EQ(currtrack, 0);
    EXPECT_EQ(tracker->tracks[3]->pages[0].modifiers->GetVal(kVelocity, 2), 42.0f);
    buttons = window()->FindView("scrollview");
    EXPECT_STREQ(dynamic_cast<BitmapStringButton*>(buttons->ChildAt(6))->Text(), "Keys");
    EXPECT_EQ(dynamic_cast<BitmapStringButton*>(buttons->ChildAt(0))->Value(), 1);

    // The mute button of track 1 reaches the track.
    Click(Centre(buttons->ChildAt(3)), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(tracker->tracks[1]->mute, 1);
}

TEST_F(PatternWindowTest, OneHorizontalBarMovesTheOthersAndTheColumnsShown) {
    Show();
    BView* notes = window()->FindView("NoteContainer");
    auto* moved = dynamic_cast<BScrollBar*>(notes->FindView("XScrollBar"));
    ASSERT_NE(moved, nullptr);
    window()->Lock();
    moved->SetValue(12);
    window()->Unlock();
    EXPECT_EQ(xofs, 12);
    for (const char* area : {"TrackContainer", "view"}) {
        auto* bar = dynamic_cast<BScrollBar*>(window()->FindView(area)->FindView("XScrollBar"));
        ASSERT_NE(bar, nullptr) << area;
        EXPECT_EQ(bar->Value(), 12) << area;
    }
}

TEST_F(PatternWindowTest, AddingATrackWithoutInstrumentsShowsTheErrorAndAddsNothing) {
    PatternTracker* tracker = Show();
    Send(15);
    Send(74);
    ASSERT_EQ(ShownErrors().size(), 1u);
    EXPECT_EQ(ShownErrors()[0], kNoInstrument);
    EXPECT_EQ(tracker->num_tracks, 0);
    EXPECT_EQ(window()->FindView("scrollview")->CountChildren(), 0);
    // Commands on the missing track do nothing.
    for (uint32 command : {19u, 162u, 167u, uint32('COPY'), uint32('PSTE'), 144u, 142u})
        Send(command);
    EXPECT_EQ(tracker->num_tracks, 0);
}

TEST_F(PatternWindowTest, TheRulerMarksEveryMeasureWhereTheGridsScrollIt) {
    PatternTracker* tracker = Show();
    const int top = 20 + 105;
    QImage image = Snapshot();
    // Measures of eight columns of 16 pixels from x 85; the number right of each mark.
    for (int x : {85, 85 + 128, 85 + 256}) {
        for (int y = top + 2; y <= top + 11; y++) EXPECT_EQ(Pixel(image, x, y), kRuler) << x;
        EXPECT_EQ(Pixel(image, x, top + 1), kPanel) << x;
        EXPECT_EQ(Pixel(image, x, top + 12), Pixel(image, x - 3, top + 12)) << x;
        int ink = 0;
        for (int dx = 2; dx < 10; dx++) {
            for (int y = top + 2; y <= top + 10; y++) ink += Pixel(image, x + dx, y) != kPanel;
        }
        EXPECT_GT(ink, 4) << x;
    }
    EXPECT_EQ(Pixel(image, 85 + 64, top + 6), kPanel);

    // Scrolled by four columns with four-row measures: a mark every 64 pixels from x 85.
    tracker->step_per_measure = 4;
    Send(gridloom::XScrollBar::kScrolled, 4.0f);
    image = Snapshot();
    EXPECT_EQ(Pixel(image, 85, top + 6), kRuler);
    EXPECT_EQ(Pixel(image, 85 + 64, top + 6), kRuler);
    EXPECT_EQ(Pixel(image, 85 + 32, top + 6), kPanel);
    // Measures scrolled off are not drawn over the buttons' column.
    EXPECT_EQ(Pixel(image, 85 - 64, top + 6), kPanel);
}

TEST_F(PatternWindowTest, NumberFieldsCentreTheirValueAndStayInsideTheirSquare) {
    Show();
    NumberBox* steps = Field("steps");
    const BRect frame = steps->ConvertToWindow(steps->Bounds());
    const auto left = int(frame.left);
    const auto top = int(frame.top);
    QImage image = Snapshot();
    double sum = 0;
    int ink = 0;
    for (int x = left; x <= int(frame.right); x++) {
        for (int y = top; y <= int(frame.bottom); y++) {
            const rgb_color pixel = Pixel(image, x, y);
            if (pixel == kField) continue;
            EXPECT_LE(y, top + 11) << "below the baseline";
            sum += x - left;
            ink++;
        }
    }
    ASSERT_GT(ink, 5);
    EXPECT_NEAR(sum / ink, 6, 1.5);
    EXPECT_EQ(Pixel(image, left + 13, top + 13), kField);

    // Three digits are cut at the square's edge rather than written over the label beside it.
    Field("num_pages")->SetValue(128);
    NumberBox* pages = Field("num_pages");
    const BRect box = pages->ConvertToWindow(pages->Bounds());
    image = Snapshot();
    for (int y = int(box.top); y <= int(box.bottom); y++) {
        EXPECT_EQ(Pixel(image, int(box.right) + 1, y), kPanel) << y;
        EXPECT_EQ(Pixel(image, int(box.left) - 1, y), kPanel) << y;
    }
}

TEST_F(PatternWindowTest, APickedColourReachesTheMachineUnlessTheSongLostItMeanwhile) {
    PatternTracker* tracker = Show();
    auto* swatch = Find<ColorView>("ColorView");
    ASSERT_NE(swatch, nullptr);
    // The ninth preset, in the picker's bottom row.
    const rgb_color red = {255, 30, 84, 255};
    ClickPickerWhenOpen(BPoint(8 * 16 + 4, 75), [] {});
    Click(Centre(swatch), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(tracker->color, red);
    EXPECT_EQ(swatch->ViewColor(), red);

    // The machine goes while the picker is open: nothing is written to it or shown for it.
    tracker->color = PatternTracker::kDefaultColor;
    tracker->ShowWindow();
    ClickPickerWhenOpen(BPoint(8 * 16 + 4, 75), [] { song->RemoveMachine(1); });
    Click(Centre(swatch), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(song->num_machines, 1);
    EXPECT_EQ(currpat, nullptr);
    EXPECT_EQ(swatch->ViewColor(), PatternTracker::kDefaultColor);
}

TEST_F(PatternWindowTest, EditsFromTheWindowRunWhileTheSongPlays) {
    AddInstrument(0, "Drums");
    AddInstrument(5, "Keys");
    PatternTracker* tracker = Show();
    tracker->Connect(0);
    for (int32 slot = 0; slot < 16; slot++) tracker->status[slot] = 1 + slot % 3;
    Send(74);
    for (int32 row = 0; row < 32; row++) {
        for (int32 track = 0; track < 2; track++)
            tracker->tracks[track]->pages[0].setstatus(row, 1);
    }
    SetPlayerDrive(PlayerDrive::kRealTime);
    song->Play();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    for (int round = 0; std::chrono::steady_clock::now() < end; round++) {
        Send(15);
        tracker->tracks[0]->pages[currpage].setstatus(round % 32, 1);
        Send('COPY');
        Send('PSTE');
        Send(144);
        Field("num_pages")->SetValue(1 + round % 4);
        Field("page")->SetValue(1 + round % 3);
        Send('page');
        Send(142);
        Send(round % 2 ? 162 : 169);
        BMessage choose(1000 + 5);
        choose.AddInt32("instrumentnr", 5);
        Send(choose);
        BMessage last(TrackContainer::kSelect);
        last.AddInt32("tracknr", tracker->num_tracks - 1);
        Send(last);
        if (tracker->num_tracks > 4) Send(19);
    }
    song->Stop();
    SetPlayerDrive(PlayerDrive::kCaller);
    EXPECT_FALSE(InstrumentCalls().empty()) << "the song played meanwhile";
    EXPECT_GE(tracker->num_tracks, 1);
    EXPECT_LE(tracker->num_tracks, 5);
    EXPECT_TRUE(ShownErrors().empty());
}

}  // namespace
