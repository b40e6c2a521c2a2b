#include <gtest/gtest.h>
#include <linux/capability.h>
#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/os.h"

namespace {

int32 ReturnData(void* data) {
    return int32(reinterpret_cast<intptr_t>(data));
}

void* AsData(intptr_t value) {
    return reinterpret_cast<void*>(value);
}

int32 SetFlag(void* data) {
    static_cast<std::atomic<bool>*>(data)->store(true);
    return 0;
}

int32 SleepUntilStopped(void*) {
    int32 naps = 0;
    while (!thread_stop_requested()) {
        snooze(1000);
        naps++;
    }
    return naps;
}

int32 SpinUntilStopped(void*) {
    volatile uint64 rounds = 0;
    while (!thread_stop_requested()) rounds = rounds + 1;
    return 0;
}

int32 ReportOwnId(void* data) {
    static_cast<std::atomic<thread_id>*>(data)->store(find_thread(nullptr));
    return 0;
}

int32 ReportOsName(void* data) {
    char name[16] = {};
    pthread_getname_np(pthread_self(), name, sizeof(name));
    *static_cast<std::string*>(data) = name;
    return 0;
}

int32 ReportPolicy(void*) {
    int policy = -1;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &policy, &param);
    return policy;
}

thread_id StartThread(thread_func func, void* data, int32 priority = B_NORMAL_PRIORITY) {
    thread_id thread = spawn_thread(func, "kernel test", priority, data);
    EXPECT_GT(thread, 0);
    EXPECT_EQ(resume_thread(thread), B_OK);
    return thread;
}

status_t ExitValue(thread_id thread) {
    status_t value = B_ERROR;
    EXPECT_EQ(wait_for_thread(thread, &value), B_OK);
    return value;
}

bigtime_t CpuTime(thread_id thread) {
    thread_info info;
    EXPECT_EQ(get_thread_info(thread, &info), B_OK);
    return info.cpu_time;
}

// Whether a thread started from the calling one may have round-robin scheduling.
bool RoundRobinAllowed() {
    bool allowed = false;
    std::thread probe([&] {
        sched_param param{};
        param.sched_priority = sched_get_priority_min(SCHED_RR);
        allowed = pthread_setschedparam(pthread_self(), SCHED_RR, &param) == 0;
    });
    probe.join();
    return allowed;
}

// Takes the right to real-time scheduling from the calling thread alone.
void DropNiceCapability() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    ASSERT_EQ(syscall(SYS_capget, &header, data), 0);
    data[CAP_SYS_NICE / 32].effective &= ~(1u << (CAP_SYS_NICE % 32));
    ASSERT_EQ(syscall(SYS_capset, &header, data), 0);
}

}  // namespace

TEST(ThreadLife, DoesNotRunBeforeResume) {
    std::atomic<bool> ran{false};
    thread_id thread = spawn_thread(SetFlag, "suspended", B_NORMAL_PRIORITY, &ran);
    ASSERT_GT(thread, 0);
    snooze(50000);
    EXPECT_FALSE(ran);
    ASSERT_EQ(resume_thread(thread), B_OK);
    EXPECT_EQ(ExitValue(thread), 0);
    EXPECT_TRUE(ran);
}

TEST(ThreadLife, ResumingARunningThreadIsRefused) {
    thread_id thread = StartThread(SleepUntilStopped, nullptr);
    EXPECT_EQ(resume_thread(thread), B_NOT_ALLOWED);
    request_thread_stop(thread);
    ExitValue(thread);
}

TEST(ThreadLife, WaitGivesTheExitValue) {
    EXPECT_EQ(ExitValue(StartThread(ReturnData, AsData(1234))), 1234);
    EXPECT_EQ(ExitValue(StartThread(ReturnData, AsData(-7))), -7);
    EXPECT_EQ(wait_for_thread(StartThread(ReturnData, AsData(3)), nullptr), B_OK);
}

TEST(ThreadLife, WaitResumesASuspendedThread) {
    thread_id thread = spawn_thread(ReturnData, "never resumed", B_NORMAL_PRIORITY, AsData(9));
    ASSERT_GT(thread, 0);
    EXPECT_EQ(ExitValue(thread), 9);
}

TEST(ThreadLife, WaitForgetsTheThread) {
    thread_id thread = StartThread(ReturnData, AsData(1));
    ExitValue(thread);
    thread_info info;
    EXPECT_EQ(wait_for_thread(thread, nullptr), B_BAD_THREAD_ID);
    EXPECT_EQ(get_thread_info(thread, &info), B_BAD_THREAD_ID);
    EXPECT_EQ(resume_thread(thread), B_BAD_THREAD_ID);
    EXPECT_EQ(request_thread_stop(thread), B_BAD_THREAD_ID);
}

