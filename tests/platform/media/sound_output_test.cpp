#include "platform/media/sound_output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sound_probe.h"

namespace {

constexpr int32 kPiece = SoundMixer::kPieceFrames;

// Adds the number of each frame to both channels, so a buffer not handed over silent or a
// piece out of place shows; notes the size of each call. Runs on the test's own thread.
struct Ramp {
    float next = 0;
    size_t sizes[8] = {};
    int32 calls = 0;

    static void Play(void* cookie, void* buffer, size_t size, const media_raw_audio_format&) {
        auto* ramp = static_cast<Ramp*>(cookie);
        auto* samples = static_cast<float*>(buffer);
        for (size_t i = 0; i < size / sizeof(float); i += 2, ramp->next++) {
            samples[i] += ramp->next;
            samples[i + 1] += ramp->next;
        }
        if (ramp->calls < 8) ramp->sizes[ramp->calls] = size;
        ramp->calls++;
    }
};

// Renders frames and expects each sample to be expected, with FramesPlayed counting them.
void ExpectRendered(SoundOutput& output, int32 frames, float expected) {
    std::vector<float> out(2 * size_t(frames), 7.0f);
    bigtime_t played = output.FramesPlayed();
    ASSERT_EQ(output.Render(out.data(), frames), B_OK);
    EXPECT_EQ(output.FramesPlayed() - played, frames);
    for (float sample : out) ASSERT_EQ(sample, expected);
}

int32 CountOf(const std::string& text, const std::string& part) {
    int32 count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        count++;
    }
    return count;
}

// Whatever servers the machine runs, this process reaches none.
void ReachNoServer() {
    char runtime[] = "/tmp/velloran-no-server-XXXXXX";
    ASSERT_NE(mkdtemp(runtime), nullptr);
    setenv("XDG_RUNTIME_DIR", runtime, 1);
    setenv("PULSE_SERVER", (std::string("unix:") + runtime + "/native").c_str(), 1);
    setenv("JACK_DEFAULT_SERVER", (std::string("velloran-none-") + (runtime + 24)).c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
}

// Automatic choice tries the servers before the card: jack, pulse, then alsa.
bool TriedInOrder(const std::string& said) {
    size_t jack = said.find("jack: "), pulse = said.find("pulse: "), alsa = said.find("alsa: ");
    return jack < pulse && pulse < alsa && alsa != std::string::npos;
}

// In a process of its own, with no server to reach: plays through what audio names (unset
// when null) and through it again after a restart, then exits 0 when it did and standard
// error told of a fall back to the null output exactly when there was one, once, with a
// reason about audio, and libasound said nothing itself.
[[noreturn]] void PlayThrough(const char* audio, const char* reasonMentions) {
    audio != nullptr ? setenv("VELLORAN_AUDIO", audio, 1) : unsetenv("VELLORAN_AUDIO");
    ReachNoServer();
    testing::internal::CaptureStderr();
    SoundProbe probe;
    BSoundPlayer player = ProbePlayer(probe);
    bool played = player.Start() == B_OK && WaitFor([&] { return probe.calls > 0; });
    SoundOutput& output = SoundOutput::Default();
    played = played && output.SetManual(true) == B_OK && output.SetManual(false) == B_OK;
    int64 calls = probe.calls;
    played = played && WaitFor([&] { return probe.calls > calls; });
    bool null = strcmp(output.BackendName(), "null") == 0;
    player.Stop();
    std::string said = testing::internal::GetCapturedStderr();
    int32 told = CountOf(said, "Velloran: no sound device (");
    bool reasoned = !null || CountOf(said, reasonMentions) > 0;
    bool automatic = audio == nullptr || strcmp(audio, "auto") == 0;
    bool ordered = !null || !automatic || TriedInOrder(said);
    bool quiet = CountOf(said, "ALSA lib") == 0;
    fprintf(stderr, "backend %s, played %d\n%s", output.BackendName(), played, said.c_str());
    exit(played && told == (null ? 1 : 0) && reasoned && ordered && quiet ? 0 : 1);
}

}  // namespace

