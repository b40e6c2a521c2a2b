// The main window driven through its commands on the offscreen display, over the real add-ons.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "app/pattern_container.h"
#include "app/playlist_window.h"
#include "app/x_scroll_bar.h"
#include "app/y_scroll_bar1.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/roster.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_bar.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/text_control.h"
#include "platform/storage/node.h"
#include "platform/storage/node_info.h"
#include "tests/app/alert_answer.h"
#include "tests/app/app_environment.h"
#include "ui/bitmap_string_button.h"

namespace {

class PlaylistWindowTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { OpenPlaylistWindow(); }

    void SetUp() override {
        FreshSong();
        ShownErrors().clear();
        folder = "/tmp/velloran-playlist-" + std::to_string(getpid());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        song->Stop();
        FreshSong();
        std::filesystem::remove_all(folder);
    }

    static void Send(const BMessage& message) { SendTo(playlistwindow, message); }
    static void Add(const char* addon) {
        BMessage add(PlaylistWindow::kAddMachine);
        add.AddInt32("nr", machine_roster.Find(addon));
        Send(add);
    }
    static void SetText(const char* view, const char* text, uint32 command) {
        dynamic_cast<BTextControl*>(playlistwindow->FindView(view))->SetText(text);
        Send(BMessage(command));
    }
    static const char* Text(const char* view) {
        return dynamic_cast<BTextControl*>(playlistwindow->FindView(view))->Text();
    }
    static void Open(const std::string& path) {
        BMessage open('OPEN');
        entry_ref ref(path);
        open.AddRef("refs", &ref);
        Send(open);
    }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static int32 RecentCount() {
        BMessage recent;
        be_roster->GetRecentDocuments(&recent, 100);
        entry_ref ref;
        int32 count = 0;
        while (recent.FindRef("refs", count, &ref) == B_OK) count++;
        return count;
    }
    // Every connection is named at both ends.
    static void ExpectConsistentGraph() {
        for (int32 i = 0; i < song->num_machines; i++) {
            Machine* m = song->machines[i];
            for (int32 c = 0; c < m->num_out_machines; c++) {
                Machine* to = song->MachineAt(m->out_machine[c]);
                ASSERT_NE(to, nullptr);
                EXPECT_NE(std::find(to->in_machine, to->in_machine + to->num_in_machines, i),
                          to->in_machine + to->num_in_machines);
            }
            for (int32 c = 0; c < m->num_in_machines; c++) {
                Machine* from = song->MachineAt(m->in_machine[c]);
                ASSERT_NE(from, nullptr);
                EXPECT_NE(
                    std::find(from->out_machine, from->out_machine + from->num_out_machines, i),
                    from->out_machine + from->num_out_machines);
            }
        }
    }

    std::string folder;
};

TEST_F(PlaylistWindowTest, TheTempoFieldKeepsToWhatTheSongCanPlay) {
    const std::pair<const char*, int32> cases[] = {
        {"abc", 40},         {"39", 40},  {"301", 300}, {"300", 300}, {"99999999999999999999", 300},
        {"-2147483649", 40}, {"128", 128}};
    for (const auto& [text, tempo] : cases) {
        SetText("txtTempo", text, 536);
        EXPECT_EQ(song->main_tempo, tempo) << text;
        EXPECT_EQ(song->tempo, tempo) << text;
        EXPECT_EQ(std::string(Text("txtTempo")), std::to_string(tempo)) << text;
    }
    // While playing the step length follows at once.
    song->Play();
    SetText("txtTempo", "200", 536);
    EXPECT_EQ(STEPS_PER_MEASURE, 2);
    song->Stop();
}

TEST_F(PlaylistWindowTest, TheMachineMenuOffersEveryAddOnByNameWithNumberShortcuts) {
    BMenu* machine = nullptr;
    BMenuBar* bar = playlistwindow->KeyMenuBar();
    for (int32 i = 0; i < bar->CountItems(); i++)
        if (bar->SubmenuAt(i) && std::string(bar->SubmenuAt(i)->Name()) == "Machine")
            machine = bar->SubmenuAt(i);
    ASSERT_NE(machine, nullptr);
    const char* expected[] = {"Add Gridloom", "Add Plugbay", "Add Repeat", "Add Tempo"};
    for (int32 i = 0; i < 4; i++) {
        EXPECT_STREQ(machine->ItemAt(i)->Label(), expected[i]);
        EXPECT_EQ(machine->ItemAt(i)->Shortcut(), char('1' + i));
    }
    EXPECT_TRUE(machine->ItemAt(4)->IsSeparator());
}

