// The main window over a song of 200 machines: a full redraw, and a rebuild of the grid as
// after each edit of the machine table. Offscreen, on the null sound output.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>

#include "app/pattern_container.h"
#include "app/playlist_window.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "platform/app/gui_thread.h"

namespace {

constexpr int32 kMachines = 200;

PlaylistWindow* WindowWithMachines() {
    static PlaylistWindow* window = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("VELLORAN_AUDIO", "null", 1);
        if (chdir(BUILD_ROOT) != 0) std::abort();
        gui_thread::Start();
        instrument_roster.Scan("instruments");
        machine_roster.Scan("machines");
        importer_roster.Scan("importers");
        new Song;
        const char* kinds[] = {"Gridloom", "Plugbay", "Repeat", "Tempo"};
        for (int32 i = 0; i < kMachines; i++) song->AddMachine(kinds[i % 4]);
        playlistwindow = new PlaylistWindow;
        gui_thread::ProcessEvents();
        return playlistwindow;
    }();
    return window;
}

void RedrawWholeWindow(benchmark::State& state) {
    PlaylistWindow* window = WindowWithMachines();
    window->Lock();
    for (auto _ : state) {
        for (int32 i = 0; i < window->CountChildren(); i++) window->ChildAt(i)->Invalidate();
        window->UpdateIfNeeded();
    }
    window->Unlock();
    state.counters["machines"] = song->num_machines - 1;
}
BENCHMARK(RedrawWholeWindow)->Unit(benchmark::kMillisecond);

void RebuildGrid(benchmark::State& state) {
    PlaylistWindow* window = WindowWithMachines();
    window->Lock();
    for (auto _ : state) {
        window->Grid()->Update(1);
        window->UpdateIfNeeded();
    }
    window->Unlock();
}
BENCHMARK(RebuildGrid)->Unit(benchmark::kMillisecond);

}  // namespace
