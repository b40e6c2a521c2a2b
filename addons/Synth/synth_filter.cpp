#include "addons/Synth/synth_filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "addons/Synth/synth_wave_bank.h"

void SynthFilter::Tune(float cutoff, float resonance) {
    constexpr float kRate = SynthWaveBank::kSampleRate;
    cutoff = std::isfinite(cutoff) ? std::clamp(cutoff, 20.0f, kRate * 0.45f) : kRate * 0.45f;
    resonance = std::isfinite(resonance) ? std::clamp(resonance, 0.0f, 1.0f) : 0.0f;
    const float g = std::tan(std::numbers::pi_v<float> * cutoff / kRate);
    // Damping never reaches zero, where the filter would ring for ever.
    const float k = 2.0f - 1.96f * resonance;
    fA1 = 1.0f / (1.0f + g * (g + k));
    fA2 = g * fA1;
    fA3 = g * fA2;
}
