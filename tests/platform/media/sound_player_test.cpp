#include "platform/media/sound_player.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <memory>
#include <thread>
#include <vector>

#include "sound_probe.h"

namespace {

// A probe that also counts the notifications, checking that each names its player.
struct Notes {
    SoundProbe probe;
    BSoundPlayer* player = nullptr;
    std::atomic<int32> started{0};
    std::atomic<int32> stopped{0};
    // The call in which the routine stops its own player; 0 for none.
    int64 stopAtCall = 0;
};

void Note(void* cookie, int32 what, ...) {
    auto* notes = static_cast<Notes*>(cookie);
    va_list args;
    va_start(args, what);
    EXPECT_EQ(va_arg(args, BSoundPlayer*), notes->player);
    va_end(args);
    (what == B_STARTED ? notes->started : notes->stopped)++;
}

void PlayNoted(void* cookie, void* buffer, size_t size, const media_raw_audio_format& format) {
    auto* notes = static_cast<Notes*>(cookie);
    SoundProbe::Play(&notes->probe, buffer, size, format);
    if (notes->probe.calls == notes->stopAtCall) notes->player->Stop();
}

// Expects the routine of a stopped player to stay uncalled for a while.
void ExpectNoMoreCalls(const SoundProbe& probe) {
    int64 calls = probe.calls;
    snooze(60000);
    EXPECT_EQ(probe.calls, calls);
}

}  // namespace

TEST(BSoundPlayer, RefusesWhatItCannotPlay) {
    SoundProbe probe;
    BSoundPlayer defaults = ProbePlayer(probe);
    EXPECT_EQ(defaults.InitCheck(), B_OK);
    EXPECT_STREQ(defaults.Name(), "probe");
    EXPECT_EQ(defaults.Format().frame_rate, 44100.0f);
    EXPECT_EQ(defaults.Format().channel_count, 2u);
    EXPECT_EQ(defaults.Format().format, B_AUDIO_FLOAT);
    EXPECT_EQ(defaults.Format().byte_order, B_MEDIA_LITTLE_ENDIAN);
    EXPECT_EQ(defaults.Format().buffer_size, 0u);
    EXPECT_EQ(BSoundPlayer(nullptr, nullptr, nullptr).InitCheck(), B_BAD_VALUE);

    const media_raw_audio_format played = defaults.Format();
    std::vector<std::pair<media_raw_audio_format, status_t>> wrong(5, {played, B_NOT_SUPPORTED});
    wrong[0].first.frame_rate = 48000;
    wrong[1].first.channel_count = 1;
    wrong[2].first.format = 0x2;  // 16-bit integers
    wrong[3].first.byte_order = B_MEDIA_BIG_ENDIAN;
    wrong[4] = {played, B_BAD_VALUE};
    wrong[4].first.buffer_size = 4095;
    for (const auto& [format, status] : wrong) {
        BSoundPlayer player(&format, "wrong", SoundProbe::Play, nullptr, &probe);
        EXPECT_EQ(player.InitCheck(), status);
        EXPECT_EQ(player.Start(), status);
    }
    media_raw_audio_format sized = played;
    sized.buffer_size = 4096;
    EXPECT_EQ(BSoundPlayer(&sized, "sized", SoundProbe::Play).InitCheck(), B_OK);
    EXPECT_EQ(probe.calls, 0);
}

TEST(BSoundPlayer, NullOutputCallsItAtTheRealTimeRate) {
    SoundOutput& output = NullSoundOutput(false);
    EXPECT_STREQ(output.BackendName(), "null");
    EXPECT_EQ(output.BufferFrames(), 512);
    SoundProbe probe;
    BSoundPlayer player = ProbePlayer(probe);
    ASSERT_EQ(player.Start(), B_OK);
    ASSERT_TRUE(WaitFor([&] { return probe.calls >= 2; }));

    int64 frames = probe.frames;
    bigtime_t played = output.FramesPlayed();
    bigtime_t start = system_time();
    snooze(1500000);
    double seconds = double(system_time() - start) / 1e6;
    double rate = double(probe.frames - frames) / seconds;
    EXPECT_NEAR(rate, 44100, 44100 * 0.05);
    EXPECT_NEAR(double(output.FramesPlayed() - played) / seconds, 44100, 44100 * 0.05);
    player.Stop();
    EXPECT_EQ(probe.lastSize, 4096u);
    EXPECT_FALSE(probe.odd);
    EXPECT_EQ(probe.frames, probe.calls * 512);
}

