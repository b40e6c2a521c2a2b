// A Gridloom machine's pattern window opened from the playlist grid, in the program's own
// process, where the program's XScrollBar and YScrollBar1 live beside the add-on's bars.
#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "app/pattern_container.h"
#include "app/playlist_window.h"
#include "app/x_scroll_bar.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/scroll_bar.h"
#include "tests/app/app_environment.h"
#include "ui/bitmap_string_button.h"

namespace {

class PatternWindowSeam : public testing::Test {
  protected:
    static void SetUpTestSuite() { OpenPlaylistWindow(); }
    void SetUp() override { FreshSong(); }
    void TearDown() override { FreshSong(); }

    static BScrollBar* Bar(BWindow* window, const char* area, const char* name) {
        return dynamic_cast<BScrollBar*>(window->FindView(area)->FindView(name));
    }
};

TEST_F(PatternWindowSeam, TheNameButtonOpensAWindowThatScrollsWithTheAddOnsOwnBars) {
    BMessage add(PlaylistWindow::kAddMachine);
    add.AddInt32("nr", machine_roster.Find("Gridloom"));
    SendTo(playlistwindow, add);
    song->machines[1]->SetName("Beats");
    auto* name =
        dynamic_cast<BitmapStringButton*>(playlistwindow->Grid()->ButtonColumn()->ChildAt(0));
    ASSERT_NE(name, nullptr);
    const BPoint click = name->ConvertToWindow(BPoint(5, 5));
    playlistwindow->Lock();
    playlistwindow->DeliverMouseDown(click, B_PRIMARY_MOUSE_BUTTON);
    playlistwindow->DeliverMouseUp(click);
    playlistwindow->Unlock();
    gui_thread::ProcessEvents();

    BWindow* pattern = ShownWindowTitled("Beats");
    ASSERT_NE(pattern, nullptr);
    pattern->Lock();
    BScrollBar* notes = Bar(pattern, "NoteContainer", "XScrollBar");
    ASSERT_NE(notes, nullptr);
    EXPECT_NE(std::string(typeid(*notes).name()).find("gridloom"), std::string::npos);
    // The program's XScrollBar would scroll a playlist grid this window does not have.
    notes->SetValue(7);
    EXPECT_EQ(Bar(pattern, "TrackContainer", "XScrollBar")->Value(), 7);
    EXPECT_EQ(Bar(pattern, "view", "XScrollBar")->Value(), 7);
    notes->SetValue(0);
    BScrollBar* tracks = Bar(pattern, "TrackContainer", "YScrollBar1");
    ASSERT_NE(tracks, nullptr);
    EXPECT_NE(std::string(typeid(*tracks).name()).find("gridloom"), std::string::npos);
    tracks->SetValue(2);
    EXPECT_EQ(pattern->FindView("scrollview")->Frame().top, -32);
    tracks->SetValue(0);
    pattern->Unlock();

    // The program's own bars keep their behaviour.
    playlistwindow->Lock();
    playlistwindow->Grid()->HorizontalBar()->SetValue(3);
    EXPECT_EQ(playlistwindow->Grid()->LaneColumn()->Frame().left, -48);
    playlistwindow->Grid()->HorizontalBar()->SetValue(0);
    playlistwindow->Unlock();

    // Removing the machine hides the window it showed.
    FreshSong();
    EXPECT_TRUE(pattern->IsHidden());
}

}  // namespace
