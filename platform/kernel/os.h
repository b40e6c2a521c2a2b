// Threads and time, in the style the program was written against.
#pragma once

#include <string>

#include "message/support_defs.h"

using thread_id = int32;
using thread_func = int32 (*)(void*);

constexpr bigtime_t B_INFINITE_TIMEOUT = INT64_MAX;

// Above normal is asked of the OS as real-time scheduling and silently dropped when refused.
enum : int32 {
    B_LOW_PRIORITY = 5,
    B_NORMAL_PRIORITY = 10,
    B_DISPLAY_PRIORITY = 15,
    B_URGENT_DISPLAY_PRIORITY = 20,
    B_REAL_TIME_DISPLAY_PRIORITY = 100,
    B_URGENT_PRIORITY = 110,
    B_REAL_TIME_PRIORITY = 120,
};

struct thread_info {
    thread_id thread = 0;
    std::string name;  // whole, though the OS sees only its first 15 bytes
    int32 priority = 0;
    bigtime_t cpu_time = 0;  // microseconds run so far, or in all once it has ended
};

// Any thread. The new thread waits for resume_thread(); a negative result is an error.
// Priorities are clamped to 0..B_REAL_TIME_PRIORITY.
thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data);
// Any thread. B_NOT_ALLOWED when it was already running.
status_t resume_thread(thread_id thread);
// Any thread but the one waited for. Resumes a suspended thread, joins it and forgets its id;
// only one waiter succeeds. Every spawned thread must be waited for once.
status_t wait_for_thread(thread_id thread, status_t* exitValue);
// Any thread. The thread sees it through thread_stop_requested().
status_t request_thread_stop(thread_id thread);
// The thread asking about itself; false in threads not spawned here.
bool thread_stop_requested();
// Any thread. nullptr gives the caller's id (threads not spawned here get one on first use),
// a name the lowest id of that name, or B_NAME_NOT_FOUND.
thread_id find_thread(const char* name);
// Any thread, about any thread, running or not.
status_t get_thread_info(thread_id thread, thread_info* info);

// Any thread. Sleeps the whole time even when signals arrive.
void snooze(bigtime_t microseconds);
// Any thread. Microseconds on a clock that never goes back.
bigtime_t system_time();
