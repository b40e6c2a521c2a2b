// The split pane: state round trips, dragging, limits, locks and collapsing.
#include <gtest/gtest.h>

#include <memory>

#include "platform/interface/window.h"
#include "ui/split_pane.h"

namespace {

BView* Side(const char* name) {
    return new BView(BRect(0, 0, 9, 9), name, B_FOLLOW_NONE, B_WILL_DRAW);
}

class SplitPaneTest : public testing::Test {
  protected:
    SplitPaneTest() : window(new BWindow(BRect(0, 0, 199, 99), "split", B_TITLED_WINDOW, 0)) {
        window->AddChild(pane);
    }
    ~SplitPaneTest() override {
        window->Lock();
        window->Quit();
    }
    void Drag(float from, float to, int32 clicks = 1) {
        window->Lock();
        window->DeliverMouseDown(BPoint(from, 50), B_PRIMARY_MOUSE_BUTTON, clicks);
        window->DeliverMouseMoved(BPoint((from + to) / 2, 50), B_PRIMARY_MOUSE_BUTTON);
        window->DeliverMouseMoved(BPoint(to, 50), B_PRIMARY_MOUSE_BUTTON);
        window->DeliverMouseUp(BPoint(to, 50));
        window->Unlock();
    }

    BWindow* window;
    SplitPane* pane =
        new SplitPane(BRect(0, 0, 199, 99), Side("one"), Side("two"), B_FOLLOW_ALL_SIDES);
};

TEST_F(SplitPaneTest, StateCarriesEveryKeyToAnotherPane) {
    pane->SetBarThickness(8);
    pane->SetJump(5);
    pane->SetViewInsetBy(2);
    pane->SetMinSizeOne(20);
    pane->SetMinSizeTwo(30);
    pane->SetBarPosition(60);
    pane->SetViewTwoDetachable(true);
    pane->SetBarAlignmentLocked(true);
    std::unique_ptr<BMessage> state(pane->GetState());
    EXPECT_EQ(state->what, kSplitPaneState);
    for (const char* key : {"onedetachable", "twodetachable", "poslock", "alignlock"})
        EXPECT_TRUE(state->HasData(key, B_BOOL_TYPE)) << key;
    for (const char* key : {"align", "pos", "thick", "jump", "pad", "minsizeone", "minsizetwo"})
        EXPECT_TRUE(state->HasData(key, B_INT32_TYPE)) << key;

    SplitPane other(BRect(0, 0, 199, 99), Side("a"), Side("b"), B_FOLLOW_NONE);
    other.SetState(state.get());
    std::unique_ptr<BMessage> copied(other.GetState());
    EXPECT_EQ(*copied, *state);
    EXPECT_EQ(other.GetBarPosition(), 60);
    EXPECT_TRUE(other.IsViewTwoDetachable());

    // Missing bools become false, missing numbers stay.
    BMessage partial(kSplitPaneState);
    partial.AddInt32("thick", 4);
    other.MessageReceived(&partial);
    EXPECT_FALSE(other.IsViewTwoDetachable());
    EXPECT_FALSE(other.IsBarAlignmentLocked());
    EXPECT_EQ(other.GetBarThickness(), 4);
    EXPECT_EQ(other.GetJump(), 5);
    EXPECT_EQ(other.GetBarPosition(), 60);
}

TEST_F(SplitPaneTest, ViewsSitOnEitherSideOfTheBar) {
    pane->SetBarThickness(6);
    pane->SetViewInsetBy(1);
    pane->SetBarPosition(50);
    EXPECT_EQ(pane->BarFrame(), BRect(50, 0, 55, 99));
    EXPECT_EQ(pane->ViewOne()->Frame(), BRect(1, 1, 48, 98));
    EXPECT_EQ(pane->ViewTwo()->Frame(), BRect(57, 1, 198, 98));
    pane->SetAlignment(B_HORIZONTAL);
    EXPECT_EQ(pane->BarFrame(), BRect(0, 50, 199, 55));
    EXPECT_EQ(pane->ViewOne()->Frame(), BRect(1, 1, 198, 48));
    EXPECT_EQ(pane->ViewTwo()->Frame(), BRect(1, 57, 198, 98));
    // Locked alignment stays.
    pane->SetBarAlignmentLocked(true);
    pane->SetAlignment(B_VERTICAL);
    EXPECT_EQ(pane->GetAlignment(), B_HORIZONTAL);
    // Replacing a side puts the new view in its place.
    pane->AddChildTwo(Side("three"));
    EXPECT_STREQ(pane->ViewTwo()->Name(), "three");
    EXPECT_EQ(pane->ViewTwo()->Frame(), BRect(1, 57, 198, 98));
    EXPECT_EQ(pane->CountChildren(), 2);
}

TEST_F(SplitPaneTest, DraggingSnapsToTheJumpAndStopsAtTheMinimumSizes) {
    pane->SetBarThickness(6);
    pane->SetJump(10);
    pane->SetMinSizeOne(25);
    pane->SetMinSizeTwo(40);
    pane->SetBarPosition(50);
    Drag(52, 83);  // wanted 81 -> 80
    EXPECT_EQ(pane->GetBarPosition(), 80);
    Drag(82, 5);  // at least 25 for view one: the first multiple inside is 30
    EXPECT_EQ(pane->GetBarPosition(), 30);
    EXPECT_GE(pane->ViewOne()->Frame().Width() + 1, 25);
    Drag(32, 199);  // 200 - 6 - 40 = 154 at most -> 150
    EXPECT_EQ(pane->GetBarPosition(), 150);
    EXPECT_GE(pane->ViewTwo()->Frame().Width() + 1, 40);
    // A click off the bar moves nothing.
    Drag(100, 120);
    EXPECT_EQ(pane->GetBarPosition(), 150);
}

TEST_F(SplitPaneTest, LockedOrReadOnlyBarsStay) {
    pane->SetBarPosition(50);
    pane->SetBarLocked(true);
    Drag(52, 90);
    EXPECT_EQ(pane->GetBarPosition(), 50);
    pane->SetBarLocked(false);
    pane->SetEditable(false);
    Drag(52, 90);
    EXPECT_EQ(pane->GetBarPosition(), 50);
    pane->SetEditable(true);
    Drag(52, 90);
    EXPECT_EQ(pane->GetBarPosition(), 88);
}

TEST_F(SplitPaneTest, ResizingKeepsViewOneAndTheLimits) {
    pane->SetBarThickness(6);
    pane->SetMinSizeTwo(30);
    pane->SetBarPosition(120);
    window->Lock();
    window->ResizeTo(299, 99);
    window->Unlock();
    EXPECT_EQ(pane->GetBarPosition(), 120);
    EXPECT_EQ(pane->ViewTwo()->Frame().right, 299);
    window->Lock();
    window->ResizeTo(129, 99);
    window->Unlock();
    EXPECT_EQ(pane->GetBarPosition(), 130 - 6 - 30);
}

TEST_F(SplitPaneTest, DoubleClickCollapsesADetachableView) {
    pane->SetBarThickness(6);
    pane->SetBarPosition(70);
    Drag(72, 72, 2);
    EXPECT_EQ(pane->Collapsed(), 0);  // nothing detachable
    pane->SetViewTwoDetachable(true);
    Drag(72, 72, 2);
    EXPECT_EQ(pane->Collapsed(), 2);
    window->Lock();
    EXPECT_EQ(window->FindView(BPoint(150, 50)), pane->ViewOne());
    window->Unlock();
    EXPECT_EQ(pane->GetBarPosition(), 194);
    EXPECT_EQ(pane->ViewOne()->Frame().right, 193);
    Drag(196, 196, 2);
    EXPECT_EQ(pane->Collapsed(), 0);
    window->Lock();
    EXPECT_EQ(window->FindView(BPoint(150, 50)), pane->ViewTwo());
    window->Unlock();
    EXPECT_EQ(pane->GetBarPosition(), 70);
}

}  // namespace
