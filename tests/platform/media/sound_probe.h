// A routine for the sound tests that writes one value, counts its calls and checks what it is
// given, and the sound output played by the null output.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>

#include "platform/media/sound_output.h"
#include "platform/media/sound_player.h"

// Shared with the sound thread, so every field is atomic.
struct SoundProbe {
    std::atomic<float> value{0};
    // Slept in each call, to catch a stop in the middle of one.
    std::atomic<bigtime_t> nap{0};
    std::atomic<int64> calls{0};
    std::atomic<int64> frames{0};
    std::atomic<size_t> lastSize{0};
    std::atomic<bool> odd{false};  // a size or format that is not the one played
    std::atomic<bool> inside{false};

    static void Play(void* cookie, void* buffer, size_t size, const media_raw_audio_format& f) {
        auto* probe = static_cast<SoundProbe*>(cookie);
        probe->inside = true;
        bool played = f.frame_rate == 44100 && f.channel_count == 2 && f.format == B_AUDIO_FLOAT &&
                      f.byte_order == B_MEDIA_LITTLE_ENDIAN;
        if (!played || size % 8 != 0 || size > SoundMixer::kPieceFrames * 8) probe->odd = true;
        auto* samples = static_cast<float*>(buffer);
        for (size_t i = 0; i < size / sizeof(float); i++) samples[i] = probe->value;
        if (probe->nap > 0) snooze(probe->nap);
        probe->lastSize = size;
        probe->frames += int64(size / 8);
        probe->calls++;
        probe->inside = false;
    }
};

// A player of probe's routine.
inline BSoundPlayer ProbePlayer(SoundProbe& probe, BSoundPlayer::EventNotifier notifier = nullptr) {
    return BSoundPlayer(nullptr, "probe", SoundProbe::Play, notifier, &probe);
}

// The output played by the null output, or by the caller in manual mode.
inline SoundOutput& NullSoundOutput(bool manual) {
    setenv("VELLORAN_AUDIO", "null", 1);
    SoundOutput& output = SoundOutput::Default();
    EXPECT_EQ(output.SetManual(manual), B_OK);
    return output;
}

// Polls until done() holds; false after timeout microseconds.
template <typename Done>
bool WaitFor(Done done, bigtime_t timeout = 3000000) {
    for (bigtime_t until = system_time() + timeout; !done(); snooze(1000)) {
        if (system_time() > until) return false;
    }
    return true;
}