TEST(ThreadLife, UnknownIdsAndBadArgumentsAreRejected) {
    thread_info info;
    for (thread_id thread : {0, -5, INT32_MAX}) {
        EXPECT_EQ(wait_for_thread(thread, nullptr), B_BAD_THREAD_ID);
        EXPECT_EQ(resume_thread(thread), B_BAD_THREAD_ID);
        EXPECT_EQ(request_thread_stop(thread), B_BAD_THREAD_ID);
        EXPECT_EQ(get_thread_info(thread, &info), B_BAD_THREAD_ID);
    }
    EXPECT_EQ(spawn_thread(nullptr, "no function", B_NORMAL_PRIORITY, nullptr), B_BAD_VALUE);
    EXPECT_EQ(get_thread_info(find_thread(nullptr), nullptr), B_BAD_VALUE);
}

TEST(ThreadLife, WaitingOnItselfIsRefused) {
    auto waitOnSelf = [](void*) -> int32 { return wait_for_thread(find_thread(nullptr), nullptr); };
    EXPECT_EQ(ExitValue(StartThread(waitOnSelf, nullptr)), B_NOT_ALLOWED);
}

TEST(ThreadLife, ThreadsNotSpawnedHereAreKnownUntilTheyEnd) {
    std::atomic<thread_id> foreign{0};
    std::atomic<bool> release{false};
    std::thread other([&] {
        foreign = find_thread(nullptr);
        EXPECT_EQ(find_thread(nullptr), foreign.load());
        while (!release) snooze(1000);
    });
    while (foreign == 0) snooze(1000);
    thread_info info;
    EXPECT_EQ(get_thread_info(foreign, &info), B_OK);
    EXPECT_EQ(info.priority, B_NORMAL_PRIORITY);
    EXPECT_EQ(wait_for_thread(foreign, nullptr), B_NOT_ALLOWED);
    EXPECT_FALSE(thread_stop_requested());
    release = true;
    other.join();
    EXPECT_EQ(get_thread_info(foreign, &info), B_BAD_THREAD_ID);
}

TEST(ThreadConcurrency, OnlyOneWaiterSucceeds) {
    thread_id thread = StartThread(SleepUntilStopped, nullptr);
    std::atomic<int> succeeded{0};
    std::atomic<int> refused{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; i++) {
        waiters.emplace_back([&] {
            status_t status = wait_for_thread(thread, nullptr);
            (status == B_OK ? succeeded : refused)++;
            EXPECT_TRUE(status == B_OK || status == B_BAD_THREAD_ID) << status;
        });
    }
    // The one waiter holds it while the others give up; the stop must still reach it.
    while (refused < 3) snooze(1000);
    EXPECT_EQ(request_thread_stop(thread), B_OK);
    for (auto& waiter : waiters) waiter.join();
    EXPECT_EQ(succeeded, 1);
}

TEST(ThreadConcurrency, IdsAreUniqueAcrossSpawners) {
    constexpr int kSpawners = 4;
    constexpr int kEach = 50;
    std::vector<std::vector<thread_id>> ids(kSpawners);
    std::vector<std::thread> spawners;
    for (int s = 0; s < kSpawners; s++) {
        spawners.emplace_back([&, s] {
            for (int i = 0; i < kEach; i++) ids[s].push_back(StartThread(ReturnData, AsData(i)));
            for (int i = 0; i < kEach; i++) EXPECT_EQ(ExitValue(ids[s][i]), i);
        });
    }
    for (auto& spawner : spawners) spawner.join();
    std::set<thread_id> unique;
    for (const auto& list : ids) unique.insert(list.begin(), list.end());
    EXPECT_EQ(unique.size(), size_t(kSpawners * kEach));
    EXPECT_GT(*unique.begin(), 0);
}

TEST(ThreadStop, ReachesARunningThread) {
    thread_id thread = StartThread(SleepUntilStopped, nullptr);
    snooze(20000);
    thread_info info;
    EXPECT_EQ(get_thread_info(thread, &info), B_OK);
    EXPECT_EQ(request_thread_stop(thread), B_OK);
    EXPECT_GT(ExitValue(thread), 0);
}

TEST(ThreadStop, RequestedBeforeResumeIsSeenAtOnce) {
    thread_id thread = spawn_thread(SleepUntilStopped, "stopped early", B_NORMAL_PRIORITY, nullptr);
    ASSERT_EQ(request_thread_stop(thread), B_OK);
    ASSERT_EQ(resume_thread(thread), B_OK);
    EXPECT_EQ(ExitValue(thread), 0);
}

TEST(ThreadIdentity, FindThreadGivesTheCallersId) {
    std::atomic<thread_id> seen{0};
    thread_id thread = StartThread(ReportOwnId, &seen);
    ExitValue(thread);
    EXPECT_EQ(seen, thread);
    thread_id self = find_thread(nullptr);
    EXPECT_GT(self, 0);
    EXPECT_EQ(find_thread(nullptr), self);
}

TEST(ThreadIdentity, FindsTheLowestIdOfAName) {
    const char* name = "kernel test: named twice";
    thread_id first = spawn_thread(ReturnData, name, B_NORMAL_PRIORITY, nullptr);
    thread_id second = spawn_thread(ReturnData, name, B_NORMAL_PRIORITY, nullptr);
    EXPECT_LT(first, second);
    EXPECT_EQ(find_thread(name), first);
    ExitValue(first);
    EXPECT_EQ(find_thread(name), second);
    ExitValue(second);
    EXPECT_EQ(find_thread(name), B_NAME_NOT_FOUND);
}

