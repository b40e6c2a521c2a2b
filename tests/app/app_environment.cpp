#include "tests/app/app_environment.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/playlist_window.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/window.h"
#include "tests/app/alert_answer.h"

namespace {

void Record(const char* text) {
    ShownErrors().push_back(text);
}

class AppEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("VELLORAN_AUDIO", "null", 1);
        ASSERT_EQ(chdir(APP_TEST_ROOT), 0);
        // Recent songs and panels stay out of the user's own folders.
        char home[] = "/tmp/velloran-app-tests-XXXXXX";
        ASSERT_NE(mkdtemp(home), nullptr);
        setenv("HOME", home, 1);
        setenv("XDG_CONFIG_HOME", home, 1);
        gui_thread::Start();
        SetErrorPresenter(Record);
        instrument_roster.Scan("instruments");
        machine_roster.Scan("machines");
        importer_roster.Scan("importers");
        new Song;
    }
};

const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace

std::vector<std::string>& ShownErrors() {
    static std::vector<std::string> errors;
    return errors;
}

void SendTo(BWindow* window, const BMessage& message) {
    BMessage copy(message);
    window->Lock();
    window->MessageReceived(&copy);
    window->Unlock();
    gui_thread::ProcessEvents();
}

void OpenPlaylistWindow() {
    if (playlistwindow == nullptr) playlistwindow = new PlaylistWindow;
}

void FreshSong() {
    if (playlistwindow->Document().Changed()) AnswerWhenOpen("Don't Save");
    SendTo(playlistwindow, BMessage(1));
}

BWindow* ShownWindowTitled(const char* title) {
    BWindow* found = nullptr;
    looper_registry::ForEachGuiLooper([&](BLooper* looper) {
        auto* window = dynamic_cast<BWindow*>(looper);
        if (window != nullptr && !window->IsHidden() && std::string(window->Title()) == title)
            found = window;
    });
    return found;
}
