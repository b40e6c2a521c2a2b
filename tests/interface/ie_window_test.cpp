// Windows built from layouts stored in the test program's own resources.
#include <gtest/gtest.h>

#include "platform/app/gui_thread.h"
#include "platform/interface/screen.h"
#include "platform/interface/view.h"
#include "platform/storage/resources.h"
#include "ui/ie_window.h"

namespace {

class IEWindowTest : public testing::Test {
  protected:
    IEWindowTest() { EXPECT_EQ(resources.SetTo("/proc/self/exe"), B_OK); }
    static void Close(BWindow* window) {
        window->Lock();
        window->Quit();
    }
    BResources resources;
};

TEST_F(IEWindowTest, StoredLayoutGivesItsViewsCentringAndLimits) {
    auto* window = new IEWindow("MixerWindow", &resources);
    EXPECT_STREQ(window->Title(), "Mixer");
    EXPECT_STREQ(window->LayoutName(), "MixerWindow");
    const BRect screen = BScreen().Frame();
    EXPECT_EQ(window->Frame().left, float(int((screen.Width() - 319) * 0.5f)));
    EXPECT_EQ(window->Frame().top, float(int((screen.Height() - 199) * 0.5f)));
    float minW, maxW, minH, maxH;
    window->GetSizeLimits(&minW, &maxW, &minH, &maxH);
    EXPECT_EQ(minW, 200);
    EXPECT_EQ(maxW, 800);
    EXPECT_EQ(minH, 150);
    EXPECT_EQ(maxH, 600);

    BView* panel = window->FindView("panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Frame(), BRect(0, 0, 319, 39));
    EXPECT_EQ(panel->ResizingMode(), uint32(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP));
    EXPECT_EQ(panel->ViewColor(), (rgb_color{60, 64, 72, 255}));
    EXPECT_EQ(panel->HighColor(), (rgb_color{240, 180, 40, 255}));
    BView* play = window->FindView("play");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->Parent(), panel);
    EXPECT_EQ(play->Frame(), BRect(8, 8, 87, 31));
    ASSERT_NE(window->FindView("tempo"), nullptr);

    // The panel follows the window's width.
    window->Lock();
    window->ResizeTo(419, 199);
    EXPECT_EQ(panel->Frame(), BRect(0, 0, 419, 39));
    window->Unlock();
    Close(window);
}

TEST_F(IEWindowTest, MissingLayoutGivesTheSmallErrorWindow) {
    auto* window = new IEWindow("NoSuchWindow", &resources);
    EXPECT_STREQ(window->Title(), "Window \"NoSuchWindow\" not found in resources!");
    EXPECT_EQ(window->Frame(), BRect(32, 32, 400, 64));
    EXPECT_EQ(window->CountChildren(), 0);
    Close(window);
    BMessage* layout = FindWindowResource("NoSuchWindow", &resources);
    std::string title;
    EXPECT_EQ(layout->FindString("_title", &title), B_OK);
    EXPECT_EQ(title, "Window \"NoSuchWindow\" not found in resources!");
    delete layout;
}

TEST_F(IEWindowTest, LayoutWithoutMinWidthKeepsItsStoredLimits) {
    auto* window = new IEWindow("PlainWindow", &resources);
    EXPECT_EQ(window->Frame(), BRect(10, 20, 209, 119));
    float minW, maxW, minH, maxH;
    window->GetSizeLimits(&minW, &maxW, &minH, &maxH);
    EXPECT_EQ(minW, 50);
    EXPECT_EQ(maxW, 400);
    EXPECT_EQ(minH, 40);
    EXPECT_EQ(maxH, 300);
    Close(window);
}

TEST_F(IEWindowTest, QuitClosesLiveDependantsAndSkipsGoneOnes) {
    auto* main = new IEWindow("PlainWindow", &resources);
    auto* live = new BWindow(BRect(0, 0, 9, 9), "live", B_TITLED_WINDOW, 0);
    auto* gone = new BWindow(BRect(0, 0, 9, 9), "gone", B_TITLED_WINDOW, 0);
    live->Run();
    gone->Run();
    main->AddDependantWindow(live);
    main->AddDependantWindow(gone);
    BMessenger liveMessenger(live), goneMessenger(gone), mainMessenger(main);
    Close(gone);
    EXPECT_FALSE(goneMessenger.IsValid());
    Close(main);
    gui_thread::ProcessEvents();
    EXPECT_FALSE(liveMessenger.IsValid());
    EXPECT_FALSE(mainMessenger.IsValid());
}

}  // namespace
