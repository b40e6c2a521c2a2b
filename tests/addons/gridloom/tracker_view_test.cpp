// The playlist lane of a pattern tracker: the slot strip drawn into an off-screen bitmap and
// slots painted with the mouse through a window on the offscreen display.
#include "addons/Gridloom/tracker_view.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <cstdlib>

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/tracker_globals.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/bitmap.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/pop_up_menu.h"
#include "platform/interface/window.h"
#include "tests/engine/engine_environment.h"
#include "tests/interface/menu_pick.h"

namespace {

constexpr rgb_color kEmpty = {71, 80, 86, 255};
constexpr rgb_color kBlack = {0, 0, 0, 255};

class TrackerLane : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        setval = 1;
        tracker = dynamic_cast<PatternTracker*>(Add("Gridloom"));
        ASSERT_NE(tracker, nullptr);
        view = dynamic_cast<TrackerView*>(tracker->view);
        ASSERT_NE(view, nullptr);
        view->ResizeTo(5000, 15);
    }

    void Draw(BBitmap& bitmap) {
        bitmap.AddChild(view);
        bitmap.Lock();
        view->Draw(bitmap.Bounds());
        bitmap.Unlock();
        bitmap.RemoveChild(view);
    }

    void Drag(BWindow* window, uint32 buttons, float from, float to) {
        window->Lock();
        window->DeliverMouseDown(BPoint(from, 8), buttons);
        for (float x = from; x <= to; x += 4) window->DeliverMouseMoved(BPoint(x, 8), buttons);
        window->DeliverMouseUp(BPoint(to, 8));
        window->Unlock();
    }

    PatternTracker* tracker = nullptr;
    TrackerView* view = nullptr;
};

TEST_F(TrackerLane, SlotsDrawAsEmptyCellsBoxesAndNumberedBoxes) {
    tracker->status[1] = PatternTracker::kSustain;
    tracker->status[2] = 7;
    tracker->status[3] = 5000;  // damaged: drawn as it plays, empty
    BBitmap bitmap(BRect(0, 0, 79, 15), B_RGB32, true);
    Draw(bitmap);
    EXPECT_EQ(bitmap.PixelAt(0, 0), kBlack);
    EXPECT_EQ(bitmap.PixelAt(1, 1), kEmpty);
    EXPECT_EQ(bitmap.PixelAt(14, 14), kEmpty);
    EXPECT_EQ(bitmap.PixelAt(15, 8), kBlack);
    // Sustain at x 16..31: cell 17..30, box 18..29 by 2..13.
    EXPECT_EQ(bitmap.PixelAt(17, 8), kBlack);
    EXPECT_EQ(bitmap.PixelAt(18, 8), (rgb_color{36, 135, 191, 255}));
    EXPECT_EQ(bitmap.PixelAt(29, 8), (rgb_color{4, 103, 159, 255}));
    EXPECT_EQ(bitmap.PixelAt(22, 3), (rgb_color{45, 144, 200, 255}));
    EXPECT_EQ(bitmap.PixelAt(22, 12), (rgb_color{10, 109, 165, 255}));
    for (int32 x = 20; x <= 27; x++) {
        for (int32 y = 4; y <= 11; y++) ASSERT_EQ(bitmap.PixelAt(x, y), tracker->color) << x;
    }
    // Page 7 at x 32..47: its number in light grey over the machine's dark colour (whose red
    // is 20, so only the text is bright).
    int light = 0;
    for (int32 x = 34; x <= 45; x++) {
        for (int32 y = 4; y <= 11; y++) light += bitmap.PixelAt(x, y).red > 150;
    }
    EXPECT_GT(light, 3);
    EXPECT_EQ(bitmap.PixelAt(50, 8), kEmpty);
}

TEST_F(TrackerLane, SlotsWidenWithTheMeasuresPerSlot) {
    tracker->num_measures = 8;
    tracker->status[1] = PatternTracker::kSustain;
    BBitmap bitmap(BRect(0, 0, 79, 15), B_RGB32, true);
    Draw(bitmap);
    EXPECT_EQ(bitmap.PixelAt(30, 8), kEmpty);
    EXPECT_EQ(bitmap.PixelAt(34, 8), (rgb_color{36, 135, 191, 255}));
}

TEST_F(TrackerLane, TheMenuChoosesWhatDraggingPaints) {
    auto* window = new BWindow(BRect(0, 0, 599, 15), "lane", B_TITLED_WINDOW, 0);
    window->AddChild(view);
    PickWhenOpen("Sustain");
    Drag(window, B_SECONDARY_MOUSE_BUTTON, 70, 90);  // chooses, paints nothing
    EXPECT_EQ(setval, PatternTracker::kSustain);
    EXPECT_EQ(tracker->status[4], 0);
    EXPECT_EQ(tracker->status[5], 0);
    Drag(window, B_PRIMARY_MOUSE_BUTTON, 20, 60);
    EXPECT_EQ(tracker->status[0], 0);
    for (int32 slot = 1; slot <= 3; slot++) EXPECT_EQ(tracker->status[slot], 1000) << slot;
    EXPECT_EQ(tracker->status[4], 0);
    PickWhenOpen("Erase");
    Drag(window, B_SECONDARY_MOUSE_BUTTON, 20, 20);
    EXPECT_EQ(setval, 0);
    PickWhenOpen("Page 12");
    Drag(window, B_SECONDARY_MOUSE_BUTTON, 20, 20);
    EXPECT_EQ(setval, 12);
    // Leaving the view ends painting.
    setval = 4;
    window->Lock();
    window->DeliverMouseDown(BPoint(100, 8), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseMoved(BPoint(110, 40), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseMoved(BPoint(120, 8), B_PRIMARY_MOUSE_BUTTON);
    window->DeliverMouseUp(BPoint(120, 8));
    view->RemoveSelf();
    window->Quit();
    EXPECT_EQ(tracker->status[6], 4);
    EXPECT_EQ(tracker->status[7], 0);
}

TEST_F(TrackerLane, SetStopsAtTheEndOfTheSlotTable) {
    view->Set(511, 9);
    view->Set(512, 9);
    view->Set(-1, 9);
    EXPECT_EQ(tracker->status[511], 9);
    EXPECT_EQ(tracker->SlotValue(512), 0);
}

TEST_F(TrackerLane, ThePageMenuOffersEraseSustainAndEveryPage) {
    BPopUpMenu* menu = TrackerView::PageMenu();
    ASSERT_EQ(menu->CountItems(), 130);
    EXPECT_STREQ(menu->Name(), "PageMenu");
    EXPECT_STREQ(menu->ItemAt(0)->Label(), "Erase");
    EXPECT_EQ(menu->ItemAt(0)->Command(), 1u);
    EXPECT_STREQ(menu->ItemAt(1)->Label(), "Sustain");
    EXPECT_EQ(menu->ItemAt(1)->Command(), 1001u);
    EXPECT_STREQ(menu->ItemAt(129)->Label(), "Page 128");
    EXPECT_EQ(menu->ItemAt(129)->Command(), 129u);
}

}  // namespace
