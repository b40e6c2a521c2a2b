#include "tests/servers/server_playback.h"

#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "platform/kernel/os.h"
#include "platform/media/sound_output.h"
#include "tests/servers/demo_render.h"
#include "tests/servers/render_comparison.h"

namespace {

// The engine, once started, plays to its first output until the process ends.
bool engineStarted = false;

// A device lost is told from a thread of its own, which may still be telling while the
// process ends: the record is never destroyed.
std::mutex& shownLock = *new std::mutex;
std::vector<std::string>& shown = *new std::vector<std::string>;

void Record(const char* text) {
    std::lock_guard hold(shownLock);
    shown.push_back(text);
}

}  // namespace

std::vector<std::string> ServerPlayback::ShownErrors() {
    std::lock_guard hold(shownLock);
    return shown;
}

void ServerPlayback::SetUp() {
    if (engineStarted) GTEST_SKIP() << "another test started the engine in this process";
    ASSERT_EQ(access(SOUNDFONT, R_OK), 0) << "the tests play with " << SOUNDFONT;
    setenv("VELLORAN_SOUNDFONT", SOUNDFONT, 1);
    // The add-ons of the build tree, laid out there as installed.
    ASSERT_EQ(chdir(BUILD_ROOT), 0);
}

void ServerPlayback::TearDown() {
    if (song == nullptr) return;
    StopSong();
    SoundOutput::Default().SetManual(true);
    fServer.reset();
}

void ServerPlayback::StartOn(std::unique_ptr<AudioServer> server) {
    fServer = std::move(server);
    std::string error;
    ASSERT_TRUE(fServer->Start(&error)) << error;
    StartEngine(fServer->Backend());
}

void ServerPlayback::StartEngine(const char* backend) {
    engineStarted = true;
    setenv("VELLORAN_AUDIO", backend, 1);
    SetErrorPresenter(Record);
    instrument_roster.Scan("instruments");
    machine_roster.Scan("machines");
    new Song(PlayerDrive::kRealTime);
    ASSERT_STREQ(SoundOutput::Default().BackendName(), backend) << fServer->Log();
    ASSERT_EQ(song->Open(DEMO_SONG), 1);
    ASSERT_TRUE(ShownErrors().empty()) << ShownErrors()[0];
    ASSERT_TRUE(WaitUntilFlowing()) << "the output does not play at its rate";
}

// PulseAudio holds a new stream's first buffers back for about 0.6 s; a song started before
// that would start late and skew the checks of its timing, though it plays the same.
bool ServerPlayback::WaitUntilFlowing() {
    constexpr bigtime_t kSample = 200000;
    const bigtime_t until = system_time() + 3000000;
    while (system_time() < until) {
        const bigtime_t frames = SoundOutput::Default().FramesPlayed();
        snooze(kSample);
        if (SoundOutput::Default().FramesPlayed() - frames > 44100 * kSample / 1000000 * 8 / 10) {
            return true;
        }
    }
    return false;
}

double ServerPlayback::Measures() {
    return song->position + double(song->step) / STEPS_PER_MEASURE;
}

double ServerPlayback::MeasuresIn(double seconds) {
    return seconds * song->tempo / 60.0;
}

double ServerPlayback::CpuSeconds() {
    timespec spent{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &spent);
    return double(spent.tv_sec) + double(spent.tv_nsec) / 1e9;
}

void ServerPlayback::StopSong() {
    auto stopped = std::make_shared<std::atomic<bool>>(false);
    std::thread([stopped] {
        song->Stop();
        *stopped = true;
    }).detach();
    const bigtime_t until = system_time() + 3000000;
    while (!*stopped && system_time() < until) snooze(5000);
    if (*stopped) return;
    // A test cannot go on past a hung player; say so and end rather than wait for ctest.
    fprintf(stderr, "song->Stop() did not return within 3 s\n");
    fflush(stderr);
    std::_Exit(1);
}

void ServerPlayback::PlaysTheDemoSongAsTheOfflineRenderDoes(std::unique_ptr<AudioServer> server) {
    // Rendered first, so that the renderer takes no processor from the playback.
    DemoRender render;
    std::string error;
    ASSERT_TRUE(render.Make(kRenderSeconds, &error)) << error;
    StartOn(std::move(server));
    if (HasFatalFailure()) return;
    ASSERT_TRUE(Server().StartRecording(&error)) << error;

    const size_t recordedAtPlay = Server().FramesRecorded();
    const bigtime_t start = system_time();
    song->Play();
    snooze(bigtime_t(kPlaySeconds * 1e6));
    const double measures = Measures();
    const double played = double(system_time() - start) / 1e6;
    EXPECT_STREQ(SoundOutput::Default().BackendName(), Server().Backend()) << "at the end";
    // Before the song stops, so that all the recording holds is the song playing.
    const std::vector<float> recording = Server().StopRecording();
    StopSong();

    EXPECT_NEAR(measures, MeasuresIn(played), 1.0) << "at tempo " << song->tempo;
    RenderComparison comparison(recording, render.Samples());
    printf("%s: %s\n", Server().Backend(), comparison.Summary().c_str());
    // What the recorder had taken in when the song started, as the server hands it on.
    size_t sound = recordedAtPlay;
    while (2 * sound < recording.size() && std::abs(recording[2 * sound]) < 1e-4f) sound++;
    printf("%s: first sound %.1f ms after Play, as recorded\n", Server().Backend(),
           double(sound - recordedAtPlay) * 1000.0 / 44100.0);
    RecordProperty("figures", comparison.Summary());
    // Most of what was played sounds: the demo starts at once and rests only between beats.
    EXPECT_GE(comparison.SoundingWindows(), int(kPlaySeconds * 10 * 0.6));
    EXPECT_LE(comparison.SpreadMs(), 1.5);
    EXPECT_EQ(comparison.QuietWindows(), 0);
    EXPECT_EQ(comparison.ZeroStretches(), 0);
    EXPECT_GE(comparison.SameNotesShare(), 0.95);
    EXPECT_TRUE(ShownErrors().empty());
}
