#include <cstdlib>
#include <string>

#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/bitmap.h"
#include "platform/interface/text_control.h"
#include "platform/interface/view.h"
#include "platform/interface/window.h"
#include "tests/addons/controllers/saved_settings.h"
#include "tests/engine/engine_environment.h"

namespace {

constexpr rgb_color kBlack{0, 0, 0, 255};
constexpr rgb_color kTick{159, 159, 159, 255};
constexpr rgb_color kStrip{200, 200, 200, 255};

class ControllerViews : public EngineTest {
  protected:
    // Draws the machine's strip, 200 by 16 pixels, into an off-screen bitmap.
    void Render(Machine* machine) {
        BView* view = machine->view;
        view->ResizeTo(199, 15);
        bitmap.AddChild(view);
        bitmap.Lock();
        view->SetHighColor(view->ViewColor());
        view->FillRect(view->Bounds());
        view->Draw(view->Bounds());
        bitmap.Unlock();
        bitmap.RemoveChild(view);
    }

    rgb_color At(int32 x, int32 y) const { return bitmap.PixelAt(x, y); }

    int32 DarkIn(BRect area) const {
        int32 dark = 0;
        for (int32 y = int32(area.top); y <= int32(area.bottom); y++)
            for (int32 x = int32(area.left); x <= int32(area.right); x++)
                dark += At(x, y).red < 100;
        return dark;
    }

    // Clicks the strip in a window, as the display would.
    void Click(Machine* machine, BPoint where, uint32 buttons) {
        machine->view->ResizeTo(199, 15);  // as the playlist lays out its row
        auto* window = new BWindow(BRect(0, 0, 199, 15), "strip", B_TITLED_WINDOW, 0);
        window->Lock();
        window->AddChild(machine->view);
        window->DeliverMouseDown(where, buttons);
        window->DeliverMouseUp(where);
        window->RemoveChild(machine->view);
        window->Quit();
        gui_thread::ProcessEvents();
    }

    static BWindow* WindowTitled(const char* title) {
        BWindow* found = nullptr;
        looper_registry::ForEachGuiLooper([&](BLooper* looper) {
            auto* window = dynamic_cast<BWindow*>(looper);
            if (window != nullptr && std::string(window->Title()) == title) found = window;
        });
        return found;
    }

    // Types text into the window's field and commits it.
    static std::string Commit(BWindow* window, const char* text) {
        window->Lock();
        auto* field = static_cast<BTextControl*>(window->FindView("text"));
        field->SetText(text);
        field->Invoke();
        window->Unlock();
        gui_thread::ProcessEvents();
        window->Lock();
        std::string shown = field->Text();
        window->Unlock();
        return shown;
    }

    BBitmap bitmap{BRect(0, 0, 199, 15), B_RGB32, true};
};

}  // namespace

TEST_F(ControllerViews, TheRepeatStripShowsTicksTheSpanAndThePasses) {
    Machine* repeat = Add("Repeat");
    EXPECT_STREQ(repeat->view->Name(), "PatternView");
    Configure(repeat, {{"rep1", 2}, {"rep2", 10}, {"reptimes", 3}});
    Render(repeat);
    EXPECT_EQ(At(16, 4), kTick);  // long ticks every fourth position
    EXPECT_EQ(At(16, 9), kTick);
    EXPECT_EQ(At(16, 3), kStrip);
    EXPECT_EQ(At(12, 6), kTick);  // short ones between
    EXPECT_EQ(At(12, 5), kStrip);
    EXPECT_EQ(At(12, 8), kStrip);
    for (int32 x : {8, 9, 39, 40}) {
        EXPECT_EQ(At(x, 1), kBlack) << x;
        EXPECT_EQ(At(x, 14), kBlack) << x;
    }
    EXPECT_EQ(At(10, 3), kStrip);
    EXPECT_EQ(At(38, 3), kStrip);
    EXPECT_EQ(At(24, 7), kBlack);  // the span's line
    EXPECT_EQ(At(42, 7), kStrip);
    EXPECT_GT(DarkIn(BRect(46, 2, 60, 12)), 5) << "the number of passes";
    EXPECT_EQ(DarkIn(BRect(70, 0, 199, 15)), 0);
}

TEST_F(ControllerViews, TheTempoStripMarksItsPositionAndTempo) {
    Machine* tempo = Add("Tempo");
    EXPECT_STREQ(tempo->view->Name(), "PatternView");
    Configure(tempo, {{"pos", 5}, {"tempo", 140}});
    Render(tempo);
    EXPECT_EQ(At(20, 1), kBlack);
    EXPECT_EQ(At(21, 14), kBlack);
    EXPECT_EQ(At(19, 7), kStrip);
    EXPECT_EQ(At(32, 4), kTick);
    EXPECT_GT(DarkIn(BRect(26, 2, 50, 12)), 5) << "the tempo";
    EXPECT_EQ(DarkIn(BRect(0, 0, 18, 15)), 0);
    EXPECT_EQ(DarkIn(BRect(60, 0, 199, 15)), 0);
}