TEST(SoundOutput, SumsPlayersWithTheirVolumes) {
    SoundOutput& output = NullSoundOutput(true);
    SoundProbe a, b, c;
    a.value = 0.25f;
    b.value = 0.5f;
    c.value = 1.0f;
    BSoundPlayer first = ProbePlayer(a), second = ProbePlayer(b), third = ProbePlayer(c);
    EXPECT_EQ(first.Volume(), 1.0f);
    EXPECT_TRUE(third.HasData());
    first.SetVolume(0.5f);
    second.SetVolume(2.0f);
    third.SetHasData(false);
    for (BSoundPlayer* player : {&first, &second, &third}) ASSERT_EQ(player->Start(), B_OK);

    ExpectRendered(output, 300, 0.125f + 1.0f);
    EXPECT_EQ(c.calls, 0);
    EXPECT_EQ(a.calls, 1);
    third.SetHasData(true);
    second.SetVolume(0.25f);
    ExpectRendered(output, 300, 0.125f + 0.125f + 1.0f);
    EXPECT_EQ(c.calls, 1);
    first.Stop();
    third.SetVolume(NAN);
    EXPECT_EQ(third.Volume(), 0.0f);
    second.SetVolume(-3.0f);
    EXPECT_EQ(second.Volume(), 0.0f);
    second.SetVolume(4.0f);
    ExpectRendered(output, 300, 2.0f);
    EXPECT_EQ(a.calls, 2);
    EXPECT_FALSE(a.odd || b.odd || c.odd);
}

TEST(SoundOutput, RendersLongBuffersInPieces) {
    SoundOutput& output = NullSoundOutput(true);
    Ramp ramp;
    BSoundPlayer player(nullptr, "ramp", Ramp::Play, nullptr, &ramp);
    ASSERT_EQ(player.Start(), B_OK);
    const int32 frames = 2 * kPiece + kPiece / 2;
    std::vector<float> out(2 * frames);
    for (int round = 0; round < 2; round++) {
        ASSERT_EQ(output.Render(out.data(), frames), B_OK);
        for (int32 i = 0; i < 2 * frames; i++) ASSERT_EQ(out[i], float(round * frames + i / 2));
    }
    EXPECT_EQ(ramp.calls, 6);
    const size_t piece = kPiece * 8;
    EXPECT_EQ(std::vector<size_t>(ramp.sizes, ramp.sizes + 6),
              (std::vector<size_t>{piece, piece, piece / 2, piece, piece, piece / 2}));
    EXPECT_EQ(output.Render(out.data(), 0), B_OK);
    EXPECT_EQ(ramp.calls, 6);
}

TEST(SoundOutput, RefusesPlayersBeyondTheMaximum) {
    SoundOutput& output = NullSoundOutput(true);
    SoundProbe probe, extraProbe;
    probe.value = 0.0625f;
    extraProbe.value = 0.0625f;
    std::vector<std::unique_ptr<BSoundPlayer>> players;
    for (int32 i = 0; i < SoundMixer::kMaxPlayers; i++) {
        players.push_back(
            std::make_unique<BSoundPlayer>(nullptr, "full", SoundProbe::Play, nullptr, &probe));
        ASSERT_EQ(players.back()->Start(), B_OK);
    }
    BSoundPlayer extra = ProbePlayer(extraProbe);
    EXPECT_EQ(extra.Start(), B_NO_MEMORY);
    EXPECT_EQ(extra.InitCheck(), B_OK);
    ExpectRendered(output, 64, 1.0f);
    EXPECT_EQ(extraProbe.calls, 0);
    players.pop_back();
    ASSERT_EQ(extra.Start(), B_OK);
    ExpectRendered(output, 64, 1.0f);
    EXPECT_EQ(extraProbe.calls, 1);
}