TEST_F(PlaylistWindowTest, AddingSelectsTheFirstMachineAndTheGridShowsIt) {
    Add("Gridloom");
    Add("Plugbay");
    ASSERT_EQ(song->num_machines, 3);
    EXPECT_EQ(song->solo_machine, 1);
    EXPECT_EQ(std::string(Text("txtPatternName")), song->machines[1]->GetName());
    BView* buttons = playlistwindow->Grid()->ButtonColumn();
    ASSERT_EQ(buttons->CountChildren(), 4);  // a name and a mute button per lane
    auto* first = dynamic_cast<BitmapStringButton*>(buttons->ChildAt(0));
    auto* second = dynamic_cast<BitmapStringButton*>(buttons->ChildAt(2));
    EXPECT_EQ(first->Value(), 1);
    EXPECT_EQ(second->Frame().top, float(song->machines[1]->view_height));

    // Selecting machine 2 presses its button, and a rebuild keeps it pressed.
    second->MouseDown(BPoint(3, 3));
    gui_thread::ProcessEvents();
    EXPECT_EQ(song->solo_machine, 2);
    SetText("txtPatternName", "Echo", 407);
    EXPECT_EQ(song->machines[2]->name, "Echo");
    buttons = playlistwindow->Grid()->ButtonColumn();
    EXPECT_STREQ(dynamic_cast<BitmapStringButton*>(buttons->ChildAt(2))->Text(), "Echo");
    EXPECT_EQ(dynamic_cast<BitmapStringButton*>(buttons->ChildAt(2))->Value(), 1);
    EXPECT_EQ(dynamic_cast<BitmapStringButton*>(buttons->ChildAt(0))->Value(), 0);

    // A mute button's click reaches the machine.
    buttons->ChildAt(3)->MouseDown(BPoint(3, 3));
    EXPECT_EQ(song->machines[2]->mute, 1);
}

TEST_F(PlaylistWindowTest, CommandsOnTheSelectionDoNothingWithoutOne) {
    Add("Gridloom");
    for (int32 selected : {0, 7, -3}) {
        song->solo_machine = selected;
        Send(BMessage('COPY'));
        EXPECT_TRUE(playlistwindow->Clipboard().IsEmpty());
        SetText("txtPatternName", "Nobody", 407);
        Send(BMessage(79));
        EXPECT_EQ(song->num_machines, 2);
        EXPECT_NE(song->machines[1]->name, "Nobody");
        EXPECT_EQ(song->machines[0]->name, "Master");
    }
    song->solo_machine = 1;
    Send(BMessage('PSTE'));  // before any Copy
    EXPECT_TRUE(ShownErrors().empty());
}

TEST_F(PlaylistWindowTest, PasteLeavesTheTargetUnconnectedAtBothEnds) {
    Add("Gridloom");
    Add("Gridloom");
    Add("Plugbay");
    Machine* source = song->machines[1];
    Machine* target = song->machines[2];
    Machine* effect = song->machines[3];
    source->position = BPoint(30, 40);
    ASSERT_EQ(source->Connect(0), 1);
    ASSERT_EQ(target->Connect(3), 1);
    ASSERT_EQ(effect->Connect(0), 1);
    ASSERT_EQ(source->Connect(3), 1);

    song->solo_machine = 1;
    Send(BMessage('COPY'));
    song->solo_machine = 2;
    Send(BMessage('PSTE'));
    EXPECT_EQ(target->num_in_machines, 0);
    EXPECT_EQ(target->num_out_machines, 0);
    EXPECT_EQ(target->position, BPoint(50, 60));
    ExpectConsistentGraph();

    // Another kind refuses the clipboard and stays as it was.
    song->solo_machine = 3;
    const std::vector<char> before = song->FileBytes();
    Send(BMessage('PSTE'));
    ASSERT_EQ(ShownErrors().size(), 1u);
    EXPECT_EQ(ShownErrors()[0], "The pattern in the clipboard is\nnot of the same type.");
    EXPECT_EQ(song->FileBytes(), before);

    // Removing the pasted machine leaves no list naming it.
    song->solo_machine = 2;
    Send(BMessage(79));
    EXPECT_EQ(song->num_machines, 3);
    ExpectConsistentGraph();
}

