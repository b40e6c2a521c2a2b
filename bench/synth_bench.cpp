// The synthesizer's cost per frame of each sounding voice, beside the bare loop that mixes a
// voice's worth of frames into a buffer. Goal: 40 ns a voice-frame, so that 128 voices fit in
// a quarter of one core.
#include <benchmark/benchmark.h>

#include <vector>

#include "addons/Synth/instrument_synth.h"

namespace {

constexpr int32 kVoices = 128;
// A song step at 120 beats a minute, cut as a tracker with two rows per step cuts it.
constexpr long kStep = 5512;
constexpr long kSubStep = kStep / 2;

// Two saws and noise through a resonant filter that its envelope sweeps, held for ever: the
// dearest path, and no voice falls silent while measured.
InstrumentSynth* Synth() {
    auto* synth = new InstrumentSynth;
    SynthPatch patch;
    patch.SetNamed(1);
    patch.noise = 0.1f;
    patch.amp.points[patch.amp.num_points - 1].y = 0.5f;
    synth->SetPatch(patch);
    return synth;
}

void SetCounter(benchmark::State& state) {
    state.counters["ns/voice-frame"] =
        benchmark::Counter(double(state.iterations()) * double(kStep) * kVoices,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void SynthVoices(benchmark::State& state) {
    static InstrumentSynth* synth = Synth();
    std::vector<float> left(kStep), right(kStep);
    std::vector<NoteInfo> notes(kVoices);
    for (int32 v = 0; v < kVoices; v++) notes[size_t(v)].note = 36 + v % 60;
    for (auto _ : state) {
        for (NoteInfo& note : notes) {
            for (long at = 0; at < kStep; at += kSubStep) {
                synth->Process(left.data() + at, right.data() + at, kSubStep, &note);
                note.time += float(kSubStep);
            }
        }
        benchmark::DoNotOptimize(left.data());
    }
    SetCounter(state);
}
BENCHMARK(SynthVoices);

// What every sound source costs at least: adding its frames into the machine's buffers.
void BareMixing(benchmark::State& state) {
    std::vector<float> left(kStep), right(kStep), source(kStep, 0.25f);
    for (auto _ : state) {
        for (int32 v = 0; v < kVoices; v++) {
            for (long i = 0; i < kStep; i++) {
                left[size_t(i)] += source[size_t(i)];
                right[size_t(i)] += source[size_t(i)];
            }
            benchmark::DoNotOptimize(left.data());
        }
    }
    SetCounter(state);
}
BENCHMARK(BareMixing);

}  // namespace
