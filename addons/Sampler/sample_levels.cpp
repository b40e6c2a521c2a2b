#include "addons/Sampler/sample_levels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Kaiser window's shape for about 70 dB of stop band.
constexpr double kBeta = 6.76;

double BesselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; term > 1e-12 * sum; k++) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
    }
    return sum;
}

// A low-pass that passes up to 0.8 of stop and removes everything from stop up (cycles per
// frame), as 2 * half + 1 taps summing to one.
std::vector<float> LowPass(double stop, int32* half) {
    *half = int32(std::ceil(10.8 / stop));
    const double cutoff = 0.9 * stop;
    std::vector<double> taps(size_t(2 * *half + 1));
    double sum = 0;
    for (int32 i = -*half; i <= *half; i++) {
        const double x = 2 * cutoff * i;
        const double sinc = i == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
        const double r = double(i) / *half;
        const double window = BesselI0(kBeta * std::sqrt(1 - r * r)) / BesselI0(kBeta);
        sum += taps[size_t(i + *half)] = sinc * window;
    }
    std::vector<float> out(taps.size());
    for (size_t i = 0; i < taps.size(); i++) out[i] = float(taps[i] / sum);
    return out;
}

}  // namespace

SampleLevels::SampleLevels(const SampleData& sample, int32 loopStart, int32 loopEnd) {
    if (sample.Frames() > kMaxFrames) return;
    for (int32 i = 0; i < kLevels; i++) Build(sample, i, loopStart, loopEnd);
    fCount = kLevels;
}

void SampleLevels::Build(const SampleData& sample, int32 index, int32 loopStart, int32 loopEnd) {
    const bool loops = loopEnd > loopStart;
    const int32 decimation = int32(1) << (index / 2);
    int32 half = 0;
    const std::vector<float> taps = LowPass(0.5 / std::exp2((index + 1) / 2.0), &half);
    // Past the loop's end, or the filter's ring after the sample's, plus the interpolator's
    // reach.
    const int32 end = loops ? loopEnd : sample.Frames() + half;
    const int32 frames = end / decimation + 4;
    Level& level = fLevel[index];
    level.decimation = decimation;
    level.frames = frames;
    std::vector<float> rolled(size_t(frames) * size_t(decimation) + taps.size());
    for (int32 c = 0; c < sample.Channels(); c++) {
        const float* data = sample.Channel(c);
        for (size_t i = 0; i < rolled.size(); i++) {
            int64_t n = int64_t(i) - half;
            if (loops && n >= loopEnd) n = loopStart + (n - loopStart) % (loopEnd - loopStart);
            rolled[i] = n >= 0 && n < sample.Frames() ? data[n] : 0.0f;
        }
        std::vector<float>& out = fData[index][c];
        out.resize(size_t(frames));
        for (int32 m = 0; m < frames; m++) {
            const float* x = rolled.data() + size_t(m) * size_t(decimation);
            float sum = 0;
            for (size_t i = 0; i < taps.size(); i++) sum += taps[i] * x[i];
            // Below the denormal range: exact zero, as in the sample itself.
            out[size_t(m)] = std::abs(sum) < 1e-30f ? 0.0f : sum;
        }
        level.channel[c] = out.data();
    }
    if (sample.Channels() == 1) level.channel[1] = level.channel[0];
}

const SampleLevels::Level* SampleLevels::For(double step) const {
    if (fCount == 0 || !(step > 1.0)) return nullptr;
    const int32 index = int32(std::ceil(2 * std::log2(step))) - 1;
    return &fLevel[std::clamp(index, 0, fCount - 1)];
}