// The pattern editor shows the tracks the paste made, never the ones it replaced.
TEST_F(PlaylistWindowTest, PastingIntoTheShownPatternShowsWhatWasPasted) {
    Open(DEMO_SONG);
    const auto select = [](int32 id) {
        BMessage message('PBTN');
        message.AddInt32("patternnr", id);
        Send(message);
    };
    select(2);
    Send(BMessage('COPY'));
    select(1);
    BWindow* pattern = ShownWindowTitled("Drums");
    ASSERT_NE(pattern, nullptr);
    Send(BMessage('PSTE'));
    pattern->Lock();
    for (int32 i = 0; i < pattern->CountChildren(); i++) pattern->ChildAt(i)->Invalidate();
    pattern->UpdateIfNeeded();
    pattern->Unlock();
    EXPECT_EQ(ShownWindowTitled("Bass"), pattern);
}

TEST_F(PlaylistWindowTest, SavingJoinsThePanelsFolderAndFailingChangesNothing) {
    BMessage save('SAVE');
    entry_ref dir(folder);
    save.AddRef("directory", &dir);
    save.AddString("name", "first");
    Send(save);
    const std::string path = folder + "/first.vel";
    EXPECT_EQ(playlistwindow->Document().FileName(), path);
    EXPECT_STREQ(playlistwindow->Title(), "Velloran - first.vel");
    const std::vector<char> saved = song->FileBytes();
    EXPECT_EQ(Bytes(path), std::string(saved.begin(), saved.end()));
    EXPECT_FALSE(playlistwindow->Document().Changed());

    const int32 refsBefore = RecentCount();

    BMessage broken('SAVE');
    entry_ref missing(folder + "/no/such/folder");
    broken.AddRef("directory", &missing);
    broken.AddString("name", "second.vel");
    Send(broken);
    ASSERT_EQ(ShownErrors().size(), 1u);
    EXPECT_EQ(playlistwindow->Document().FileName(), path);
    EXPECT_STREQ(playlistwindow->Title(), "Velloran - first.vel");
    EXPECT_EQ(RecentCount(), refsBefore);

    // File > Save of a named song writes the same bytes again.
    std::filesystem::remove(path);
    Send(BMessage(3));
    EXPECT_EQ(Bytes(path), std::string(saved.begin(), saved.end()));
}

TEST_F(PlaylistWindowTest, OnlyAChangedSongAsksBeforeItIsDropped) {
    std::vector<std::string> asked;
    AnswerWhenOpen("Cancel", &asked);
    Send(BMessage(1));
    EXPECT_TRUE(asked.empty());  // unchanged: New acts at once
    StopAnswering();

    Add("Gridloom");
    AnswerWhenOpen("Cancel", &asked);
    Send(BMessage(1));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Save changes to Unnamed?");
    EXPECT_EQ(song->num_machines, 2);  // Cancel keeps the song

    AnswerWhenOpen("Don't Save", &asked);
    Send(BMessage(1));
    EXPECT_EQ(song->num_machines, 1);
    EXPECT_FALSE(playlistwindow->Document().Changed());

    // Selecting another machine is a change only when it is the one playing alone.
    Open(DEMO_SONG);
    song->solo_machine = 3;
    EXPECT_FALSE(playlistwindow->Document().Changed());
    song->solo = 1;
    EXPECT_TRUE(playlistwindow->Document().Changed());
}

