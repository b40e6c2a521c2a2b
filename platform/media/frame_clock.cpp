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

// A sequence lock in sequentially consistent steps: a read that overlaps a move sees the
// sequence change (or odd) and tries again.
void SharedFrameClock::Set(const FrameClock& clock) {
    std::lock_guard hold(fWriteLock);
    const uint64 sequence = fSequence.load();
    fSequence.store(sequence + 1);
    fFrame.store(clock.frame);
    fTime.store(clock.time);
    fSequence.store(sequence + 2);
}

FrameClock SharedFrameClock::Get() const {
    for (;;) {
        const uint64 before = fSequence.load();
        const FrameClock clock{fFrame.load(), fTime.load()};
        if ((before & 1) == 0 && fSequence.load() == before) return clock;
    }
}
