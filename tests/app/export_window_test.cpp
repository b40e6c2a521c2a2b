// Exporting from the program: the export window renders the song on its own thread with the
// renderer's code, so what it writes is what velloran-render writes; a cancelled export writes
// nothing, and the song plays live again afterwards.
#include "app/export_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "app/playlist_window.h"
#include "engine/machine.h"
#include "engine/player.h"
#include "engine/song.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/messenger.h"
#include "platform/interface/check_box.h"

#include "platform/storage/entry.h"
#include "tests/app/app_environment.h"
#include "tests/platform/storage/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ExportWindowTest : public testing::Test {
  protected:
    // The demo's first two slots, saved for the renderer to render too: its machines, stems
    // and MIDI parts, in eight seconds.
    void SetUp() override {
        OpenPlaylistWindow();
        FreshSong();
        ASSERT_EQ(song->Open(DEMO_SONG), 1);
        for (int32 i = 0; i < song->num_machines; i++) {
            Machine* machine = song->machines[i];
            if (machine->addon_name != "Gridloom") continue;
            BMessage record;
            machine->Save(&record);
            const void* data = nullptr;
            ssize_t size = 0;
            ASSERT_EQ(record.FindData("status", B_INT32_TYPE, &data, &size), B_OK);
            std::vector<int32> slots(size_t(size) / 4);
            std::memcpy(slots.data(), data, size_t(size));
            std::fill(slots.begin() + 3, slots.end(), 0);
            record.RemoveName("status");
            record.AddData("status", B_INT32_TYPE, slots.data(), size);
            machine->Open(&record);
        }
        shortSong = folder.Path("short.vel");
        ASSERT_EQ(song->Save(shortSong.c_str()), 1);
    }

    // The save panel's answer: the file name in the test's folder.
    static BMessage Chosen(const TempDir& folder, const char* name) {
        BMessage chosen(ExportWindow::kChosen);
        entry_ref directory(folder.Path());
        chosen.AddRef("directory", &directory);
        chosen.AddString("name", name);
        return chosen;
    }

    // Runs the window's events until it has closed, as it does when its export ends; the
    // messenger was made with the window, which may be gone already.
    static bool WaitUntilClosed(const BMessenger& alive) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (alive.IsValid() && std::chrono::steady_clock::now() < until) {
            gui_thread::ProcessEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return !alive.IsValid();
    }

    std::string Render(const std::string& arguments) const {
        return std::string(VELLORAN_RENDER) + " '" + shortSong + "' --quiet " + arguments +
               " > /dev/null 2>&1";
    }

    TempDir folder;
    std::string shortSong;
};

}  // namespace

TEST_F(ExportWindowTest, AudioAndMidiAreWhatTheRendererWritesAndTheSongPlaysLiveAgain) {
    auto* audio = new ExportWindow(ExportWindow::Kind::kAudio);
    const BMessenger audioAlive(audio);
    audio->Lock();
    dynamic_cast<BCheckBox*>(audio->FindView("chkFloat"))->SetValue(B_CONTROL_ON);
    dynamic_cast<BCheckBox*>(audio->FindView("chkStems"))->SetValue(B_CONTROL_ON);
    audio->Unlock();
    SendTo(audio, Chosen(folder, "demo"));
    ASSERT_TRUE(WaitUntilClosed(audioAlive));
    const std::string rendered = folder.Path("rendered.wav");
    ASSERT_EQ(std::system(Render("--float -o '" + rendered + "' --stems '" +
                                 folder.Path("rendered stems") + "'")
                              .c_str()),
              0);
    EXPECT_EQ(Bytes(folder.Path("demo.wav")), Bytes(rendered));
    for (const char* stem : {"04-Lead.wav", "05-Echo.wav", "09-Bells.wav", "synth.wav"}) {
        EXPECT_EQ(Bytes(fs::path(folder.Path("demo stems")) / stem),
                  Bytes(fs::path(folder.Path("rendered stems")) / stem))
            << stem;
    }

    auto* midi = new ExportWindow(ExportWindow::Kind::kMidi);
    const BMessenger midiAlive(midi);
    SendTo(midi, Chosen(folder, "demo.mid"));
    ASSERT_TRUE(WaitUntilClosed(midiAlive));
    ASSERT_EQ(std::system(Render("--midi '" + folder.Path("rendered.mid") + "'").c_str()), 0);
    EXPECT_EQ(Bytes(folder.Path("demo.mid")), Bytes(folder.Path("rendered.mid")));
    EXPECT_TRUE(ShownErrors().empty());

    // Live again: playing starts the player's own threads.
    song->Play();
    EXPECT_TRUE(song->is_playing);
    song->Stop();
}

TEST_F(ExportWindowTest, ACancelledExportLeavesNoFileAndClosingCancelsToo) {
    // Looping short of its end, the song plays ten minutes: the export is surely under way
    // when it is stopped.
    song->loop = 1;
    song->stop_pos = 2;
    for (const bool byClosing : {false, true}) {
        auto* audio = new ExportWindow(ExportWindow::Kind::kAudio);
        const BMessenger audioAlive(audio);
        audio->Lock();
        dynamic_cast<BCheckBox*>(audio->FindView("chkStems"))->SetValue(B_CONTROL_ON);
        audio->Unlock();
        SendTo(audio, Chosen(folder, "cut"));
        if (byClosing) {
            audio->PostMessage(B_QUIT_REQUESTED);
        } else {
            SendTo(audio, BMessage(ExportWindow::kCancel));
        }
        ASSERT_TRUE(WaitUntilClosed(audioAlive));
        EXPECT_FALSE(fs::exists(folder.Path("cut.wav"))) << "closing: " << byClosing;
        EXPECT_FALSE(fs::exists(folder.Path("cut.wav.part"))) << "closing: " << byClosing;
        EXPECT_FALSE(fs::exists(folder.Path("cut stems"))) << "closing: " << byClosing;
    }
    EXPECT_TRUE(ShownErrors().empty());
}
