// The application runs Qt's loop: command-line files arrive before ReadyToRun, about and quit
// requests reach their hooks, and other threads post into the loop safely.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/app/app_defs.h"
#include "platform/app/application.h"
#include "platform/interface/view.h"
#include "platform/interface/window.h"

namespace {

class TestApp : public BApplication {
  public:
    TestApp() : BApplication("application/x-vnd.Velloran-test") {}
    void RefsReceived(BMessage* message) override {
        entry_ref ref;
        for (int32 i = 0; message->FindRef("refs", i, &ref) == B_OK; ++i)
            events.push_back("ref " + ref.Name());
    }
    void ReadyToRun() override {
        events.push_back("ready");
        PostMessage(B_ABOUT_REQUESTED);
    }
    void AboutRequested() override {
        events.push_back("about");
        PostMessage(B_QUIT_REQUESTED);
    }
    bool QuitRequested() override {
        events.push_back("quit");
        return true;
    }
    std::vector<std::string> events;
};

TEST(Application, CommandLineRefsComeBeforeReadyToRunThenAboutAndQuit) {
    char program[] = "velloran", song[] = "/tmp/some song.vel";
    char* argv[] = {program, song, nullptr};
    BApplication::SetArguments(2, argv);
    TestApp app;
    app.Run();
    BApplication::SetArguments(1, argv);
    EXPECT_EQ(app.events,
              (std::vector<std::string>{"ref some song.vel", "ready", "about", "quit"}));
    EXPECT_EQ(be_app, &app);
}

class Tally : public BWindow {
  public:
    Tally() : BWindow(BRect(10, 10, 109, 109), "tally", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override {
        if (message->what == 'TICK') ++ticks;
        if (message->what == 'DONE') be_app->PostMessage(B_QUIT_REQUESTED);
    }
    int ticks = 0;
};

class Painted : public BView {
  public:
    Painted() : BView(BRect(0, 0, 49, 49), "painted", B_FOLLOW_NONE, B_WILL_DRAW) {}
    void Draw(BRect) override {
        ++draws;
        FillRect(Bounds());
    }
    std::atomic<int> draws{0};
};

class QuietApp : public BApplication {
  public:
    QuietApp() : BApplication("application/x-vnd.Velloran-test") {}
    void ReadyToRun() override {
        window = new Tally;
        view = new Painted;
        window->AddChild(view);
        window->Show();
        // Another thread posts and invalidates while the GUI thread draws and dispatches.
        poster = std::thread([this] {
            for (int i = 0; i < 500; ++i) {
                window->PostMessage('TICK');
                view->Invalidate();
                if (i % 50 == 0) snooze(1000);
            }
            window->PostMessage('DONE');
        });
    }
    Tally* window = nullptr;
    Painted* view = nullptr;
    std::thread poster;
};

TEST(Application, OtherThreadsPostAndInvalidateWhileTheGuiRuns) {
    QuietApp app;
    app.Run();
    app.poster.join();
    EXPECT_EQ(app.window->ticks, 500);
    EXPECT_GT(app.view->draws, 0);
    app.window->Lock();
    app.window->Quit();
}

}  // namespace
