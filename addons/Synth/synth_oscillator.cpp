#include "addons/Synth/synth_oscillator.h"

#include <algorithm>
#include <cmath>

namespace {

// A full cycle is 2^32 steps of phase.
constexpr double kCycle = 4294967296.0;

}  // namespace

void SynthOscillator::Start(float frequency) {
    const float highest = SynthWaveBank::kSampleRate * 0.45f;
    frequency = std::isfinite(frequency) ? std::clamp(frequency, 0.0f, highest) : 0.0f;
    fIncrement = uint32(std::llround(double(frequency) / SynthWaveBank::kSampleRate * kCycle));
    fPhase = 0;
    fBand = SynthWaveBank::BandOf(frequency);
}

void SynthOscillator::Shape(int32 wave, float width) {
    fWave = wave;
    fTable = SynthWaveBank::Get().Table(wave, fBand);
    width = std::isfinite(width) ? std::clamp(width, 0.01f, 0.99f) : 0.5f;
    fWidth = uint32(double(width) * kCycle);
    // The two saws cancel their level; this restores the pulse's mean.
    fOffset = 2.0f * width - 1.0f;
}
