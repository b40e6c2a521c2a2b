// A lock one thread may take again while it holds it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/kernel/os.h"

// Any thread.
class BLocker {
  public:
    // Any thread. The name is for diagnostics only.
    explicit BLocker(const char* name = nullptr);
    BLocker(const BLocker&) = delete;
    BLocker& operator=(const BLocker&) = delete;

    // Any thread. Waits as long as it takes; always true.
    bool Lock();
    // Any thread. B_TIMED_OUT when another thread held it for all of timeout microseconds;
    // B_INFINITE_TIMEOUT waits as long as it takes.
    status_t LockWithTimeout(bigtime_t timeout);
    // The holding thread, once per lock taken; does nothing in any other thread.
    void Unlock();
    // Any thread: whether the calling thread holds it.
    bool IsLocked() const;
    // Any thread: how often the holder has taken it, 0 when free.
    int32 CountLocks() const { return fCount; }
    // Any thread.
    const char* Name() const { return fName.c_str(); }

  private:
    const std::string fName;
    // Guards the hand-over between threads; the holder counts its own locks without it.
    std::mutex fStateLock;
    std::condition_variable fReleased;
    std::atomic<std::thread::id> fOwner;
    std::atomic<int32> fCount{0};
};
