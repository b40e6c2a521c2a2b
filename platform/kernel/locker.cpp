#include "platform/kernel/locker.h"

#include <algorithm>
#include <chrono>

namespace {

// Longer waits would overflow the clock's nanoseconds; they are as good as forever.
constexpr bigtime_t kForever = bigtime_t(1) << 50;

}  // namespace

BLocker::BLocker(const char* name) : fName(name != nullptr ? name : "") {}

bool BLocker::Lock() {
    return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BLocker::LockWithTimeout(bigtime_t timeout) {
    if (IsLocked()) {
        fCount++;
        return B_OK;
    }
    std::unique_lock lock(fStateLock);
    auto free = [this] { return fCount == 0; };
    if (timeout >= kForever) {
        fReleased.wait(lock, free);
    } else if (!fReleased.wait_for(lock, std::chrono::microseconds(std::max<bigtime_t>(timeout, 0)),
                                   free)) {
        return B_TIMED_OUT;
    }
    fOwner = std::this_thread::get_id();
    fCount = 1;
    return B_OK;
}

void BLocker::Unlock() {
    if (!IsLocked()) return;
    if (fCount > 1) {
        fCount--;
        return;
    }
    {
        std::lock_guard lock(fStateLock);
        fOwner = std::thread::id();
        fCount = 0;
    }
    fReleased.notify_one();
}

bool BLocker::IsLocked() const {
    // Only this thread ever stores its own id, so it sees its own store without ordering.
    return fOwner.load(std::memory_order_relaxed) == std::this_thread::get_id();
}
