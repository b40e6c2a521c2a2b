#include "platform/kernel/thread_table.h"

namespace {

// A thread met on first use leaves the table when it ends.
struct Adoption {
    thread_id id = 0;
    ~Adoption() {
        if (id <= 0) return;
        ThreadRecord::SetCurrent(nullptr);
        ThreadTable::Default().Remove(id);
    }
};

thread_local Adoption tAdoption;

}  // namespace

ThreadTable& ThreadTable::Default() {
    // Never destroyed: threads may still use it while the process exits.
    static ThreadTable* table = new ThreadTable;
    return *table;
}

void ThreadTable::Add(std::shared_ptr<ThreadRecord> record) {
    std::lock_guard lock(fLock);
    thread_id id = record->Id();
    fThreads.emplace(id, std::move(record));
}

std::shared_ptr<ThreadRecord> ThreadTable::Find(thread_id id) const {
    std::lock_guard lock(fLock);
    auto found = fThreads.find(id);
    return found == fThreads.end() ? nullptr : found->second;
}

thread_id ThreadTable::FindByName(std::string_view name) const {
    std::lock_guard lock(fLock);
    for (const auto& [id, record] : fThreads) {
        if (record->Name() == name) return id;
    }
    return B_NAME_NOT_FOUND;
}

status_t ThreadTable::Claim(thread_id id, std::shared_ptr<ThreadRecord>* record) {
    std::lock_guard lock(fLock);
    auto found = fThreads.find(id);
    if (found == fThreads.end()) return B_BAD_THREAD_ID;
    if (!found->second->Joinable() || found->second.get() == ThreadRecord::Current()) {
        return B_NOT_ALLOWED;
    }
    if (fClaimed.count(id) > 0) return B_BAD_THREAD_ID;
    fClaimed.insert(id);
    *record = found->second;
    return B_OK;
}

void ThreadTable::Remove(thread_id id) {
    std::lock_guard lock(fLock);
    fThreads.erase(id);
    fClaimed.erase(id);
}

thread_id ThreadTable::CurrentId() {
    if (ThreadRecord* current = ThreadRecord::Current()) return current->Id();
    auto record = std::make_shared<ThreadRecord>(NextId());
    ThreadRecord::SetCurrent(record.get());
    tAdoption.id = record->Id();
    Add(std::move(record));
    return tAdoption.id;
}
