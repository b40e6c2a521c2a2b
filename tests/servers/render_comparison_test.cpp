// The comparison itself, on the demo song's real render made into recordings whose faults are
// known: late, jittered, with gaps, or of other music.
#include "tests/servers/render_comparison.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "tests/servers/demo_render.h"

namespace {

constexpr int kLead = 12345;  // frames of silence before the song in a made recording
constexpr int64_t kPlayed = 8 * RenderComparison::kRate;

const std::vector<float>& Render() {
    static const std::vector<float> samples = [] {
        DemoRender render;
        std::string error;
        EXPECT_TRUE(render.Make(9, &error)) << error;
        return render.Samples();
    }();
    return samples;
}

// A recording of the render: lead frames of quiet noise, then frames of it at level.
std::vector<float> Recorded(int lead, int64_t frames, float level) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> hiss(-1e-4f, 1e-4f);
    std::vector<float> recording(size_t(lead + frames) * 2);
    for (float& sample : recording) sample = hiss(random);
    for (size_t i = 0; i < size_t(frames) * 2; i++) {
        recording[size_t(lead) * 2 + i] += level * Render()[i];
    }
    return recording;
}

void Silence(std::vector<float>* recording, int64_t from, int64_t frames) {
    std::fill_n(recording->begin() + 2 * from, 2 * frames, 0.0f);
}

class Comparison : public ::testing::Test {
  protected:
    void SetUp() override {
        if (access(SOUNDFONT, R_OK) != 0) GTEST_SKIP() << "no SoundFont " << SOUNDFONT;
        ASSERT_GE(Render().size(), size_t(kPlayed) * 2);
    }
};

TEST_F(Comparison, FindsALateQuieterCopyToTheSampleWithNoSpreadOrLoss) {
    RenderComparison comparison(Recorded(kLead, kPlayed, 0.5f), Render());
    EXPECT_DOUBLE_EQ(comparison.GlobalOffsetMs(), kLead * 1000.0 / 44100);
    EXPECT_GE(comparison.SoundingWindows(), 60);
    EXPECT_DOUBLE_EQ(comparison.SpreadMs(), 0.0);
    EXPECT_EQ(comparison.QuietWindows(), 0);
    EXPECT_EQ(comparison.ZeroStretches(), 0);
    EXPECT_DOUBLE_EQ(comparison.SameNotesShare(), 1.0);
    EXPECT_NEAR(comparison.LevelRatio(), 0.5, 0.01);
}

TEST_F(Comparison, MeasuresTheSpreadOfASongThatSlipsPartWay) {
    // From the fourth second on the song sounds 10 ms later, as after a repeated buffer.
    constexpr int kSlip = 441;
    constexpr int64_t kAt = 4 * 44100;
    std::vector<float> recording = Recorded(kLead, kPlayed, 1.0f);
    std::vector<float> slipped(recording.begin(), recording.begin() + 2 * (kLead + kAt));
    slipped.insert(slipped.end(), size_t(2 * kSlip), 0.001f);
    slipped.insert(slipped.end(), recording.begin() + 2 * (kLead + kAt), recording.end());
    RenderComparison comparison(slipped, Render());
    EXPECT_NEAR(comparison.SpreadMs(), 10.0, 0.1);
    EXPECT_GE(comparison.SameNotesShare(), 0.95);
}

TEST_F(Comparison, CountsGapsAndLostStretchesAsDropouts) {
    std::vector<float> recording = Recorded(kLead, kPlayed, 1.0f);
    // A lost 512-frame buffer, and a third of a second lost where the song sounds.
    Silence(&recording, kLead + 2 * 44100 + 100, 512);
    Silence(&recording, kLead + 5 * 44100, 44100 / 3);
    RenderComparison comparison(recording, Render());
    EXPECT_EQ(comparison.ZeroStretches(), 2);
    EXPECT_GE(comparison.QuietWindows(), 2);
    EXPECT_LE(comparison.QuietWindows(), 4);
}

TEST_F(Comparison, TellsOtherMusicApart) {
    std::vector<float> recording = Recorded(kLead, kPlayed, 1.0f);
    std::reverse(recording.begin() + 2 * kLead, recording.end());
    RenderComparison comparison(recording, Render());
    EXPECT_LT(comparison.SameNotesShare(), 0.2);
}

TEST_F(Comparison, ASilentRecordingHasEveryWindowQuiet) {
    RenderComparison comparison(std::vector<float>(size_t(kLead + kPlayed) * 2, 0.0f), Render());
    EXPECT_GE(comparison.SoundingWindows(), 60);
    EXPECT_EQ(comparison.QuietWindows(), comparison.SoundingWindows());
    EXPECT_EQ(comparison.ZeroStretches(), 1);
    EXPECT_DOUBLE_EQ(comparison.SameNotesShare(), 0.0);
    EXPECT_TRUE(std::isnan(comparison.SpreadMs()));
}

}  // namespace