TEST(BSoundPlayer, StopWaitsForTheRunningRoutine) {
    NullSoundOutput(false);
    SoundProbe probe;
    probe.nap = 40000;
    BSoundPlayer player = ProbePlayer(probe);
    for (int round = 0; round < 3; round++) {
        ASSERT_EQ(player.Start(), B_OK);
        ASSERT_TRUE(WaitFor([&] { return probe.inside.load(); }));
        player.Stop();
        EXPECT_FALSE(probe.inside) << "returned before the routine ended";
        ExpectNoMoreCalls(probe);
    }
}

TEST(BSoundPlayer, StartsStopsAndRestartsRepeatedly) {
    NullSoundOutput(false);
    Notes notes;
    {
        BSoundPlayer player(nullptr, "cycling", PlayNoted, Note, &notes);
        notes.player = &player;
        for (int round = 0; round < 25; round++) {
            int64 calls = notes.probe.calls;
            ASSERT_EQ(player.Start(), B_OK);
            EXPECT_EQ(player.Start(), B_OK);
            ASSERT_TRUE(WaitFor([&] { return notes.probe.calls > calls; }));
            player.Stop();
            player.Stop();
        }
        ASSERT_EQ(player.Start(), B_OK);
    }
    // The destructor stopped it.
    ExpectNoMoreCalls(notes.probe);
    EXPECT_EQ(notes.started, 26);
    EXPECT_EQ(notes.stopped, 26);
}

TEST(BSoundPlayer, StopsFromItsOwnRoutine) {
    NullSoundOutput(false);
    Notes notes;
    notes.stopAtCall = 3;
    BSoundPlayer player(nullptr, "self", PlayNoted, Note, &notes);
    notes.player = &player;
    ASSERT_EQ(player.Start(), B_OK);
    ASSERT_TRUE(WaitFor([&] { return notes.stopped == 1; }));
    ExpectNoMoreCalls(notes.probe);
    EXPECT_EQ(notes.probe.calls, 3);
    EXPECT_EQ(player.Start(), B_OK);
    ASSERT_TRUE(WaitFor([&] { return notes.probe.calls > 3; }));
}

TEST(BSoundPlayer, StaysConsistentWhileOtherThreadsControlIt) {
    SoundOutput& output = NullSoundOutput(false);
    constexpr int kPlayers = 4;
    SoundProbe probes[kPlayers];
    std::vector<std::unique_ptr<BSoundPlayer>> players;
    for (SoundProbe& probe : probes) {
        players.push_back(
            std::make_unique<BSoundPlayer>(nullptr, "", SoundProbe::Play, nullptr, &probe));
    }
    std::atomic<bool> done{false};
    auto control = [&](int seed) {
        for (uint32 step = seed; !done; step = step * 1103515245 + 12345) {
            BSoundPlayer& player = *players[(step >> 16) % kPlayers];
            switch ((step >> 8) % 4) {
                case 0:
                    EXPECT_EQ(player.Start(), B_OK);
                    break;
                case 1:
                    player.Stop();
                    break;
                case 2:
                    player.SetVolume(float(step % 7) / 4);
                    break;
                default:
                    player.SetHasData(step % 2 == 0);
                    break;
            }
            snooze(200);
        }
    };
    std::thread first(control, 1);
    std::thread second(control, 2);
    std::thread renderer([&] {
        // Switching to manual mode and back while the others play.
        for (int round = 0; round < 4 && !done; round++) {
            snooze(100000);
            output.SetManual(true);
            float buffer[2 * 256];
            EXPECT_EQ(output.Render(buffer, 256), B_OK);
            output.SetManual(false);
        }
    });
    snooze(800000);
    done = true;
    first.join();
    second.join();
    renderer.join();
    int64 calls = 0;
    for (int i = 0; i < kPlayers; i++) {
        players[i]->Stop();
        calls += probes[i].calls;
        EXPECT_FALSE(probes[i].odd);
    }
    EXPECT_GT(calls, 0);
    for (const SoundProbe& probe : probes) ExpectNoMoreCalls(probe);
}
