// One song step with 1, 16, 128 and 500 silent sources feeding the master, beside the bare
// multiply-add loop over the same buffers, both in nanoseconds per frame per connection.
// A machine takes at most 50 inputs, so sources beyond 50 reach the master through buses of
// up to 50; 500 sources and their 10 buses fill the 512-slot table but for one.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>

#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/song.h"

namespace {

Song* SongWith(int sources) {
    static Song* one = [] {
        if (chdir(ENGINE_TEST_ROOT) != 0) std::abort();
        machine_roster.Scan("machines");
        return new Song;
    }();
    one->New();
    int bus = 0;
    for (int i = 0; i < sources; i++) {
        if (sources > Machine::kMaxConnections && i % Machine::kMaxConnections == 0) {
            bus = one->AddMachine("TestBus");
            one->machines[bus]->Connect(0);
        }
        one->machines[one->AddMachine("TestSilence")]->Connect(bus);
    }
    one->Play();
    bigbufnr = 0;
    UpdatePlayerTempo();
    return one;
}

void PerFrameAndConnection(benchmark::State& state) {
    state.counters["ns/frame/connection"] = benchmark::Counter(
        double(state.iterations()) * double(bigbuflen[0]) * double(song->num_machines - 1),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void SongStep(benchmark::State& state) {
    Song* s = SongWith(int(state.range(0)));
    for (auto _ : state) s->Process();
    PerFrameAndConnection(state);
}

// What the step's mix is at its core: every connection's two buffers into its destination's.
void MultiplyAdd(Song* s, int32 frames) {
    for (int32 d = 0; d < s->num_machines; d++) {
        Machine* to = s->machines[d];
        for (int32 i = 0; i < to->num_in_machines; i++) {
            const Machine* from = s->machines[to->in_machine[i]];
            float left = to->in_vol_left[i];
            float right = to->in_vol_right[i];
            for (int32 f = 0; f < frames; f++) {
                to->buffer_left[f] += from->buffer_left[f] * left;
                to->buffer_right[f] += from->buffer_right[f] * right;
            }
        }
    }
}

void BareMultiplyAdd(benchmark::State& state) {
    Song* s = SongWith(int(state.range(0)));
    int32 frames = bigbuflen[0];
    for (auto _ : state) {
        MultiplyAdd(s, frames);
        benchmark::ClobberMemory();
    }
    PerFrameAndConnection(state);
}

// The same, after clearing the sources' buffers as every step must (instruments add into them).
void BareClearAndMultiplyAdd(benchmark::State& state) {
    Song* s = SongWith(int(state.range(0)));
    int32 frames = bigbuflen[0];
    for (auto _ : state) {
        for (int32 d = 0; d < s->num_machines; d++) {
            Machine* m = s->machines[d];
            if (m->num_in_machines > 0) continue;
            std::fill(m->buffer_left, m->buffer_left + frames, 0.0f);
            std::fill(m->buffer_right, m->buffer_right + frames, 0.0f);
        }
        MultiplyAdd(s, frames);
        benchmark::ClobberMemory();
    }
    PerFrameAndConnection(state);
}

}  // namespace

BENCHMARK(SongStep)->Arg(1)->Arg(16)->Arg(128)->Arg(500);
BENCHMARK(BareMultiplyAdd)->Arg(1)->Arg(16)->Arg(128)->Arg(500);
BENCHMARK(BareClearAndMultiplyAdd)->Arg(1)->Arg(16)->Arg(128)->Arg(500);