TEST_F(ControllerViews, ClicksSetTheSpanOnlyOnEachMarksOwnSide) {
    Machine* repeat = Add("Repeat");
    Click(repeat, BPoint(9, 5), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(Saved(repeat, "rep1"), 2);
    Click(repeat, BPoint(50, 5), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(Saved(repeat, "rep2"), 13);
    Click(repeat, BPoint(60, 5), B_PRIMARY_MOUSE_BUTTON);  // not below rep2
    EXPECT_EQ(Saved(repeat, "rep1"), 2);
    Click(repeat, BPoint(1, 5), B_SECONDARY_MOUSE_BUTTON);  // not above rep1
    EXPECT_EQ(Saved(repeat, "rep2"), 13);
    Configure(repeat, {{"rep1", 0}});
    Click(repeat, BPoint(1, 5), B_SECONDARY_MOUSE_BUTTON);  // position 0 with rep1 0
    EXPECT_EQ(Saved(repeat, "rep2"), 13);

    Machine* tempo = Add("Tempo");
    Click(tempo, BPoint(14, 5), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(Saved(tempo, "pos"), 4);
    Click(tempo, BPoint(40, 5), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(Saved(tempo, "pos"), 4);
}

TEST_F(ControllerViews, TheRepeatWindowEditsTheLastMachineThatAskedAndOutlivesIt) {
    Machine* first = Add("Repeat");
    Machine* second = Add("Repeat");
    Configure(first, {{"reptimes", 5}});
    Configure(second, {{"reptimes", 7}});
    first->ShowWindow();
    BWindow* window = WindowTitled("Repeat");
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->IsHidden());
    EXPECT_EQ(window->Frame(), BRect(150, 350, 350, 430));
    EXPECT_TRUE(window->Flags() & B_NOT_RESIZABLE);
    EXPECT_TRUE(window->Flags() & B_NOT_ZOOMABLE);
    auto* field = static_cast<BTextControl*>(window->FindView("text"));
    ASSERT_NE(field, nullptr);
    EXPECT_STREQ(field->Label(), "Times:");
    EXPECT_EQ(window->FindView("view")->ViewColor(), (rgb_color{216, 216, 216, 255}));
    EXPECT_STREQ(field->Text(), "5");

    EXPECT_EQ(Commit(window, "-5"), "0");
    EXPECT_EQ(Saved(first, "reptimes"), 0);
    EXPECT_EQ(Commit(window, "abc"), "0");
    EXPECT_EQ(Commit(window, "12x"), "12");
    EXPECT_EQ(Saved(first, "reptimes"), 12);
    EXPECT_EQ(Commit(window, "99999999999"), "2147483647");

    window->PostMessage(B_QUIT_REQUESTED);
    gui_thread::ProcessEvents();
    ASSERT_EQ(WindowTitled("Repeat"), window);
    EXPECT_TRUE(window->IsHidden());
    second->ShowWindow();
    EXPECT_FALSE(window->IsHidden());
    EXPECT_STREQ(field->Text(), "7");

    song->RemoveMachine(second->ID);
    EXPECT_TRUE(window->IsHidden());
    EXPECT_EQ(Commit(window, "3"), "3");  // typed, but no machine takes it
    EXPECT_EQ(Saved(first, "reptimes"), INT32_MAX);
}

TEST_F(ControllerViews, TheTempoWindowKeepsTypedTemposBetweenFortyAndThreeHundred) {
    Machine* tempo = Add("Tempo");
    tempo->ShowWindow();
    BWindow* window = WindowTitled("Tempo");
    ASSERT_NE(window, nullptr);
    EXPECT_NE(window, WindowTitled("Repeat"));
    EXPECT_STREQ(static_cast<BTextControl*>(window->FindView("text"))->Label(), "Tempo:");
    EXPECT_EQ(Commit(window, "20"), "40");
    EXPECT_EQ(Saved(tempo, "tempo"), 40);
    EXPECT_EQ(Commit(window, "1000"), "300");
    EXPECT_EQ(Commit(window, "abc"), "40");
    EXPECT_EQ(Commit(window, "150"), "150");
    EXPECT_EQ(Saved(tempo, "tempo"), 150);
    // Opened again in place, as undo does, the machine shows its value again.
    Configure(tempo, {{"tempo", 90}});
    tempo->Reopened();
    EXPECT_STREQ(static_cast<BTextControl*>(window->FindView("text"))->Text(), "90");
    window->PostMessage(B_QUIT_REQUESTED);
    gui_thread::ProcessEvents();
    EXPECT_TRUE(window->IsHidden());
}