TEST_F(PlaylistWindowTest, UndoNamesEachEditKeepsWindowsOpenAndBackAtTheSavedSongAsksNothing) {
    Open(DEMO_SONG);
    BMenu* edit = playlistwindow->KeyMenuBar()->SubmenuAt(1);
    BMenuItem* undo = edit->FindItem(PlaylistWindow::kUndo);
    BMenuItem* redo = edit->FindItem(PlaylistWindow::kRedo);
    EXPECT_STREQ(undo->Label(), "Undo");
    EXPECT_FALSE(undo->IsEnabled());
    const std::string tempo = Text("txtTempo");
    Add("Gridloom");
    Send(BMessage(PlaylistWindow::kSettled));
    EXPECT_STREQ(undo->Label(), "Undo Add Gridloom");
    EXPECT_TRUE(undo->IsEnabled());
    SetText("txtTempo", "150", 536);
    Send(BMessage(PlaylistWindow::kSettled));
    EXPECT_STREQ(undo->Label(), "Undo Tempo");

    // A track added in the pattern window: undone, the window stays open on its pattern.
    BMessage select('PBTN');
    select.AddInt32("patternnr", 1);
    Send(select);
    BWindow* pattern = ShownWindowTitled(song->machines[1]->GetName());
    ASSERT_NE(pattern, nullptr);
    const auto tracks = [] {
        BMessage saved;
        song->machines[1]->Save(&saved);
        int32 count = -1;
        saved.FindInt32("num_tracks", &count);
        return count;
    };
    const int32 before = tracks();
    pattern->Lock();
    pattern->DeliverKeyDown("=", B_COMMAND_KEY, 0, 0);
    pattern->Unlock();
    gui_thread::ProcessEvents();
    ASSERT_EQ(tracks(), before + 1);
    Send(BMessage(PlaylistWindow::kSettled));
    EXPECT_EQ(std::string(undo->Label()), std::string("Undo Changes to ") + pattern->Title());
    // Undo while the song plays keeps it playing.
    song->Play();
    Send(BMessage(PlaylistWindow::kUndo));
    EXPECT_EQ(tracks(), before);
    EXPECT_EQ(ShownWindowTitled(song->machines[1]->GetName()), pattern);
    EXPECT_EQ(std::string(redo->Label()), std::string("Redo Changes to ") + pattern->Title());

    Send(BMessage(PlaylistWindow::kUndo));
    Send(BMessage(PlaylistWindow::kUndo));
    EXPECT_EQ(Text("txtTempo"), tempo);
    EXPECT_EQ(song->num_machines, 10);
    EXPECT_STREQ(redo->Label(), "Redo Add Gridloom");
    EXPECT_FALSE(undo->IsEnabled());
    EXPECT_EQ(song->is_playing.load(), 1);
    song->Stop();
    EXPECT_FALSE(playlistwindow->Document().Changed());
    std::vector<std::string> asked;
    AnswerWhenOpen("Cancel", &asked);
    Send(BMessage(1));
    EXPECT_TRUE(asked.empty());
    StopAnswering();
}

