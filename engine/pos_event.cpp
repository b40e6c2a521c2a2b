#include "engine/pos_event.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "engine/player.h"
#include "engine/song.h"
#include "platform/kernel/os.h"

namespace {

// The list lock is held only to read or change the list, never while a subscriber runs.
struct Subscribers {
    std::mutex lock;
    std::condition_variable called;
    std::vector<PosEvent*> list;
    PosEvent* calling = nullptr;
};

Subscribers& subscribers() {
    static auto* one = new Subscribers;
    return *one;
}

thread_id posevent_thread = 0;
std::atomic<bool> stop_requested{false};
float* bigbuf[2] = {nullptr, nullptr};
float history[6] = {};
int history_cursor = 0;

void Snapshot() {
    int32 playing = 1 - bigbufnr;
    int32 from = std::clamp(int32(bigbufpos), int32(0), kBigBufferFrames);
    int32 length = std::clamp(int32(bigbuflen[playing]), from, kBigBufferFrames);
    int32 first = std::min(int32(kPosEventFrames), length - from);
    std::copy(bigbuf1[playing] + from, bigbuf1[playing] + from + first, bigbuf[0]);
    std::copy(bigbuf2[playing] + from, bigbuf2[playing] + from + first, bigbuf[1]);
    // The rest comes from the start of the other half, which plays next.
    int32 rest = int32(kPosEventFrames) - first;
    std::copy(bigbuf1[1 - playing], bigbuf1[1 - playing] + rest, bigbuf[0] + first);
    std::copy(bigbuf2[1 - playing], bigbuf2[1 - playing] + rest, bigbuf[1] + first);
}

void CallSubscribers(float from, float to) {
    Subscribers& s = subscribers();
    std::vector<PosEvent*> round;
    {
        std::lock_guard<std::mutex> hold(s.lock);
        round = s.list;
    }
    for (PosEvent* each : round) {
        {
            std::lock_guard<std::mutex> hold(s.lock);
            // Gone since the round began.
            if (std::find(s.list.begin(), s.list.end(), each) == s.list.end()) continue;
            s.calling = each;
        }
        each->UpdatePos(from, to, bigbuf, kPosEventFrames);
        std::lock_guard<std::mutex> hold(s.lock);
        s.calling = nullptr;
        s.called.notify_all();
    }
}

int32 PosEventThread(void*) {
    while (!stop_requested) {
        history_cursor = (history_cursor + 1) % 6;
        history[history_cursor] =
            float(song->position) + float(song->step) / float(STEPS_PER_MEASURE);
        float from = history[(history_cursor + 1) % 6];
        float to = history[(history_cursor + 2) % 6];
        {
            // The player thread writes the halves under this lock.
            std::lock_guard<std::mutex> hold(bigbuf_lock);
            Snapshot();
        }
        CallSubscribers(from, to);
        snooze(50000);
    }
    return 0;
}

}  // namespace

PosEvent::PosEvent() = default;

void PosEvent::Subscribe() {
    Subscribers& s = subscribers();
    std::lock_guard<std::mutex> hold(s.lock);
    if (std::find(s.list.begin(), s.list.end(), this) == s.list.end()) s.list.push_back(this);
}

PosEvent::~PosEvent() {
    Subscribers& s = subscribers();
    std::unique_lock<std::mutex> hold(s.lock);
    std::erase(s.list, this);
    s.called.wait(hold, [&] { return s.calling != this; });
}

void PosEvent::UpdatePos(float, float, float**, long) {}

void StartPosEvents() {
    if (posevent_thread > 0) return;
    bigbuf[0] = new float[kBigBufferFrames];
    bigbuf[1] = new float[kBigBufferFrames];
    stop_requested = false;
    posevent_thread = spawn_thread(PosEventThread, "PosEventThread", B_NORMAL_PRIORITY, nullptr);
    resume_thread(posevent_thread);
}

void StopPosEvents() {
    if (posevent_thread <= 0) return;
    stop_requested = true;
    status_t result;
    wait_for_thread(posevent_thread, &result);
    posevent_thread = 0;
    delete[] bigbuf[0];
    delete[] bigbuf[1];
    bigbuf[0] = bigbuf[1] = nullptr;
}
