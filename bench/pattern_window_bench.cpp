// The pattern window's full redraw with 128 tracks on a page of eight measures of eight rows,
// every row holding a note of every track. Offscreen, on the null sound output.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/pattern_window.h"
#include "addons/Gridloom/tracker_globals.h"
#include "engine/instrument.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/view.h"

namespace {

constexpr int32 kRows = 8 * 8;

PatternWindow* WindowWithTracks() {
    static PatternWindow* window = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("VELLORAN_AUDIO", "null", 1);
        if (chdir(ADDON_TEST_ROOT) != 0) std::abort();
        gui_thread::Start();
        machine_roster.Scan("machines");
        new Song(PlayerDrive::kCaller);
        song->instruments[0] = new Instrument;
        const int index = song->AddMachine("Gridloom");
        if (index < 0) std::abort();
        auto* tracker = static_cast<PatternTracker*>(song->machines[index]);
        tracker->num_measures = 8;
        for (int32 t = 0; t < PatternTracker::kMaxTracks; t++) {
            TrackPage& page = tracker->tracks[tracker->AddTrack()]->pages[0];
            for (int32 row = 0; row < kRows; row++) {
                page.setstatus(row, 1);
                page.setnote(row, 40 + (row + t) % 48);
            }
        }
        tracker->ShowWindow();
        auto* shown = static_cast<PatternWindow*>(patternwindow);
        if (shown == nullptr) std::abort();
        // The whole page in view: the button column, 64 columns and the scroll bar.
        shown->Lock();
        shown->ResizeTo(85 + kRows * 16 + 15, 900);
        shown->Unlock();
        gui_thread::ProcessEvents();
        return shown;
    }();
    return window;
}

void RedrawWholeWindow(benchmark::State& state) {
    PatternWindow* window = WindowWithTracks();
    window->Lock();
    for (auto _ : state) {
        for (int32 i = 0; i < window->CountChildren(); i++) window->ChildAt(i)->Invalidate();
        window->UpdateIfNeeded();
    }
    window->Unlock();
    state.counters["tracks"] = currpat->num_tracks;
    state.counters["rows"] = currpat->step_per_measure * currpat->num_measures;
}
BENCHMARK(RedrawWholeWindow)->Unit(benchmark::kMillisecond);

}  // namespace
