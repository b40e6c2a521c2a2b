// Measures of rendered sound the instruments' tests compare against numbers: pitch, the energy
// of one frequency, loudness and the largest jump between frames.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

// Frequency at 44100 Hz from the rising zero crossings from frame from on, each placed between
// its two frames.
inline double MeasuredFrequency(const std::vector<float>& x, size_t from) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from; i + 1 < x.size(); i++) {
        if (x[i] < 0 && x[i + 1] >= 0) {
            const double at = double(i) + x[i] / double(x[i] - x[i + 1]);
            if (first < 0) first = at;
            last = at;
            crossings++;
        }
    }
    return crossings > 1 ? (crossings - 1) * 44100.0 / (last - first) : 0;
}

// Energy of the DFT bin at a whole number of cycles over x: the power in that sinusoid.
inline double BinEnergy(const std::vector<float>& x, long cycles) {
    std::complex<double> sum = 0;
    const double w = 2 * std::numbers::pi * double(cycles) / double(x.size());
    for (size_t i = 0; i < x.size(); i++) sum += double(x[i]) * std::polar(1.0, -w * double(i));
    const double n = double(x.size());
    return (cycles == 0 ? 1.0 : 2.0) * std::norm(sum) / (n * n);
}

inline double MeanSquare(const std::vector<float>& x) {
    double sum = 0;
    for (float v : x) sum += double(v) * v;
    return sum / double(x.size());
}

// Decibels of what x holds outside the harmonics of a fundamental making whole cycles over it,
// against the fundamental: the energy aliasing folded back.
inline double AliasDecibels(const std::vector<float>& x, long fundamental) {
    double harmonics = BinEnergy(x, 0);
    for (long f = fundamental; f < long(x.size()) / 2; f += fundamental)
        harmonics += BinEnergy(x, f);
    return 10 * std::log10((MeanSquare(x) - harmonics) / BinEnergy(x, fundamental));
}

inline float LargestStep(const std::vector<float>& x, size_t from = 0, size_t to = SIZE_MAX) {
    float largest = 0;
    for (size_t i = from; i + 1 < std::min(to, x.size()); i++)
        largest = std::max(largest, std::abs(x[i + 1] - x[i]));
    return largest;
}
