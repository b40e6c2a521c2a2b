// Ties the frames of the sound output to the platform clock: frame `frame` sounds at `time`
// microseconds, and every other frame 1/44100 s per frame from there.
#pragma once

#include <atomic>
#include <mutex>

#include "message/support_defs.h"
#include "platform/kernel/os.h"

// A plain value: one anchor. Both directions round down, so a time maps to the frame that
// sounds at or before it whichever piece of the stream asks.
struct FrameClock {
    int64 frame = 0;
    bigtime_t time = 0;

    bigtime_t TimeOf(int64 at) const;
    int64 FrameAt(bigtime_t at) const;
};

// One anchor shared between threads: any thread but the sound thread moves it, any thread
// reads it, the sound thread included (a read retries while a move is half done; it never
// waits for a lock).
class SharedFrameClock {
  public:
    // Any thread but the sound thread.
    void Set(const FrameClock& clock);
    // Any thread.
    FrameClock Get() const;

  private:
    std::mutex fWriteLock;
    // Odd while a move is under way.
    std::atomic<uint64> fSequence{0};
    std::atomic<int64> fFrame{0};
    std::atomic<bigtime_t> fTime{0};
};
