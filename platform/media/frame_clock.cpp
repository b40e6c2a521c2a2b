#include "platform/media/frame_clock.h"

#include "platform/media/sound_mixer.h"

namespace {

constexpr int64 kMicros = 1000000;

// Rounds toward minus infinity, so frames before the anchor map like those after it.
int64 FloorDiv(int64 a, int64 b) {
    int64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

bigtime_t FrameClock::TimeOf(int64 at) const {
    return time + FloorDiv((at - frame) * kMicros, SoundMixer::kFrameRate);
}

int64 FrameClock::FrameAt(bigtime_t at) const {
    return frame + FloorDiv((at - time) * SoundMixer::kFrameRate, kMicros);
}

void SharedFrameClock::Set(const FrameClock& clock) {
    std::lock_guard hold(fWriteLock);
    uint64 sequence = fSequence.load(std::memory_order_relaxed);
    fSequence.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    fFrame.store(clock.frame, std::memory_order_relaxed);
    fTime.store(clock.time, std::memory_order_relaxed);
    fSequence.store(sequence + 2, std::memory_order_release);
}

FrameClock SharedFrameClock::Get() const {
    for (;;) {
        uint64 before = fSequence.load(std::memory_order_acquire);
        FrameClock clock{fFrame.load(std::memory_order_relaxed),
                         fTime.load(std::memory_order_relaxed)};
        std::atomic_thread_fence(std::memory_order_acquire);
        if ((before & 1) == 0 && fSequence.load(std::memory_order_relaxed) == before) return clock;
    }
}
