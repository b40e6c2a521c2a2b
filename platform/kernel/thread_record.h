// One thread the kernel services know: spawned here, or met on first use.
#pragma once

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>

#include "platform/kernel/os.h"

// Any thread; what the constructor sets never changes.
class ThreadRecord : public std::enable_shared_from_this<ThreadRecord> {
  public:
    // Spawning thread: a thread Start() creates suspended.
    ThreadRecord(thread_id id, std::string name, int32 priority, thread_func func, void* data);
    // The calling thread, running already and never joined.
    explicit ThreadRecord(thread_id id);

    // Spawning thread, once, with the record held by a shared pointer.
    status_t Start();
    // Any thread; false when it was not suspended.
    bool Resume();
    // Any thread but this one, once, after Start() succeeded. Resumes it first.
    int32 Join();
    // Any thread.
    void RequestStop() { fStopRequested = true; }
    // Any thread.
    bool StopRequested() const { return fStopRequested; }
    // Any thread.
    bool Joinable() const { return fFunc != nullptr; }
    // Any thread.
    thread_id Id() const { return fId; }
    // Any thread.
    const std::string& Name() const { return fName; }
    // Any thread.
    void GetInfo(thread_info* info) const;

    // Any thread: its own record, or nullptr.
    static ThreadRecord* Current();
    // Any thread, for itself.
    static void SetCurrent(ThreadRecord* record);

  private:
    static void* Entry(void* arg);
    void Run();
    void WaitForResume();
    void ApplyPriority() const;
    bigtime_t CpuTime() const;

    const thread_id fId;
    const std::string fName;
    const int32 fPriority;
    const thread_func fFunc;
    void* const fData;
    pthread_t fHandle{};
    clockid_t fClock{};

    std::mutex fGateLock;
    std::condition_variable fGate;
    bool fResumed;

    std::atomic<bool> fStopRequested{false};
    std::atomic<bool> fEnded{false};
    std::atomic<bigtime_t> fFinalCpuTime{0};
    int32 fExitValue = 0;  // read only after the join
};
