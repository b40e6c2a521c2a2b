#include "tests/engine/lock_counter.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>

namespace {

std::atomic<bool> counting{false};
std::atomic<size_t> locks{0};

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// Defined in the test program, these stand in front of the C library's for every library of
// the process, libvelloran and the add-ons included.
extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) {
    static auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_lock");
    if (counting) locks++;
    return next(mutex);
}

extern "C" int pthread_mutex_trylock(pthread_mutex_t* mutex) {
    static auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_trylock");
    if (counting) locks++;
    return next(mutex);
}

LockCounter::LockCounter() {
    locks = 0;
    counting = true;
}

LockCounter::~LockCounter() {
    counting = false;
}

size_t LockCounter::Count() const {
    return locks;
}
