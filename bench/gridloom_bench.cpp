// One step of a Gridloom machine with 128 tracks, every row a new note, played on an
// instrument that adds nothing, so what is measured is the tracker's own work per frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>

#include "addons/Gridloom/pattern_tracker.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/song.h"

namespace {

PatternTracker* Tracker() {
    if (chdir(ADDON_TEST_ROOT) != 0) std::abort();
    machine_roster.Scan("machines");
    new Song(PlayerDrive::kCaller);
    song->instruments[0] = new Instrument;
    const int index = song->AddMachine("Gridloom");
    if (index < 0) std::abort();
    // The bench does not bind to the add-on image, so it has no type information to check by.
    auto* tracker = static_cast<PatternTracker*>(song->machines[index]);
    for (int32 t = 0; t < PatternTracker::kMaxTracks; t++) {
        TrackPage& page = tracker->tracks[tracker->AddTrack()]->pages[0];
        for (int32 row = 0; row < 32; row++) page.setstatus(row, 1);
    }
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
