#include "platform/media/null_output.h"

#include <cerrno>
#include <ctime>

namespace {

constexpr int64 kNanosPerSecond = 1000000000;
// Further behind than this (a debugger, a suspended machine) the output skips ahead instead
// of rushing through what it missed.
constexpr int64 kMaxLagNanos = kNanosPerSecond / 10;
constexpr int64 kBufferNanos = NullOutput::kBufferFrames * kNanosPerSecond / SoundMixer::kFrameRate;

int64 Now() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64(now.tv_sec) * kNanosPerSecond + now.tv_nsec;
}

void SleepUntil(int64 deadline) {
    timespec until{time_t(deadline / kNanosPerSecond), long(deadline % kNanosPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

}  // namespace

NullOutput::~NullOutput() {
    Stop();
}

status_t NullOutput::Start() {
    thread_id thread = spawn_thread(Run, "sound output", B_REAL_TIME_PRIORITY, this);
    if (thread < 0) return thread;
    fThread = thread;
    return resume_thread(thread);
}

void NullOutput::Stop() {
    if (fThread < 0) return;
    request_thread_stop(fThread);
    wait_for_thread(fThread, nullptr);
    fThread = -1;
}

int32 NullOutput::Run(void* data) {
    static_cast<NullOutput*>(data)->Loop();
    return 0;
}

void NullOutput::Loop() {
    int64 start = Now();
    int64 frames = 0;
    while (!thread_stop_requested()) {
        fMixer.Mix(fBuffer, kBufferFrames);
        frames += kBufferFrames;
        // Counted from the start, so the rounding of one buffer never adds up.
        int64 deadline = start + frames * kNanosPerSecond / SoundMixer::kFrameRate;
        int64 now = Now();
        // A device would have run dry by now.
        if (now - deadline > kBufferNanos) fMixer.CountUnderflow();
        if (now - deadline > kMaxLagNanos) {
            start = now;
            frames = 0;
            continue;
        }
        SleepUntil(deadline);
    }
}
