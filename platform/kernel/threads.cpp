#include <algorithm>

#include "platform/kernel/os.h"
#include "platform/kernel/thread_table.h"

thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data) {
    if (func == nullptr) return B_BAD_VALUE;
    ThreadTable& table = ThreadTable::Default();
    auto record = std::make_shared<ThreadRecord>(
        table.NextId(), name != nullptr ? name : "",
        std::clamp<int32>(priority, 0, B_REAL_TIME_PRIORITY), func, data);
    if (status_t status = record->Start(); status != B_OK) return status;
    thread_id id = record->Id();
    table.Add(std::move(record));
    return id;
}

status_t resume_thread(thread_id thread) {
    auto record = ThreadTable::Default().Find(thread);
    if (record == nullptr) return B_BAD_THREAD_ID;
    return record->Resume() ? B_OK : B_NOT_ALLOWED;
}

status_t wait_for_thread(thread_id thread, status_t* exitValue) {
    ThreadTable& table = ThreadTable::Default();
    std::shared_ptr<ThreadRecord> record;
    if (status_t status = table.Claim(thread, &record); status != B_OK) return status;
    int32 result = record->Join();
    table.Remove(thread);
    if (exitValue != nullptr) *exitValue = result;
    return B_OK;
}

status_t request_thread_stop(thread_id thread) {
    auto record = ThreadTable::Default().Find(thread);
    if (record == nullptr) return B_BAD_THREAD_ID;
    record->RequestStop();
    return B_OK;
}

bool thread_stop_requested() {
    ThreadRecord* current = ThreadRecord::Current();
    return current != nullptr && current->StopRequested();
}

thread_id find_thread(const char* name) {
    ThreadTable& table = ThreadTable::Default();
    return name == nullptr ? table.CurrentId() : table.FindByName(name);
}

status_t get_thread_info(thread_id thread, thread_info* info) {
    if (info == nullptr) return B_BAD_VALUE;
    auto record = ThreadTable::Default().Find(thread);
    if (record == nullptr) return B_BAD_THREAD_ID;
    record->GetInfo(info);
    return B_OK;
}
