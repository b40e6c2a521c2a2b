// A resonant low-pass: the trapezoidal state-variable filter, stable at any cutoff and
// resonance it is tuned to.
#pragma once

class SynthFilter {
  public:
    // cutoff in Hz and resonance 0 .. 1, both held to what stays stable; not finite values
    // open the filter.
    void Tune(float cutoff, float resonance);

    float Next(float in) {
        // A constant far below hearing keeps the state out of the denormal range when the
        // input falls silent.
        constexpr float kAntiDenormal = 1e-20f;
        const float v3 = in + kAntiDenormal - fLow;
        const float v1 = fA1 * fBand + fA2 * v3;
        const float v2 = fLow + fA2 * fBand + fA3 * v3;
        fBand = 2.0f * v1 - fBand;
        fLow = 2.0f * v2 - fLow;
        return v2;
    }

  private:
    float fA1 = 1.0f;
    float fA2 = 0.0f;
    float fA3 = 0.0f;
    float fBand = 0.0f;
    float fLow = 0.0f;
};
