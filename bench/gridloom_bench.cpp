// One step of a Gridloom machine with 128 tracks, every row a new note, played on an
// instrument that adds nothing, so what is measured is the tracker's own work per frame.
#include <benchmark/benchmark.h>
#include "addons/Gridloom/pattern_tracker.h"
#include "bench/full_tracker.h"
#include "engine/player.h"
#include "engine/song.h"

namespace {

PatternTracker* Tracker() {
    PatternTracker* tracker = FullTracker(32);
    tracker->status[0] = 1;
    tracker->buffer_length = 5512;
    return tracker;
}

void Tracker128(benchmark::State& state) {
    static PatternTracker* tracker = Tracker();
    tracker->groove = int32(state.range(0));
    STEPS_PER_MEASURE = 4;
    int32 step = 0;
    for (auto _ : state) {
        song->position = step / 4;
        song->step = step % 4;
        tracker->Process();
        step = (step + 1) % 16;
    }
    state.counters["ns/frame"] =
        benchmark::Counter(double(state.iterations()) * double(tracker->buffer_length),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(Tracker128)->Arg(0)->Arg(1);

}  // namespace
