// Measures of rendered sound for the synthesizer tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "message/support_defs.h"

inline double Rms(const std::vector<float>& samples, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; i++) sum += double(samples[i]) * samples[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

inline float Peak(const std::vector<float>& samples, size_t from, size_t to) {
    float peak = 0;
    for (size_t i = from; i < to; i++) peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

// The first sample louder than threshold, or the size when none is.
inline size_t FirstSounding(const std::vector<float>& samples, float threshold = 1e-6f) {
    auto found = std::ranges::find_if(samples, [=](float s) { return std::fabs(s) > threshold; });
    return size_t(found - samples.begin());
}

// The fundamental in Hz of samples[from, to), by normalised autocorrelation: the shortest
// period nearly as alike as the best, so strong overtones do not pass for the note.
inline double EstimatePitch(const std::vector<float>& samples, size_t from, size_t to,
                            double rate) {
    const int32 shortest = int32(rate / 2000);
    const int32 longest = int32(rate / 50);
    const size_t span = to - from - size_t(longest) - 1;
    std::vector<double> alike(size_t(longest) + 2, 0);
    for (int32 lag = shortest - 1; lag <= longest + 1; lag++) {
        double product = 0, first = 0, second = 0;
        for (size_t i = from; i < from + span; i++) {
            product += double(samples[i]) * samples[i + size_t(lag)];
            first += double(samples[i]) * samples[i];
            second += double(samples[i + size_t(lag)]) * samples[i + size_t(lag)];
        }
        alike[size_t(lag)] = product / std::sqrt(first * second + 1e-30);
    }
    double best = *std::max_element(alike.begin() + shortest, alike.begin() + longest + 1);
    for (int32 lag = shortest; lag <= longest; lag++) {
        double before = alike[size_t(lag) - 1], here = alike[size_t(lag)],
               after = alike[size_t(lag) + 1];
        if (here < 0.9 * best || here < before || here < after) continue;
        double bend = before - 2 * here + after;
        double shift = bend != 0 ? 0.5 * (before - after) / bend : 0;
        return rate / (lag + shift);
    }
    return 0;
}
