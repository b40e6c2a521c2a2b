#include "platform/kernel/thread_record.h"

#include <sched.h>

#include <algorithm>
#include <cerrno>

namespace {

// The OS keeps 15 bytes of a name and a NUL.
constexpr size_t kOsNameBytes = 15;

thread_local ThreadRecord* tCurrent = nullptr;

std::string OsName(const std::string& name) {
    size_t end = std::min(name.size(), kOsNameBytes);
    // A cut inside a UTF-8 sequence would leave an invalid name.
    while (end > 0 && end < name.size() && (uint8(name[end]) & 0xC0) == 0x80) end--;
    return name.substr(0, end);
}

std::string OwnOsName() {
    char name[kOsNameBytes + 1] = {};
    pthread_getname_np(pthread_self(), name, sizeof(name));
    return name;
}

// Maps the priorities above normal onto the whole range of the policy.
int OsPriority(int32 priority, int policy) {
    int low = sched_get_priority_min(policy);
    int high = sched_get_priority_max(policy);
    int32 steps = B_REAL_TIME_PRIORITY - B_NORMAL_PRIORITY - 1;
    return low + (priority - B_NORMAL_PRIORITY - 1) * (high - low) / steps;
}

}  // namespace

ThreadRecord::ThreadRecord(thread_id id, std::string name, int32 priority, thread_func func,
                           void* data)
    : fId(id),
      fName(std::move(name)),
      fPriority(priority),
      fFunc(func),
      fData(data),
      fResumed(false) {}

ThreadRecord::ThreadRecord(thread_id id)
    : fId(id),
      fName(OwnOsName()),
      fPriority(B_NORMAL_PRIORITY),
      fFunc(nullptr),
      fData(nullptr),
      fHandle(pthread_self()),
      fResumed(true) {
    pthread_getcpuclockid(fHandle, &fClock);
}

status_t ThreadRecord::Start() {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    // Threads spawned by a real-time thread get only what they ask for.
    pthread_attr_setinheritsched(&attr, PTHREAD_EXPLICIT_SCHED);
    pthread_attr_setschedpolicy(&attr, SCHED_OTHER);
    sched_param normal{};
    pthread_attr_setschedparam(&attr, &normal);
    auto* self = new std::shared_ptr<ThreadRecord>(shared_from_this());
    int error = pthread_create(&fHandle, &attr, Entry, self);
    pthread_attr_destroy(&attr);
    if (error != 0) {
        delete self;
        return error == EAGAIN ? B_NO_MEMORY : B_ERROR;
    }
    pthread_getcpuclockid(fHandle, &fClock);
    return B_OK;
}

bool ThreadRecord::Resume() {
    std::lock_guard lock(fGateLock);
    if (fResumed) return false;
    fResumed = true;
    fGate.notify_one();
    return true;
}

int32 ThreadRecord::Join() {
    Resume();
    pthread_join(fHandle, nullptr);
    return fExitValue;
}

void ThreadRecord::GetInfo(thread_info* info) const {
    info->thread = fId;
    info->name = fName;
    info->priority = fPriority;
    info->cpu_time = CpuTime();
}

ThreadRecord* ThreadRecord::Current() {
    return tCurrent;
}

void ThreadRecord::SetCurrent(ThreadRecord* record) {
    tCurrent = record;
}

void* ThreadRecord::Entry(void* arg) {
    std::unique_ptr<std::shared_ptr<ThreadRecord>> self(
        static_cast<std::shared_ptr<ThreadRecord>*>(arg));
    (*self)->Run();
    return nullptr;
}

void ThreadRecord::Run() {
    SetCurrent(this);
    pthread_setname_np(pthread_self(), OsName(fName).c_str());
    ApplyPriority();
    WaitForResume();
    fExitValue = fFunc(fData);
    fFinalCpuTime = CpuTime();
    fEnded = true;
}

void ThreadRecord::WaitForResume() {
    std::unique_lock lock(fGateLock);
    fGate.wait(lock, [this] { return fResumed; });
}

void ThreadRecord::ApplyPriority() const {
    if (fPriority <= B_NORMAL_PRIORITY) return;
    int policy = fPriority >= B_REAL_TIME_DISPLAY_PRIORITY ? SCHED_FIFO : SCHED_RR;
    sched_param param{};
    param.sched_priority = OsPriority(fPriority, policy);
    // Refused without the permission; the thread then keeps normal scheduling.
    pthread_setschedparam(pthread_self(), policy, &param);
}

bigtime_t ThreadRecord::CpuTime() const {
    timespec used;
    if (!fEnded && clock_gettime(fClock, &used) == 0) {
        return bigtime_t(used.tv_sec) * 1000000 + used.tv_nsec / 1000;
    }
    // The clock goes away with the thread; its total was kept as it ended.
    return fFinalCpuTime;
}
