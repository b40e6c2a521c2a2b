// The modifier area over the real add-on and a real instrument on the offscreen display: its
// menus, the bars' pixels, what dragging writes, and the cases with nothing to show.
#include "addons/Gridloom/modifier_container.h"

#include <QImage>
#include <cmath>
#include <memory>
#include <string>

#include "addons/Gridloom/modifier_view.h"
#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/tracker_globals.h"
#include "addons/Gridloom/x_scroll_bar.h"
#include "engine/instrument.h"
#include "engine/rosters.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_field.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/window.h"
#include "platform/storage/image_path.h"
#include "platform/storage/resources.h"
#include "tests/engine/engine_environment.h"

namespace {

constexpr rgb_color kBackground = {71, 80, 86, 255};
constexpr rgb_color kLine = {152, 152, 152, 255};
// Its modifiers: "Velocity" 0..127, "Pan" -1..1 and "Fixed" 0.5..0.5.
constexpr const char* kInstrument = "ThreeModifierInstrument";
constexpr int32 kPan = 1;
constexpr int32 kFixed = 2;

rgb_color At(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return {uchar(qRed(p)), uchar(qGreen(p)), uchar(qBlue(p)), 255};
}

class ModifierBars : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        song->instruments[0] = dynamic_cast<Instrument*>(instrument_roster.Create(kInstrument));
        ASSERT_NE(song->instruments[0].load(), nullptr);
        tracker = dynamic_cast<PatternTracker*>(Add("Gridloom"));
        ASSERT_NE(tracker, nullptr);
        ASSERT_EQ(tracker->AddTrack(), 0);
        // Rows 0 and 2 start notes.
        Page().setstatus(0, 1);
        Page().setstatus(2, 1);
        currpat = tracker;
        currtrack = 0;
        currpage = 0;
        currmodifiernr = kPan;
        xofs = 0;
    }

    void TearDown() override {
        if (window != nullptr) {
            window->Lock();
            window->Quit();
        }
        currpat = nullptr;
        xofs = 0;
    }

    TrackPage& Page(int32 page = 0) { return tracker->tracks[0]->pages[page]; }
    float Value(int32 row, int32 modifier = kPan) {
        return Page().modifiers->GetVal(modifier, row);
    }

    // The bars in a window of their own, 200 x 51 pixels: H = 40.
    ModifierView* OpenBars() {
        window = new BWindow(BRect(0, 0, 199, 50), "bars", B_TITLED_WINDOW, 0);
        auto* bars = new ModifierView(BRect(0, 0, 199, 50));
        window->AddChild(bars);
        return bars;
    }

    QImage Shot() {
        window->Lock();
        QImage image = window->Snapshot();
        window->Unlock();
        return image;
    }

    void Drag(std::initializer_list<BPoint> path) {
        window->Lock();
        window->DeliverMouseDown(*path.begin(), B_PRIMARY_MOUSE_BUTTON);
        for (BPoint where : path) window->DeliverMouseMoved(where, B_PRIMARY_MOUSE_BUTTON);
        window->DeliverMouseUp(*(path.end() - 1));
        window->Unlock();
    }

    // The area as the pattern window builds it, from the add-on's own resources.
    ModifierContainer* OpenContainer() {
        BPath path;
        EXPECT_EQ(get_image_path(&currpat, &path), B_OK);
        resources = std::make_unique<BResources>();
        EXPECT_EQ(resources->SetTo(path.Path()), B_OK);
        window = new BWindow(BRect(0, 0, 600, 60), "area", B_TITLED_WINDOW, 0);
        auto* area = new ModifierContainer(resources.get());
        window->AddChild(area);
        window->Show();
        return area;
    }

    PatternTracker* tracker = nullptr;
    BWindow* window = nullptr;
    std::unique_ptr<BResources> resources;
};

TEST_F(ModifierBars, TheAreaListsTheModifiersBesideItsBarsAndAStaleChoiceFallsToTheFirst) {
    ModifierContainer* area = OpenContainer();
    window->Lock();
    EXPECT_EQ(area->FindView("barview")->Frame(), BRect(0, 0, 84, 46));
    EXPECT_EQ(area->Bars()->Frame(), BRect(85, 0, 585, 45));
    auto* bar = dynamic_cast<gridloom::XScrollBar*>(area->FindView("XScrollBar"));
    ASSERT_NE(bar, nullptr) << "the add-on's own bar, not the program's";
    EXPECT_EQ(bar->Frame(), BRect(0, 46, 587, 60));
    auto* type = dynamic_cast<BMenuField*>(area->FindView("ModifierTypeMenu"));
    ASSERT_NE(type, nullptr);
    ASSERT_EQ(type->Menu()->CountItems(), 3);
    EXPECT_TRUE(type->Menu()->FindItem("Editable Bars")->IsMarked());
    EXPECT_EQ(type->Menu()->FindItem("Random")->Message(), nullptr);
    BMenu* menu = area->Menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(std::string(menu->Name()), "Select");
    currmodifiernr = 5;
    area->Update();
    ASSERT_EQ(menu->CountItems(), 3);
    EXPECT_EQ(currmodifiernr, 0);
    EXPECT_TRUE(menu->ItemAt(0)->IsMarked());
    EXPECT_EQ(std::string(menu->ItemAt(1)->Label()), "Pan");
    menu->ItemAt(2)->Invoke();
    window->Unlock();
    gui_thread::ProcessEvents();
    EXPECT_EQ(currmodifiernr, 2) << "the item's message reached the area";
    window->Lock();
    area->Update();
    EXPECT_EQ(menu->CountItems(), 3) << "rebuilt, not appended to";
    EXPECT_TRUE(menu->ItemAt(2)->IsMarked());
    window->Unlock();
}

