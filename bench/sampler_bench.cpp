// The Sampler's cost per voice and frame, beside the bare loop that mixes a buffer into
// another: what interpolation, looping and the envelope add to plain mixing.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "addons/Sampler/instrument_sampler.h"

namespace {

constexpr int32 kBlock = 512;
constexpr int32 kSampleFrames = 44100;

// A stereo saw looped over its whole length, so voices never end.
BMessage SawRecord() {
    std::vector<float> frames(2 * kSampleFrames);
    for (int32 f = 0; f < kSampleFrames; f++) {
        frames[size_t(2 * f)] = frames[size_t(2 * f + 1)] = float(f % 100) / 50.0f - 1.0f;
    }
    BMessage record;
    record.AddInt32("sample_rate", 44100);
    record.AddInt32("sample_channels", 2);
    record.AddInt32("sample_frames", kSampleFrames);
    record.AddData("sample_data", B_FLOAT_TYPE, frames.data(), ssize_t(frames.size() * 4));
    record.AddInt32("root", 60);
    record.AddInt32("loop_start", 0);
    record.AddInt32("loop_end", kSampleFrames);
    return record;
}

// Time per voice and frame.
void PerVoiceFrame(benchmark::State& state) {
    state.counters["per_voice_frame"] = benchmark::Counter(
        double(state.range(0)) * kBlock,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void SamplerVoices(benchmark::State& state) {
    const auto voices = int32(state.range(0));
    InstrumentSampler sampler;
    BMessage record = SawRecord();
    sampler.Open(&record);
    std::vector<NoteInfo> notes(static_cast<size_t>(voices));
    for (int32 v = 0; v < voices; v++) notes[size_t(v)].note = 48 + v % 25;
    std::vector<float> left(kBlock), right(kBlock);
    for (auto _ : state) {
        for (NoteInfo& note : notes) {
            // Restarted long before the envelope's end, so every voice keeps sounding.
            if (note.time > 4.0e5f) note.time = 0;
            sampler.Process(left.data(), right.data(), kBlock, &note);
            note.time += kBlock;
        }
        benchmark::DoNotOptimize(left.data());
        benchmark::ClobberMemory();
    }
    PerVoiceFrame(state);
}

// Each voice's buffer added into the output with a gain: the least any instrument does.
void BareMix(benchmark::State& state) {
    const auto voices = int32(state.range(0));
    std::vector<std::vector<float>> sources(size_t(voices), std::vector<float>(kBlock, 0.25f));
    std::vector<float> left(kBlock), right(kBlock);
    for (auto _ : state) {
        for (const std::vector<float>& source : sources) {
            for (int32 f = 0; f < kBlock; f++) {
                left[size_t(f)] += source[size_t(f)] * 0.5f;
                right[size_t(f)] += source[size_t(f)] * 0.5f;
            }
        }
        benchmark::DoNotOptimize(left.data());
        benchmark::ClobberMemory();
    }
    PerVoiceFrame(state);
}

}  // namespace

BENCHMARK(SamplerVoices)->Arg(1)->Arg(16)->Arg(128);
BENCHMARK(BareMix)->Arg(1)->Arg(16)->Arg(128);
