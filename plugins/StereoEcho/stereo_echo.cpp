// An echo per channel: "Delay" 0 to 1 is 0 to 2 seconds, "Feedback" how much of each repeat
// comes back (at most 0.95, so repeats always die away), "Mix" the level of the repeats.
#include <algorithm>
#include <cmath>
#include <vector>

#include "plugin_effect.h"

namespace {

constexpr float kLongestDelay = 2.0f;
constexpr float kMostFeedback = 0.95f;

class StereoEcho : public PluginEffect<3> {
  public:
    StereoEcho()
        : PluginEffect(0x4563686f, {{{"Delay", 0.25f}, {"Feedback", 0.4f}, {"Mix", 0.5f}}}, true) {
        Prepare();
    }

  private:
    void Prepare() override {
        size_t length = size_t(std::ceil(kLongestDelay * SampleRate())) + 1;
        for (auto& line : fLines) line.assign(length, 0.0f);
        fWrite = 0;
    }

    void Run(float* const* inputs, float* const* outputs, int32_t frames) override {
        size_t length = fLines[0].size();
        size_t delay = std::clamp(size_t(std::lround(Value(0) * kLongestDelay * SampleRate())),
                                  size_t(1), length - 1);
        float feedback = Value(1) * kMostFeedback;
        float mix = Value(2);
        for (int channel = 0; channel < 2; channel++) {
            Echo(fLines[channel].data(), length, delay, inputs[channel], outputs[channel], frames,
                 feedback, mix);
        }
        fWrite = (fWrite + size_t(frames)) % length;
    }

    // In runs over which neither the read nor the write position wraps round the line, so
    // the loop needs no division per frame.
    void Echo(float* line, size_t length, size_t delay, const float* in, float* out, int32_t frames,
              float feedback, float mix) const {
        size_t write = fWrite;
        size_t read = (write + length - delay) % length;
        for (int32_t done = 0; done < frames;) {
            const size_t run = std::min({size_t(frames - done), length - write, length - read});
            for (size_t f = 0; f < run; f++) {
                const float repeat = line[read + f];
                line[write + f] = in[done + f] + feedback * repeat;
                out[done + f] = in[done + f] + mix * repeat;
            }
            done += int32_t(run);
            write = (write + run) % length;
            read = (read + run) % length;
        }
    }

    std::vector<float> fLines[2];
    size_t fWrite = 0;
};

}  // namespace

PLUGIN_EXPORT AEffect* main_plugin(AEffectHostCallback) {
    return (new StereoEcho)->Record();
}
