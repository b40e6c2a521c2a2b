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
        unsetenv("VELLORAN_SOUNDFONT");
        ASSERT_EQ(SoundOutput::Default().SetManual(true), B_OK);
        synth = std::make_unique<BMidiSynth>();
        ASSERT_EQ(synth->EnableInput(true, true), B_OK) << synth->ErrorText();
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

TEST_F(BMidiSynthLive, NoteForLaterWaitsForItsTime) {
    const bigtime_t wait = 300'000;
    bigtime_t due = system_time() + wait;
    synth->NoteOn(1, 69, 110, uint32(due / 1000));
    std::vector<float> early = Pull();
    // Only a render that finished before the note was due had to be silent.
    if (system_time() < due - 2'000) {
        EXPECT_LT(Peak(early, 0, early.size()), kSilence);
    }
    while (system_time() < due + 2'000) snooze(10'000);
    std::vector<float> late = Pull();
    EXPECT_GT(Peak(late, 0, late.size()), 1e-3f);
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
