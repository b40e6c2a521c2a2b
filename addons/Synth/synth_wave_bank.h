// Band-limited single-cycle tables, one per half octave, so that no oscillator makes a
// harmonic above half the sample rate: mip-mapped wavetables summed from their harmonics.
#pragma once

#include <array>

#include "message/support_defs.h"

class SynthWaveBank {
  public:
    static constexpr int32 kSizeBits = 11;
    static constexpr int32 kSize = 1 << kSizeBits;
    static constexpr int32 kBands = 24;
    static constexpr float kSampleRate = 44100.0f;
    enum Wave : int32 { kSaw, kSquare, kTriangle, kSine, kWaves };

    // Any thread. Built on the first call, which instruments make when they are created.
    static const SynthWaveBank& Get();

    // The band whose every harmonic of frequency stays below half the sample rate.
    static int32 BandOf(float frequency);
    // kSize + 1 values: the last repeats the first, so interpolation never wraps. A square
    // reads the saw table twice.
    const float* Table(int32 wave, int32 band) const;

  private:
    using Cycle = std::array<float, kSize + 1>;

    SynthWaveBank();
    void Sum(Cycle* table, int32 harmonics, bool triangle);

    std::array<float, kSize> fSine;
    std::array<Cycle, kBands> fSaw;
    std::array<Cycle, kBands> fTriangle;
    Cycle fPure;
};
