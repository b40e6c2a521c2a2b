// Every thread the kernel services know, by id.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>

#include "platform/kernel/thread_record.h"

// Any thread.
class ThreadTable {
  public:
    // Any thread. The one table, alive until the process ends.
    static ThreadTable& Default();

    // Any thread. Ids are positive and never given twice.
    thread_id NextId() { return fNextId++; }
    // Any thread.
    void Add(std::shared_ptr<ThreadRecord> record);
    // Any thread; nullptr when unknown.
    std::shared_ptr<ThreadRecord> Find(thread_id id) const;
    // Any thread; the lowest id with that name, or B_NAME_NOT_FOUND.
    thread_id FindByName(std::string_view name) const;
    // Any thread: the record to join, which no other caller then gets.
    status_t Claim(thread_id id, std::shared_ptr<ThreadRecord>* record);
    // Any thread.
    void Remove(thread_id id);
    // Any thread: its own id, given on first use to threads not spawned here.
    thread_id CurrentId();

  private:
    ThreadTable() = default;

    mutable std::mutex fLock;
    std::map<thread_id, std::shared_ptr<ThreadRecord>> fThreads;
    std::set<thread_id> fClaimed;
    std::atomic<thread_id> fNextId{1};
};