TEST(ThreadIdentity, LongNamesAreCutOnlyForTheOs) {
    struct Case {
        const char* name;
        const char* osName;
    };
    // "é" spans bytes 14 and 15, so the OS name stops before it.
    for (Case c : {Case{"a rather long name for a thread", "a rather long n"},
                   Case{"abcdefghijklmn\xc3\xa9xyz", "abcdefghijklmn"}, Case{"short", "short"}}) {
        std::string osName;
        thread_id thread = spawn_thread(ReportOsName, c.name, B_NORMAL_PRIORITY, &osName);
        thread_info info;
        ASSERT_EQ(get_thread_info(thread, &info), B_OK);
        EXPECT_EQ(info.name, c.name);
        ExitValue(thread);
        EXPECT_EQ(osName, c.osName);
    }
}

TEST(ThreadInfo, ReportsPriorityClampedAndNameOrEmpty) {
    struct Case {
        int32 asked;
        int32 kept;
    };
    for (Case c :
         {Case{B_LOW_PRIORITY, B_LOW_PRIORITY}, Case{-3, 0}, Case{500, B_REAL_TIME_PRIORITY}}) {
        thread_id thread = spawn_thread(ReturnData, nullptr, c.asked, nullptr);
        thread_info info;
        ASSERT_EQ(get_thread_info(thread, &info), B_OK);
        EXPECT_EQ(info.thread, thread);
        EXPECT_EQ(info.priority, c.kept);
        EXPECT_EQ(info.name, "");
        ExitValue(thread);
    }
}

TEST(ThreadInfo, CpuTimeGrowsWhileSpinningAndNotWhileSleeping) {
    thread_id spinner = StartThread(SpinUntilStopped, nullptr);
    thread_id sleeper = StartThread(SleepUntilStopped, nullptr);
    bigtime_t start = CpuTime(spinner);
    bigtime_t deadline = system_time() + 10000000;
    // The machine may be busy; only the growth matters, not how fast it comes.
    while (CpuTime(spinner) < start + 50000 && system_time() < deadline) snooze(5000);
    EXPECT_GE(CpuTime(spinner), start + 50000);
    EXPECT_LT(CpuTime(sleeper), 30000);
    request_thread_stop(spinner);
    request_thread_stop(sleeper);
    ExitValue(spinner);
    ExitValue(sleeper);
}

TEST(ThreadInfo, CpuTimeOutlivesTheThread) {
    struct Spin {
        std::atomic<pid_t> tid{0};
    } spin;
    auto spin30ms = [](void* data) -> int32 {
        static_cast<Spin*>(data)->tid = pid_t(syscall(SYS_gettid));
        timespec used{};
        while (used.tv_nsec < 30000000 && used.tv_sec == 0) {
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
        }
        return 0;
    };
    thread_id thread = StartThread(spin30ms, &spin);
    while (spin.tid == 0) snooze(1000);
    // Gone from the OS, but not yet waited for.
    std::string task = "/proc/self/task/" + std::to_string(spin.tid.load());
    bigtime_t deadline = system_time() + 10000000;
    while (access(task.c_str(), F_OK) == 0 && system_time() < deadline) snooze(1000);
    ASSERT_NE(access(task.c_str(), F_OK), 0);
    bigtime_t used = CpuTime(thread);
    EXPECT_GE(used, 30000);
    EXPECT_LT(used, 5000000);
    ExitValue(thread);
}

TEST(ThreadPriority, AboveNormalRunsWhetherOrNotItIsGranted) {
    auto check = [] {
        int expected = RoundRobinAllowed() ? SCHED_RR : SCHED_OTHER;
        EXPECT_EQ(ExitValue(StartThread(ReportPolicy, nullptr, B_DISPLAY_PRIORITY)), expected);
        int realTime = expected == SCHED_RR ? SCHED_FIFO : SCHED_OTHER;
        EXPECT_EQ(ExitValue(StartThread(ReportPolicy, nullptr, B_REAL_TIME_PRIORITY)), realTime);
        EXPECT_EQ(ExitValue(StartThread(ReportPolicy, nullptr, B_NORMAL_PRIORITY)), SCHED_OTHER);
    };
    check();
    std::thread unprivileged([&] {
        // Still granted where RLIMIT_RTPRIO allows it, which check() expects too.
        DropNiceCapability();
        check();
    });
    unprivileged.join();
}

TEST(ThreadPriority, NormalThreadsOfARealTimeThreadRunNormally) {
    auto spawnNormal = [](void*) -> int32 {
        return ExitValue(StartThread(ReportPolicy, nullptr, B_NORMAL_PRIORITY));
    };
    EXPECT_EQ(ExitValue(StartThread(spawnNormal, nullptr, B_DISPLAY_PRIORITY)), SCHED_OTHER);
}
