// Level and balance: "Gain" 0.5 is unity (0 silence, 1 twice as loud), "Pan" 0.5 the centre.
#include "plugin_effect.h"

namespace {

class GainPan : public PluginEffect<2> {
  public:
    GainPan() : PluginEffect(0x47616e50, {{{"Gain", 0.5f}, {"Pan", 0.5f}}}, true) {}

  private:
    void Run(float* const* inputs, float* const* outputs, int32_t frames) override {
        float gain = 2.0f * Value(0);
        float pan = Value(1);
        // Balance rather than constant power, so that the centre leaves both sides untouched.
        float left = gain * std::min(1.0f, 2.0f * (1.0f - pan));
        float right = gain * std::min(1.0f, 2.0f * pan);
        for (int32_t f = 0; f < frames; f++) outputs[0][f] = inputs[0][f] * left;
        for (int32_t f = 0; f < frames; f++) outputs[1][f] = inputs[1][f] * right;
    }
};

}  // namespace

PLUGIN_EXPORT AEffect* main_plugin(AEffectHostCallback) {
    return (new GainPan)->Record();
}
