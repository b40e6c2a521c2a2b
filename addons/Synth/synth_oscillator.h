// One oscillator of a voice: a phase that wraps every cycle, read from a band-limited table.
#pragma once

#include "addons/Synth/synth_wave_bank.h"

class SynthOscillator {
  public:
    // frequency in Hz; held below half the sample rate. The phase starts at zero; Shape comes
    // before the first Next.
    void Start(float frequency);
    // What the voice reads for wave and pulse width, once per block.
    void Shape(int32 wave, float width);

    float Next() {
        float value = Read(fPhase);
        // A pulse is the difference of two saws, the second delayed by the pulse width.
        if (fWave == SynthWaveBank::kSquare) value = Read(fPhase - fWidth) - value + fOffset;
        fPhase += fIncrement;
        return value;
    }

  private:
    float Read(uint32 phase) const {
        constexpr int32 kFracBits = 32 - SynthWaveBank::kSizeBits;
        const uint32 i = phase >> kFracBits;
        const float frac = float(phase & ((1u << kFracBits) - 1)) * (1.0f / float(1u << kFracBits));
        return fTable[i] + frac * (fTable[i + 1] - fTable[i]);
    }

    const float* fTable = nullptr;
    uint32 fPhase = 0;
    uint32 fIncrement = 0;
    int32 fBand = 0;
    int32 fWave = SynthWaveBank::kSaw;
    uint32 fWidth = 0;
    float fOffset = 0;
};
