// The pattern window's full redraw with 128 tracks on a page of eight measures of eight rows,
// every row holding a note of every track. Offscreen, on the null sound output.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/pattern_window.h"
#include "addons/Gridloom/tracker_globals.h"
#include "bench/full_tracker.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/view.h"

namespace {

constexpr int32 kRows = 8 * 8;

PatternWindow* WindowWithTracks() {
    static PatternWindow* window = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("VELLORAN_AUDIO", "null", 1);
        gui_thread::Start();
        PatternTracker* tracker = FullTracker(kRows);
        tracker->num_measures = 8;
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