TEST_F(ModifierBars, AnEmptyInstrumentSlotEmptiesTheMenuAndTakesNoEdits) {
    ModifierContainer* area = OpenContainer();
    window->Lock();
    area->Update();
    delete song->instruments[0].exchange(nullptr);
    area->Update();
    EXPECT_EQ(area->Menu()->CountItems(), 0);
    window->Unlock();
    Drag({BPoint(85 + 8, 5), BPoint(85 + 40, 5)});
    EXPECT_EQ(Value(0), 0) << "the default stays";
    EXPECT_EQ(Value(2), 0);
    const QImage image = Shot();
    for (int y = 0; y < 46; y++) ASSERT_EQ(At(image, 85 + 8, y), kBackground) << y;
}

TEST_F(ModifierBars, ARangeAroundZeroDrawsFromTheMiddleAndDraggingHoldsTheLimits) {
    ModifierView* bars = OpenBars();
    ASSERT_EQ(bars->BarHeight(), 40);
    // The top reads 1, beyond the bottom -1; a row without a note takes values too.
    Drag({BPoint(8, 5), BPoint(24, 45), BPoint(40, 300)});
    EXPECT_EQ(Value(0), 1);
    EXPECT_EQ(Value(1), -1);
    EXPECT_EQ(Value(2), -1);
    Drag({BPoint(40, 30), BPoint(40, -300)});
    EXPECT_EQ(Value(2), 1);
    window->Lock();
    window->DeliverMouseMoved(BPoint(56, 5), 0);
    window->Unlock();
    EXPECT_EQ(Value(3), 0) << "moving without the button writes nothing";

    const QImage image = Shot();
    // Lines at the maximum (5), the minimum (45) and zero (y0 20 + 5).
    for (int y : {5, 25, 45}) EXPECT_EQ(At(image, 100, y), kLine) << y;
    EXPECT_EQ(At(image, 100, 15), kBackground);
    // Row 0 holds 1: a bar x 3..12 from the top line down to zero.
    for (int y = 5; y <= 25; y++) ASSERT_EQ(At(image, 8, y), tracker->color) << y;
    EXPECT_EQ(At(image, 2, 15), kBackground);
    EXPECT_EQ(At(image, 13, 15), kBackground);
    EXPECT_EQ(At(image, 8, 35), kBackground);
    EXPECT_EQ(At(image, 24, 35), kBackground) << "row 1 starts no note";

    // Scrolled by a column, the first column shown is row 1, which now starts a note.
    Page().setstatus(1, 1);
    xofs = 1;
    Drag({BPoint(8, 45)});
    EXPECT_EQ(Value(1), -1);
    EXPECT_EQ(Value(0), 1);
    window->Lock();
    bars->RedrawSpecific(0);
    window->Unlock();
    const QImage scrolled = Shot();
    EXPECT_EQ(At(scrolled, 8, 35), tracker->color) << "row 1 below zero";
    EXPECT_EQ(At(scrolled, 24, 15), tracker->color) << "row 2 above zero";
}

TEST_F(ModifierBars, ARangeOfNoHeightDrawsFlatAndPagesNotMadeTakeNothing) {
    currmodifiernr = kFixed;
    OpenBars();
    Drag({BPoint(8, 5), BPoint(40, 30)});
    EXPECT_EQ(Value(0, kFixed), 0.5f);
    const QImage image = Shot();
    EXPECT_EQ(At(image, 8, 45), tracker->color) << "on the minimum's line";
    EXPECT_EQ(At(image, 8, 44), kBackground);
    currpage = 3;
    Drag({BPoint(8, 5)});
    EXPECT_FALSE(Page(3).IsInitialized()) << "the drag made no page";
    currpage = 0;
    currtrack = 1;  // past the tracks
    window->Lock();
    window->ChildAt(0)->Invalidate();
    window->Unlock();
    EXPECT_EQ(At(Shot(), 100, 5), kBackground) << "no lines without a track";
}

}  // namespace
