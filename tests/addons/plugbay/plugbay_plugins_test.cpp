#include <cmath>
#include <numbers>

#include "tests/addons/plugbay/plugbay_fixture.h"

namespace {

class PlugbayPlugins : public PlugbayTest {
  protected:
    Effect* Make(const char* name) {
        machine = AddPlugbay();
        EXPECT_TRUE(Pipe(machine).CreateEffect(name)) << name;
        return Pipe(machine).num_effects > 0 ? Pipe(machine).effects[0] : nullptr;
    }

    static std::vector<std::string> ParameterNames(Effect* e) {
        std::vector<std::string> names;
        for (int32 i = 0; i < e->GetNumParams(); i++) {
            char text[64] = {};
            e->effect->dispatcher(e->effect, kEffectGetParamName, i, 0, text, 0.0f);
            names.push_back(text);
        }
        return names;
    }

    // The root mean square of a sine of hz over the second half of a buffer, run through
    // the machine.
    float ToneLevel(double hz) {
        int32 frames = Machine::kBufferFrames;
        machine->buffer_length = frames;
        for (int32 f = 0; f < frames; f++) {
            machine->buffer_left[f] = machine->buffer_right[f] =
                float(std::sin(2.0 * std::numbers::pi * hz * f / 44100.0));
        }
        machine->Process();
        double sum = 0.0;
        for (int32 f = frames / 2; f < frames; f++)
            sum += machine->buffer_left[f] * machine->buffer_left[f];
        return float(std::sqrt(sum / (frames - frames / 2)) * std::numbers::sqrt2);
    }

    MachinePlugbay* machine = nullptr;
};

TEST_F(PlugbayPlugins, GainHalvesAndPanMovesToOneSide) {
    Effect* gain = Make("GainPan");
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(ParameterNames(gain), (std::vector<std::string>{"Gain", "Pan"}));
    Fill(machine, 100, 0.8f, -0.4f);
    machine->Process();  // at its own values: unchanged
    EXPECT_EQ(machine->buffer_left[50], 0.8f);
    gain->SetParamValue(0, 0.25f);
    machine->Process();
    EXPECT_FLOAT_EQ(machine->buffer_left[50], 0.4f);
    EXPECT_FLOAT_EQ(machine->buffer_right[99], -0.2f);
    gain->SetParamValue(0, 0.5f);
    gain->SetParamValue(1, 1.0f);
    Fill(machine, 100, 0.8f, -0.4f);
    machine->Process();
    EXPECT_EQ(machine->buffer_left[0], 0.0f);
    EXPECT_FLOAT_EQ(machine->buffer_right[0], -0.4f);
}

TEST_F(PlugbayPlugins, EchoRepeatsAfterItsDelayAndFeedsBack) {
    Effect* echo = Make("StereoEcho");
    ASSERT_NE(echo, nullptr);
    EXPECT_EQ(ParameterNames(echo), (std::vector<std::string>{"Delay", "Feedback", "Mix"}));
    echo->SetParamValue(0, 0.05f);  // 0.1 s: 4410 frames
    echo->SetParamValue(1, 0.5f);   // each repeat comes back at 0.475
    echo->SetParamValue(2, 0.8f);
    Fill(machine, Machine::kBufferFrames, 0.0f, 0.0f);
    machine->buffer_left[0] = 1.0f;
    machine->buffer_right[1] = -1.0f;
    machine->Process();
    EXPECT_EQ(machine->buffer_left[0], 1.0f);
    EXPECT_EQ(machine->buffer_left[4409], 0.0f);
    EXPECT_FLOAT_EQ(machine->buffer_left[4410], 0.8f);
    EXPECT_FLOAT_EQ(machine->buffer_left[8820], 0.8f * 0.475f);
    EXPECT_FLOAT_EQ(machine->buffer_right[4411], -0.8f);
    EXPECT_EQ(machine->buffer_right[4410], 0.0f);
    float elsewhere = 0.0f;
    for (int32 f = 1; f < Machine::kBufferFrames; f++) {
        if (f % 4410 != 0) elsewhere = std::max(elsewhere, std::abs(machine->buffer_left[f]));
    }
    EXPECT_EQ(elsewhere, 0.0f);
}

TEST_F(PlugbayPlugins, LowPassAttenuatesAHighToneAndKeepsALowOne) {
    Effect* filter = Make("LowPass");
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->effect->process, nullptr);  // runs through processReplacing
    EXPECT_EQ(ParameterNames(filter), (std::vector<std::string>{"Cutoff", "Reso"}));
    filter->SetParamValue(0, float(std::log(25.0) / std::log(1000.0)));  // 500 Hz
    filter->SetParamValue(1, 0.0f);
    EXPECT_LT(ToneLevel(10000.0), 0.01f);
    float low = ToneLevel(100.0);
    EXPECT_GT(low, 0.95f);
    EXPECT_LT(low, 1.1f);
    filter->SetParamValue(1, 1.0f);  // resonance lifts the cutoff frequency itself
    EXPECT_GT(ToneLevel(500.0), 5.0f);
}

}  // namespace