TEST_F(PlaylistWindowTest, AFailedOpenKeepsTheSongItsNameAndTitle) {
    BMessage save('SAVE');
    save.AddString("name", folder + "/kept.vel");
    Add("Gridloom");
    Send(save);
    const std::vector<char> before = song->FileBytes();

    const std::string broken = folder + "/broken.vel";
    std::ofstream(broken, std::ios::binary) << std::string(
        "\x10\0\0\0"
        "1BOFxxxx",
        12);
    Open(broken);
    EXPECT_EQ(ShownErrors().size(), 1u);
    const std::string foreign = folder + "/notes.txt";
    std::ofstream(foreign) << "just text\n";
    Open(foreign);
    ASSERT_EQ(ShownErrors().size(), 2u);
    EXPECT_EQ(ShownErrors()[1], "Couldn't find any importer\nfor the selected type of file!\n");
    EXPECT_EQ(playlistwindow->Document().FileName(), folder + "/kept.vel");
    EXPECT_STREQ(playlistwindow->Title(), "Velloran - kept.vel");
    EXPECT_EQ(song->FileBytes(), before);

    // A file manager's drop of the demo song, wherever it lands, opens it.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(DEMO_SONG)});
    QDropEvent drop(QPointF(300, 150), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enter(QPoint(300, 150), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(playlistwindow->Canvas(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QCoreApplication::sendEvent(playlistwindow->Canvas(), &drop);
    gui_thread::ProcessEvents();
    EXPECT_STREQ(playlistwindow->Title(), "Velloran - demo.vel");
    EXPECT_GT(song->num_machines, 5);
    EXPECT_FALSE(playlistwindow->Document().Changed());
}

TEST_F(PlaylistWindowTest, AnImporterIsCheckedBeforeTheSongIsCleared) {
    Add("Gridloom");
    BMessage save('SAVE');
    save.AddString("name", folder + "/mine.vel");
    Send(save);
    const std::vector<char> before = song->FileBytes();
    const auto typed = [&](const char* name, const char* type) {
        const std::string path = folder + "/" + name;
        std::ofstream(path) << "foreign\n";
        BNode node(path.c_str());
        EXPECT_EQ(BNodeInfo(&node).SetType(type), B_OK);
        return path;
    };
    Open(typed("wrong.x", "audio/x-velloran-wrong"));
    ASSERT_EQ(ShownErrors().size(), 1u);
    EXPECT_EQ(song->FileBytes(), before);
    EXPECT_STREQ(playlistwindow->Title(), "Velloran - mine.vel");

    const std::string foreign = typed("song.x", "audio/x-velloran-test");
    Open(foreign);
    EXPECT_EQ(ShownErrors().size(), 1u);
    EXPECT_EQ(song->title, foreign);
    EXPECT_EQ(song->num_machines, 1);
    EXPECT_STREQ(playlistwindow->Title(), "Velloran - Unnamed");
    EXPECT_TRUE(playlistwindow->Document().Changed());  // nothing of it is saved yet
}

TEST_F(PlaylistWindowTest, TheGridStacksLanesAndKeepsItsScrollingAcrossRebuilds) {
    Open(DEMO_SONG);
    PatternContainer* grid = playlistwindow->Grid();
    int32 total = 0;
    for (int32 i = 1; i < song->num_machines; i++) total += song->machines[i]->view_height;
    EXPECT_EQ(grid->TotalHeight(), total);
    float min = 0, max = 0;
    grid->VerticalBar()->GetRange(&min, &max);
    const auto visible = float(int32(grid->Bounds().Height() - 13));
    EXPECT_EQ(max, std::max(0.0f, float(total) - visible));

    grid->HorizontalBar()->SetValue(3);
    EXPECT_EQ(grid->LaneColumn()->Frame().left, -48);
    EXPECT_EQ(playlistwindow->FindView("posbar")->Frame().left, 38);
    SetText("txtTempo", "140", 536);  // rebuilds the grid
    EXPECT_EQ(grid->LaneColumn()->Frame().left, -48);
    EXPECT_EQ(playlistwindow->FindView("posbar")->Frame().left, 38);

    // Reaching the end of the range extends it.
    grid->HorizontalBar()->GetRange(&min, &max);
    grid->HorizontalBar()->SetValue(max);
    float grown = 0;
    grid->HorizontalBar()->GetRange(&min, &grown);
    EXPECT_EQ(grown, max + 1);
    grid->HorizontalBar()->SetValue(0);
}

TEST_F(PlaylistWindowTest, StopAndOpenNeverHangWhileAnotherThreadHoldsTheWindow) {
    Open(DEMO_SONG);
    for (int round = 0; round < 2; round++) {
        song->Play();
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        std::atomic<bool> held{false};
        std::thread holder([&] {
            playlistwindow->Lock();
            held = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            playlistwindow->Unlock();
        });
        while (!held) std::this_thread::yield();
        const auto start = std::chrono::steady_clock::now();
        if (round == 0) {
            song->Stop();
        } else {
            EXPECT_EQ(song->Open(DEMO_SONG), 1);
        }
        const auto took = std::chrono::steady_clock::now() - start;
        holder.join();
        // The position thread skips frames it cannot draw instead of waiting for the holder.
        EXPECT_LT(took, std::chrono::seconds(2));
        EXPECT_EQ(song->is_playing, 0);
    }
}

}  // namespace
