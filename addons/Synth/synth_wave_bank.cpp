#include "addons/Synth/synth_wave_bank.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Band 0 starts below note 0; each band spans half an octave above it.
constexpr float kLowest = 8.0f;

float BandTop(int32 band) {
    return kLowest * std::exp2(float(band + 1) * 0.5f);
}

}  // namespace

const SynthWaveBank& SynthWaveBank::Get() {
    static const SynthWaveBank bank;
    return bank;
}

SynthWaveBank::SynthWaveBank() {
    for (int32 i = 0; i < kSize; i++)
        fSine[size_t(i)] = float(std::sin(2.0 * std::numbers::pi * i / kSize));
    const int32 most = kSize / 2 - 1;
    for (int32 band = 0; band < kBands; band++) {
        const auto harmonics = int32(kSampleRate * 0.5f / BandTop(band));
        Sum(&fSaw[size_t(band)], std::clamp(harmonics, int32(1), most), false);
        Sum(&fTriangle[size_t(band)], std::clamp(harmonics, int32(1), most), true);
    }
    std::copy(fSine.begin(), fSine.end(), fPure.begin());
    fPure[kSize] = fPure[0];
}

// Sine products come from the table by integer index, exact and quick to build.
void SynthWaveBank::Sum(Cycle* table, int32 harmonics, bool triangle) {
    std::vector<double> sum(kSize, 0.0);
    for (int32 h = 1; h <= harmonics; h++) {
        double amplitude = -2.0 / (std::numbers::pi * h);
        if (triangle) {
            if (h % 2 == 0) continue;
            amplitude = 8.0 / (std::numbers::pi * std::numbers::pi * h * h) * (h % 4 == 1 ? 1 : -1);
        }
        for (int32 i = 0; i < kSize; i++)
            sum[size_t(i)] += amplitude * fSine[size_t((int64(h) * i) % kSize)];
    }
    for (int32 i = 0; i < kSize; i++) (*table)[size_t(i)] = float(sum[size_t(i)]);
    (*table)[kSize] = (*table)[0];
}

int32 SynthWaveBank::BandOf(float frequency) {
    if (!(frequency > kLowest)) return 0;
    const auto band = int32(2.0f * std::log2(frequency / kLowest));
    return std::clamp(band, int32(0), kBands - 1);
}

const float* SynthWaveBank::Table(int32 wave, int32 band) const {
    band = std::clamp(band, int32(0), kBands - 1);
    switch (wave) {
        case kTriangle:
            return fTriangle[size_t(band)].data();
        case kSine:
            return fPure.data();
        default:
            return fSaw[size_t(band)].data();
    }
}
