// A resonant two-pole low-pass per channel: "Cutoff" 0 to 1 sweeps 20 Hz to 20 kHz evenly in
// octaves, "Reso" raises the peak at the cutoff (Q 0.5 to 10).
#include <cmath>

#include "plugin_effect.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class LowPass : public PluginEffect<2> {
  public:
    // Offers processReplacing only.
    LowPass() : PluginEffect(0x4c6f5073, {{{"Cutoff", 0.5f}, {"Reso", 0.1f}}}, false) {}

  private:
    struct State {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    };

    void Prepare() override {
        for (State& s : fState) s = State{};
        fCutoff = -1.0f;
    }

    // Coefficients follow the parameters between calls, never per sample.
    void Update() {
        float cutoff = Value(0);
        float reso = Value(1);
        if (cutoff == fCutoff && reso == fReso && SampleRate() == fRate) return;
        fCutoff = cutoff;
        fReso = reso;
        fRate = SampleRate();
        double hz = std::min(20.0 * std::pow(1000.0, double(cutoff)), 0.45 * fRate);
        double q = 0.5 + 9.5 * double(reso);
        double w = 2.0 * kPi * hz / fRate;
        double alpha = std::sin(w) / (2.0 * q);
        double a0 = 1.0 + alpha;
        fB0 = (1.0 - std::cos(w)) / 2.0 / a0;
        fB1 = (1.0 - std::cos(w)) / a0;
        fA1 = -2.0 * std::cos(w) / a0;
        fA2 = (1.0 - alpha) / a0;
    }

    void Run(float* const* inputs, float* const* outputs, int32_t frames) override {
        Update();
        for (int channel = 0; channel < 2; channel++) {
            State& s = fState[channel];
            for (int32_t f = 0; f < frames; f++) {
                double x = inputs[channel][f];
                double y = fB0 * x + fB1 * s.x1 + fB0 * s.x2 - fA1 * s.y1 - fA2 * s.y2;
                s.x2 = s.x1;
                s.x1 = x;
                s.y2 = s.y1;
                // Flushed to zero as it dies away, so silence never turns into slow denormals.
                s.y1 = std::abs(y) < 1e-20 ? 0.0 : y;
                outputs[channel][f] = float(y);
            }
        }
    }

    State fState[2];
    float fCutoff = -1.0f;
    float fReso = -1.0f;
    float fRate = 0.0f;
    double fB0 = 0, fB1 = 0, fA1 = 0, fA2 = 0;
};

}  // namespace

PLUGIN_EXPORT AEffect* main_plugin(AEffectHostCallback) {
    return (new LowPass)->Record();
}
