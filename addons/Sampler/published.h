// One object that writers replace while real-time readers use it, without a lock on the
// reading side. A replaced object is freed by a later writer once no reader can hold it.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "engine/song.h"

template <class T>
class Published {
  public:
    explicit Published(std::unique_ptr<T> first) : fCurrent(first.release()) {}
    // Nobody reads any more.
    ~Published() { delete fCurrent.load(); }
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    // Reading threads, in pairs around every use of what Enter returns.
    const T* Enter() {
        fReaders.fetch_add(1);
        return fCurrent.load();
    }
    void Leave() { fReaders.fetch_sub(1); }

    // Writers, one at a time. Swapped under the song lock, so no step runs with the old one;
    // a reader that entered before the swap keeps the old one until a later Publish finds
    // no reader inside.
    void Publish(std::unique_ptr<T> next) {
        if (lock != nullptr) lock->Lock();
        T* old = fCurrent.exchange(next.release());
        if (lock != nullptr) lock->Unlock();
        fRetired.emplace_back(old);
        if (fReaders.load() == 0) fRetired.clear();
    }

  private:
    std::atomic<T*> fCurrent;
    std::atomic<int32> fReaders{0};
    std::vector<std::unique_ptr<T>> fRetired;
};
