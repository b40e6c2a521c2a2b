#include <cerrno>
#include <ctime>

#include "platform/kernel/os.h"

namespace {

constexpr bigtime_t kMicrosPerSecond = 1000000;

}  // namespace

void snooze(bigtime_t microseconds) {
    if (microseconds <= 0) return;
    timespec until;
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_sec += time_t(microseconds / kMicrosPerSecond);
    until.tv_nsec += long(microseconds % kMicrosPerSecond) * 1000;
    if (until.tv_nsec >= 1000000000) {
        until.tv_sec++;
        until.tv_nsec -= 1000000000;
    }
    // An absolute deadline keeps the total right however often a signal cuts the sleep.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

bigtime_t system_time() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return bigtime_t(now.tv_sec) * kMicrosPerSecond + now.tv_nsec / 1000;
}
