// Sums every started player into one stream of interleaved stereo float frames.
#pragma once

#include <atomic>

#include "message/support_defs.h"
#include "platform/media/use_counter.h"

class BSoundPlayer;

// Players come and go from any thread while one thread at a time mixes, without locking.
class SoundMixer {
  public:
    static constexpr int32 kFrameRate = 44100;
    static constexpr int32 kChannels = 2;
    static constexpr int32 kMaxPlayers = 16;
    // The most frames a routine is asked for at once; longer buffers are mixed in pieces.
    static constexpr int32 kPieceFrames = 1024;

    // Any thread.
    SoundMixer() = default;
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    // Any thread. The slot the player took, or B_NO_MEMORY when all are taken.
    int32 Attach(BSoundPlayer* player);
    // Any thread. Once it returns, the routine of the slot is not running (when called from a
    // routine, it is that routine) and is not called again.
    void Detach(int32 slot);
    // The one thread mixing now. Overwrites frames interleaved frames of out.
    void Mix(float* out, int32 frames);
    // Any thread: the frames mixed so far; inside a routine, the number of the first frame of
    // the piece it is playing.
    int64 FramesMixed() const { return fFramesMixed.load(std::memory_order_relaxed); }
    // The thread mixing: the device or the null output played frames late (an underflow).
    void CountUnderflow() { fUnderflows.fetch_add(1, std::memory_order_relaxed); }
    // Any thread.
    int64 Underflows() const { return fUnderflows.load(std::memory_order_relaxed); }
    // Any thread: samples of the mix that were not finite and were played as silence.
    int64 Silenced() const { return fSilenced.load(std::memory_order_relaxed); }
    // Any thread: whether it is inside Mix, that is, in a routine.
    static bool InsideMix();

  private:
    struct Slot {
        std::atomic<BSoundPlayer*> player{nullptr};
        UseCounter use;
    };

    void MixPiece(float* out, int32 frames);
    void SilenceNonFinite(float* out, int32 frames);
    void MixSlot(int32 index, float* out, int32 frames, bool* written);

    Slot fSlots[kMaxPlayers];
    // One buffer per slot, written only by the thread mixing.
    float fScratch[kMaxPlayers][kPieceFrames * kChannels] = {};
    std::atomic<int64> fFramesMixed{0};
    std::atomic<int64> fUnderflows{0};
    std::atomic<int64> fSilenced{0};
};
