#include "platform/kernel/locker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Holds the lock in another thread from construction until Release().
class Holder {
  public:
    explicit Holder(BLocker& locker, bigtime_t holdFor = B_INFINITE_TIMEOUT)
        : fThread([this, &locker, holdFor] {
              locker.Lock();
              fHeld = true;
              bigtime_t until = holdFor == B_INFINITE_TIMEOUT ? holdFor : system_time() + holdFor;
              while (!fRelease && system_time() < until) snooze(500);
              locker.Unlock();
          }) {
        while (!fHeld) snooze(100);
    }
    ~Holder() {
        Release();
        fThread.join();
    }
    void Release() { fRelease = true; }

  private:
    std::atomic<bool> fHeld{false};
    std::atomic<bool> fRelease{false};
    std::thread fThread;
};

}  // namespace

TEST(BLocker, TakesItAgainInTheSameThread) {
    BLocker locker("song");
    EXPECT_STREQ(locker.Name(), "song");
    EXPECT_FALSE(locker.IsLocked());
    EXPECT_EQ(locker.CountLocks(), 0);
    EXPECT_TRUE(locker.Lock());
    EXPECT_TRUE(locker.Lock());
    EXPECT_EQ(locker.LockWithTimeout(0), B_OK);
    EXPECT_TRUE(locker.IsLocked());
    EXPECT_EQ(locker.CountLocks(), 3);
    locker.Unlock();
    locker.Unlock();
    EXPECT_TRUE(locker.IsLocked());
    EXPECT_EQ(locker.CountLocks(), 1);
    locker.Unlock();
    EXPECT_FALSE(locker.IsLocked());
    EXPECT_EQ(locker.CountLocks(), 0);
    EXPECT_STREQ(BLocker().Name(), "");
}

TEST(BLocker, IsLockedOnlyForTheHolder) {
    BLocker locker;
    locker.Lock();
    std::thread other([&] {
        EXPECT_FALSE(locker.IsLocked());
        EXPECT_EQ(locker.CountLocks(), 1);
        // Not the holder's to give back.
        locker.Unlock();
        EXPECT_EQ(locker.LockWithTimeout(0), B_TIMED_OUT);
    });
    other.join();
    EXPECT_TRUE(locker.IsLocked());
    EXPECT_EQ(locker.CountLocks(), 1);
    locker.Unlock();
}

TEST(BLocker, LetsOneThreadInAtATime) {
    BLocker locker;
    int64 counter = 0;  // plain on purpose: only the lock keeps it right
    std::atomic<int> inside{0};
    std::atomic<int> mostInside{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; t++) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; i++) {
                locker.Lock();
                locker.Lock();
                int now = ++inside;
                if (now > mostInside) mostInside = now;
                counter++;
                inside--;
                locker.Unlock();
                locker.Unlock();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(counter, 80000);
    EXPECT_EQ(mostInside, 1);
    EXPECT_EQ(locker.CountLocks(), 0);
}

TEST(BLocker, TimesOutWhileAnotherThreadHoldsIt) {
    BLocker locker;
    Holder holder(locker);
    EXPECT_EQ(locker.LockWithTimeout(0), B_TIMED_OUT);
    EXPECT_EQ(locker.LockWithTimeout(-5), B_TIMED_OUT);
    bigtime_t start = system_time();
    EXPECT_EQ(locker.LockWithTimeout(50000), B_TIMED_OUT);
    bigtime_t waited = system_time() - start;
    EXPECT_GE(waited, 49000);
    EXPECT_LT(waited, 500000);
    EXPECT_FALSE(locker.IsLocked());
    holder.Release();
    EXPECT_EQ(locker.LockWithTimeout(5000000), B_OK);
    EXPECT_EQ(locker.CountLocks(), 1);
    locker.Unlock();
}

TEST(BLocker, WaiterGetsItWhenTheHolderLetsGo) {
    BLocker locker;
    bigtime_t start = system_time();
    Holder holder(locker, 30000);
    EXPECT_EQ(locker.LockWithTimeout(5000000), B_OK);
    EXPECT_GE(system_time() - start, 30000);
    locker.Unlock();
    // A timeout too long for the clock waits like Lock().
    Holder again(locker, 20000);
    EXPECT_EQ(locker.LockWithTimeout(B_INFINITE_TIMEOUT - 1), B_OK);
    locker.Unlock();
}
