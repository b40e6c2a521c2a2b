// plugscan_probe BUILD_ROOT [--gui|--gui-quit|--gui-loader]: makes a pipe machine as the program
// does, which lists the plug-ins, and prints the names the pipe offers, one per line. With --gui
// the machine is made on the GUI thread, as the Machine menu does, while a timer there watches;
// then come lines "# ticks N" (the timer's ticks during the scan), "# shown PLUG-IN|K of N"
// (each state of the progress window, once) and "# left N" (progress windows still open after).
// --gui-quit also quits the application a second into the scan; --gui-loader makes the machine
// on a thread of its own, as a song being opened does.
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "addons/Plugbay/effect_roster.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/string_view.h"
#include "platform/interface/window.h"

namespace {

std::vector<BWindow*> ProgressWindows() {
    std::vector<BWindow*> found;
    looper_registry::ForEachGuiLooper([&found](BLooper* looper) {
        auto* window = dynamic_cast<BWindow*>(looper);
        if (window != nullptr && std::strcmp(window->Title(), "Checking plug-ins") == 0)
            found.push_back(window);
    });
    return found;
}

std::string Text(BWindow* window, const char* view) {
    auto* line = dynamic_cast<BStringView*>(window->FindView(view));
    return line != nullptr ? line->Text() : "(none)";
}

std::string Shown(BWindow* window) {
    window->Lock();
    const std::string shown =
        window->IsHidden() ? "(hidden)" : Text(window, "plug-in") + "|" + Text(window, "count");
    window->Unlock();
    return shown;
}

struct Watched {
    int ticks = 0;
    std::set<std::string> shown;
};

constexpr int kTickMs = 50;

// The GUI thread serves while another thread makes the machine.
int AddOnLoader() {
    std::atomic<bool> made = false;
    int added = -1;
    std::thread loader([&] {
        added = song->AddMachine("Plugbay");
        made = true;
        gui_thread::Recheck();
    });
    gui_thread::Await([&made] { return made.load(); });
    loader.join();
    return added;
}

int AddWatched(Watched& watched, const std::string& mode) {
    const bool quit = mode == "--gui-quit";
    gui_thread::Start();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&watched, quit] {
        watched.ticks++;
        for (BWindow* window : ProgressWindows()) watched.shown.insert(Shown(window));
        if (quit && watched.ticks == 1000 / kTickMs) QCoreApplication::exit(0);
    });
    watch.start(kTickMs);
    const int added = mode == "--gui-loader" ? AddOnLoader() : song->AddMachine("Plugbay");
    watch.stop();
    gui_thread::ProcessEvents();
    return added;
}

void Print(const Watched& watched) {
    std::printf("# ticks %d\n", watched.ticks);
    for (const std::string& state : watched.shown) std::printf("# shown %s\n", state.c_str());
    std::printf("# left %zu\n", ProgressWindows().size());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[2] : "";
    const bool gui = mode == "--gui" || mode == "--gui-quit" || mode == "--gui-loader";
    if ((argc != 2 && !gui) || chdir(argv[1]) != 0) return 2;
    setenv("VELLORAN_AUDIO", "null", 1);
    machine_roster.Scan("machines");
    new Song(PlayerDrive::kOffline);
    Watched watched;
    if ((gui ? AddWatched(watched, mode) : song->AddMachine("Plugbay")) < 0) return 3;
    for (int32 i = 0; i < effect_roster.count; i++)
        std::printf("%s\n", effect_roster.names[i].c_str());
    if (gui) Print(watched);
    std::fflush(stdout);
    _exit(0);
}
