#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <csignal>

#include "platform/kernel/os.h"

namespace {

std::atomic<int> gSignals{0};

void CountSignal(int) {
    gSignals++;
}

struct Sleeper {
    std::atomic<bool> started{false};
    pthread_t handle{};
    bigtime_t slept = 0;
};

int32 SnoozeTenthOfASecond(void* data) {
    auto* sleeper = static_cast<Sleeper*>(data);
    sleeper->handle = pthread_self();
    sleeper->started = true;
    bigtime_t start = system_time();
    snooze(100000);
    sleeper->slept = system_time() - start;
    return 0;
}

}  // namespace

TEST(Snooze, SleepsAtLeastTheTimeAndNotMuchMore) {
    for (bigtime_t wanted : {1000, 20000, 1500000}) {
        bigtime_t start = system_time();
        snooze(wanted);
        bigtime_t slept = system_time() - start;
        EXPECT_GE(slept, wanted);
        EXPECT_LT(slept, wanted + 250000);
    }
}

TEST(Snooze, ReturnsAtOnceForNoTime) {
    bigtime_t start = system_time();
    snooze(0);
    snooze(-1000000);
    EXPECT_LT(system_time() - start, 10000);
}

TEST(Snooze, SleepsOnThroughSignals) {
    struct sigaction count = {};
    count.sa_handler = CountSignal;  // no SA_RESTART: each signal cuts the sleep short
    struct sigaction old = {};
    ASSERT_EQ(sigaction(SIGUSR1, &count, &old), 0);
    Sleeper sleeper;
    thread_id thread = spawn_thread(SnoozeTenthOfASecond, "sleeper", B_NORMAL_PRIORITY, &sleeper);
    ASSERT_EQ(resume_thread(thread), B_OK);
    while (!sleeper.started) snooze(100);
    gSignals = 0;
    for (int i = 0; i < 8; i++) {
        pthread_kill(sleeper.handle, SIGUSR1);
        snooze(5000);
    }
    ASSERT_EQ(wait_for_thread(thread, nullptr), B_OK);
    sigaction(SIGUSR1, &old, nullptr);
    EXPECT_GT(gSignals, 0);
    EXPECT_GE(sleeper.slept, 100000);
    EXPECT_LT(sleeper.slept, 350000);
}

TEST(SystemTime, NeverGoesBack) {
    bigtime_t last = system_time();
    EXPECT_GT(last, 0);
    for (int i = 0; i < 200000; i++) {
        bigtime_t now = system_time();
        ASSERT_GE(now, last);
        last = now;
    }
}

TEST(SystemTime, CountsMicrosecondsOfTheMonotonicClock) {
    using namespace std::chrono;
    bigtime_t before = duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    bigtime_t now = system_time();
    bigtime_t after = duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
}