TEST(SoundOutput, ManualModeStopsTheNullOutputUntilItRestarts) {
    SoundOutput& output = NullSoundOutput(false);
    SoundProbe probe;
    BSoundPlayer player = ProbePlayer(probe);
    ASSERT_EQ(player.Start(), B_OK);
    float buffer[2 * 64];
    EXPECT_EQ(output.Render(buffer, 64), B_NOT_ALLOWED);
    testing::internal::CaptureStderr();
    for (int round = 0; round < 8; round++) {
        ASSERT_EQ(output.SetManual(true), B_OK);
        EXPECT_TRUE(output.IsManual());
        EXPECT_STREQ(output.BackendName(), "manual");
        int64 calls = probe.calls;
        EXPECT_EQ(output.Render(nullptr, 64), B_BAD_VALUE);
        EXPECT_EQ(output.Render(buffer, -1), B_BAD_VALUE);
        EXPECT_EQ(output.Render(buffer, 64), B_OK);
        snooze(20000);
        EXPECT_EQ(probe.calls, calls + 1) << "the null output still plays";
        EXPECT_EQ(probe.lastSize, 64u * 8);

        ASSERT_EQ(output.SetManual(false), B_OK);
        EXPECT_STREQ(output.BackendName(), "null");
        EXPECT_EQ(output.BufferFrames(), 512);
        ASSERT_TRUE(WaitFor([&] { return probe.calls > calls + 1; }));
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "null was asked for";
}

// NaN or infinity from any routine is played as silence, and counted.
TEST(SoundOutput, PlaysSamplesThatAreNotFiniteAsSilenceAndCountsThem) {
    SoundOutput& output = NullSoundOutput(true);
    SoundProbe bad, good;
    bad.value = NAN;
    good.value = 0.25f;
    BSoundPlayer badPlayer = ProbePlayer(bad), goodPlayer = ProbePlayer(good);
    ASSERT_EQ(badPlayer.Start(), B_OK);
    const int64 before = output.SilencedSamples();
    ExpectRendered(output, 100, 0.0f);
    EXPECT_EQ(output.SilencedSamples() - before, 200);
    ASSERT_EQ(goodPlayer.Start(), B_OK);
    bad.value = INFINITY;
    ExpectRendered(output, 100, 0.0f);
    EXPECT_EQ(output.SilencedSamples() - before, 400);
    badPlayer.Stop();
    ExpectRendered(output, 100, 0.25f);
    EXPECT_EQ(output.SilencedSamples() - before, 400);
}

// A routine that takes longer than its buffer lasts leaves the null output behind, as a device
// would run dry: each such buffer counts as an underflow.
TEST(SoundOutput, CountsTheBuffersTheNullOutputPlayedLate) {
    SoundOutput& output = NullSoundOutput(false);
    SoundProbe probe;
    BSoundPlayer player = ProbePlayer(probe);
    ASSERT_EQ(player.Start(), B_OK);
    ASSERT_TRUE(WaitFor([&] { return probe.calls > 2; }));
    const int64 before = output.Underflows();
    probe.nap = 30000;
    const int64 calls = probe.calls;
    ASSERT_TRUE(WaitFor([&] { return probe.calls > calls + 3; }));
    probe.nap = 0;
    player.Stop();
    EXPECT_GE(output.Underflows() - before, 2);
}

// The size every device is asked for.
TEST(SoundOutput, AsksForADefiniteBufferSize) {
    unsetenv("VELLORAN_BUFFER");
    EXPECT_EQ(SoundOutput::WantedBufferFrames(), 512);
    for (auto [asked, wanted] : {std::pair{"256", 256},
                                 {"32", 64},
                                 {"100000", 4096},
                                 {"-5", 64},
                                 {"", 512},
                                 {"12ab", 512},
                                 {"abc", 512}}) {
        setenv("VELLORAN_BUFFER", asked, 1);
        EXPECT_EQ(SoundOutput::WantedBufferFrames(), wanted) << asked;
    }
    unsetenv("VELLORAN_BUFFER");
}

// What VELLORAN_AUDIO says, and what the reason for a fall back names.
using AudioChoice = std::pair<const char*, const char*>;

class SoundOutputDeathTest : public testing::TestWithParam<AudioChoice> {};

TEST_P(SoundOutputDeathTest, FallsBackToTheNullOutputAndSaysSoOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto [audio, reasonMentions] = GetParam();
    EXPECT_EXIT(PlayThrough(audio, reasonMentions), testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(
    Backends, SoundOutputDeathTest,
    testing::Values(AudioChoice{nullptr, "jack: no server running"}, AudioChoice{"auto", "pulse: "},
                    AudioChoice{"pulse", "pulse: "}, AudioChoice{"alsa", "alsa: "},
                    AudioChoice{"jack", "jack: "}, AudioChoice{"oss", "VELLORAN_AUDIO=oss"}),
    [](const testing::TestParamInfo<AudioChoice>& choice) {
        return std::string(choice.param.first ? choice.param.first : "unset");
    });
