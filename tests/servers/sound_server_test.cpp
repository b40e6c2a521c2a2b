// A sound server that goes away while the song plays: the output falls back to the null output
// on its own, says so once, and the song keeps its time.
#include <cstring>
#include <sstream>

#include "engine/song.h"
#include "platform/kernel/os.h"
#include "platform/media/sound_output.h"
#include "tests/servers/jack_server.h"
#include "tests/servers/private_folder.h"
#include "tests/servers/pulse_server.h"
#include "tests/servers/server_playback.h"
#include "tests/servers/stderr_capture.h"

namespace {

// Lines with something on them.
int Lines(const std::string& text) {
    int lines = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines += line.find_first_not_of(" \t") != std::string::npos;
    }
    return lines;
}

class SoundServer : public ServerPlayback, public ::testing::WithParamInterface<const char*> {
  protected:
    std::unique_ptr<AudioServer> MakeServer() const {
        if (strcmp(GetParam(), "jack") == 0) return std::make_unique<JackServer>();
        return std::make_unique<PulseServer>();
    }

    // Seconds until the output plays to null, at most limit.
    static double SecondsUntilNull(double limit) {
        const bigtime_t start = system_time();
        const auto until = start + bigtime_t(limit * 1e6);
        while (strcmp(SoundOutput::Default().BackendName(), "null") != 0 && system_time() < until) {
            snooze(5000);
        }
        return double(system_time() - start) / 1e6;
    }
};

TEST_P(SoundServer, VanishingMidSongEndsInTheNullOutputAndTheSongPlaysOn) {
    StartOn(MakeServer());
    if (HasFatalFailure()) return;
    const bigtime_t played = system_time();
    song->Play();
    snooze(2000000);
    // Still playing to the server when it goes, or there is nothing to fall back from.
    ASSERT_STREQ(SoundOutput::Default().BackendName(), GetParam());
    ASSERT_NEAR(Measures(), MeasuresIn(double(system_time() - played) / 1e6), 1.0)
        << "the song does not play in time on the server";

    PrivateFolder folder("velloran-stderr-");
    StderrCapture said(folder / "stderr.txt");
    Server().Kill();
    const double switched = SecondsUntilNull(2.0);
    EXPECT_STREQ(SoundOutput::Default().BackendName(), "null");
    EXPECT_LT(switched, 1.0);

    // The null output has taken over; what it plays for two seconds.
    snooze(100000);
    const double measures = Measures();
    const bigtime_t frames = SoundOutput::Default().FramesPlayed();
    const double cpu = CpuSeconds();
    const bigtime_t start = system_time();
    snooze(2000000);
    const double seconds = double(system_time() - start) / 1e6;
    const double moved = Measures() - measures;
    const double rate = double(SoundOutput::Default().FramesPlayed() - frames) / seconds;
    const double load = (CpuSeconds() - cpu) / seconds;
    StopSong();
    const std::string text = said.End();

    EXPECT_NEAR(moved, MeasuresIn(seconds), 0.75);
    EXPECT_NEAR(rate, 44100, 2205);
    // The synthesizer's and the player's work, far from a thread spinning on a lost device.
    EXPECT_LT(load, 0.5);
    EXPECT_EQ(Lines(text), 1) << text;
    EXPECT_NE(text.find("null"), std::string::npos) << text;
    printf(
        "%s vanished: null after %.3f s, %.2f measures in %.2f s, %.0f frames/s, "
        "%.0f%% of a core\n",
        GetParam(), switched, moved, seconds, rate, 100 * load);
}

INSTANTIATE_TEST_SUITE_P(Servers, SoundServer, ::testing::Values("jack", "pulse"),
                         [](const ::testing::TestParamInfo<const char*>& server) {
                             return std::string(server.param);
                         });

}  // namespace
