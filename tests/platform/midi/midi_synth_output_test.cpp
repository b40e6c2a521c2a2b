#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/media/sound_output.h"
#include "platform/midi/midi_synth.h"
#include "tests/platform/midi/sound_measures.h"
#include "tests/test_sound_font.h"

namespace {

constexpr int32 kBuffer = 512;
// FluidSynth's reverb keeps a tiny offset in its lines against denormals.
constexpr float kSilence = 1e-6f;

uint32 Now() {
    return uint32(system_time() / 1000);
}

// The synth live in the real sound output, pulled buffer by buffer on the test's thread.
class BMidiSynthLive : public testing::Test {
  protected:
    void SetUp() override {
        setenv("VELLORAN_AUDIO", "null", 1);
        PinTestSoundFont();
        ASSERT_EQ(SoundOutput::Default().SetManual(true), B_OK);
        synth = std::make_unique<BMidiSynth>();
        ASSERT_EQ(synth->EnableInput(true, true), B_OK) << synth->ErrorText();
        // Rendered by hand, frames pass when this test says: the next one sounds now.
        SoundOutput::Default().SetClock({SoundOutput::Default().FramesPlayed(), system_time()});
    }
    void TearDown() override {
        synth.reset();
        SoundOutput::Default().SetManual(false);
    }

    // Both channels, interleaved.
    static std::vector<float> Pull(int32 frames = kBuffer) {
        std::vector<float> mixed(size_t(frames) * 2, 7.0f);
        EXPECT_EQ(SoundOutput::Default().Render(mixed.data(), frames), B_OK);
        return mixed;
    }

    std::unique_ptr<BMidiSynth> synth;
};

}  // namespace

TEST_F(BMidiSynthLive, NoteSoundsInTheBufferAfterItWasSent) {
    EXPECT_TRUE(synth->IsLive());
    std::vector<float> quiet = Pull();
    EXPECT_LT(Peak(quiet, 0, quiet.size()), kSilence);
    synth->NoteOn(1, 69, 110, Now());
    std::vector<float> next = Pull();
    EXPECT_GT(Peak(next, 0, next.size()), 1e-3f);
}

// The first frame of interleaved frames that is not silent, or -1.
int64 Onset(const std::vector<float>& frames) {
    for (size_t i = 0; i < frames.size(); i++) {
        if (std::abs(frames[i]) > kSilence) return int64(i / 2);
    }
    return -1;
}

// A message sent ahead starts at the frame of the output its time names on the output's
// clock, within FluidSynth's 64-frame block, however the buffers fall. The SoundFont's own
// attack is measured on a note placed at frame 0.
TEST_F(BMidiSynthLive, NoteForLaterStartsAtTheFrameItsTimeNames) {
    BMidiSynth reference;
    ASSERT_EQ(reference.EnableInput(false, true), B_OK);
    ASSERT_EQ(reference.QueueMessage(0, 0x90, 69, 110), B_OK);
    std::vector<float> left(4096), right(4096), attack(2 * 4096);
    ASSERT_EQ(reference.RenderFrames(left.data(), right.data(), 4096), B_OK);
    for (size_t f = 0; f < left.size(); f++) attack[2 * f] = left[f];
    const int64 delay = Onset(attack);
    ASSERT_GE(delay, 0);

    SoundOutput& output = SoundOutput::Default();
    const FrameClock clock{output.FramesPlayed() + 100, 5'000'000};
    output.SetClock(clock);
    const int64 due = clock.FrameAt(5'300'000);
    ASSERT_EQ(due - clock.frame, 13230);
    synth->NoteOn(1, 69, 110, 5'300);
    std::vector<float> heard;
    const int64 first = output.FramesPlayed();
    for (int32 piece : {300, 512, 4096, 777, 6000, 3000, 2000, 4096}) {
        std::vector<float> mixed = Pull(piece);
        heard.insert(heard.end(), mixed.begin(), mixed.end());
    }
    ASSERT_GT(int64(heard.size() / 2), due - first + 4096);
    const int64 onset = Onset(heard) + first;
    EXPECT_GE(onset, due + delay);
    EXPECT_LT(onset, due + delay + 64) << "the note came " << onset - due - delay << " frames late";
}

TEST_F(BMidiSynthLive, OfflineRenderingWaitsForTheLiveSoundToStop) {
    std::vector<float> left(64), right(64);
    EXPECT_EQ(synth->RenderFrames(left.data(), right.data(), 64), B_NOT_ALLOWED);
    EXPECT_EQ(synth->EnableInput(false, false), B_OK);
    EXPECT_FALSE(synth->IsLive());
    EXPECT_EQ(synth->RenderFrames(left.data(), right.data(), 64), B_OK);
    std::vector<float> mixed = Pull();
    EXPECT_LT(Peak(mixed, 0, mixed.size()), kSilence);
}

// Two threads play notes while a third renders the output: every message crosses the queue
// without a lock, and the sound callback takes them all.
TEST_F(BMidiSynthLive, TwoThreadsSendWhileTheOutputRenders) {
    std::atomic<bool> done{false};
    std::atomic<int32> sent{0};
    float loudest = 0;
    std::thread renderer([&] {
        while (!done) {
            std::vector<float> mixed = Pull();
            loudest = std::max(loudest, Peak(mixed, 0, mixed.size()));
        }
    });
    auto play = [&](uchar channel) {
        for (int round = 0; round < 300; round++) {
            uchar note = uchar(48 + round % 24);
            synth->NoteOn(channel, note, 100);
            synth->ControlChange(channel, 10, uchar(round % 128));
            snooze(200);
            synth->NoteOff(channel, note, 0);
            sent += 3;
        }
    };
    std::thread first(play, 1), second(play, 2);
    first.join();
    second.join();
    snooze(20'000);
    done = true;
    renderer.join();
    EXPECT_EQ(sent.load(), 1800);
    EXPECT_GT(loudest, 1e-3f);
}
