// A Plugbay pipe of our three plug-ins (gain/pan, echo, low-pass) over a full machine buffer,
// in nanoseconds per frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/rosters.h"
#include "engine/song.h"

namespace {

Machine* Pipe() {
    if (chdir(ADDON_TEST_ROOT) != 0) std::abort();
    machine_roster.Scan("machines");
    new Song;
    Machine* m = song->machines[song->AddMachine("Plugbay")];
    BMessage record;
    record.AddInt32("num_effects", 3);
    for (const char* name : {"GainPan", "StereoEcho", "LowPass"}) {
        record.AddString("effectname", name);
    }
    m->Open(&record);
    m->buffer_length = Machine::kBufferFrames;
    return m;
}

// The same input every time, as the graph's mix would write it, so the echo cannot build up.
const std::vector<float>& Input() {
    static std::vector<float> input = [] {
        std::vector<float> v(Machine::kBufferFrames);
        for (size_t f = 0; f < v.size(); f++) v[f] = float(0.5 * std::sin(0.05 * double(f)));
        return v;
    }();
    return input;
}

void ThreePluginPipe(benchmark::State& state) {
    static Machine* m = Pipe();
    const std::vector<float>& input = Input();
    for (auto _ : state) {
        std::copy(input.begin(), input.end(), m->buffer_left);
        std::copy(input.begin(), input.end(), m->buffer_right);
        m->Process();
        benchmark::DoNotOptimize(m->buffer_left[0]);
    }
    state.counters["ns/frame"] =
        benchmark::Counter(double(state.iterations()) * double(m->buffer_length),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(ThreePluginPipe);

}  // namespace
