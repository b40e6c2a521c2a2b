// A fixed-size queue that any number of threads may push to and pop from without locking or
// allocating: what a sound or player thread may use to talk to other threads.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// Any thread. Push fails when the queue is full; Pop fails when it is empty.
template <typename T>
class BoundedQueue {
  public:
    // capacity is rounded up to a power of two; the storage is allocated here, once.
    explicit BoundedQueue(size_t capacity);
    BoundedQueue(const BoundedQueue&) = delete;
    BoundedQueue& operator=(const BoundedQueue&) = delete;

    bool Push(const T& value);
    bool Pop(T* value);

  private:
    struct Cell {
        std::atomic<size_t> sequence;
        T value;
    };

    static size_t RoundUp(size_t n);

    size_t fMask;
    std::unique_ptr<Cell[]> fCells;
    alignas(64) std::atomic<size_t> fEnqueue{0};
    alignas(64) std::atomic<size_t> fDequeue{0};
};

template <typename T>
size_t BoundedQueue<T>::RoundUp(size_t n) {
    size_t size = 2;
    while (size < n) size *= 2;
    return size;
}

template <typename T>
BoundedQueue<T>::BoundedQueue(size_t capacity)
    : fMask(RoundUp(capacity) - 1), fCells(new Cell[fMask + 1]) {
    for (size_t i = 0; i <= fMask; i++) fCells[i].sequence.store(i, std::memory_order_relaxed);
}

// Each cell's sequence says whose turn it is: a pusher at position p waits for p, a popper
// for p + 1, so neither ever blocks the other; a full or empty queue just fails.
template <typename T>
bool BoundedQueue<T>::Push(const T& value) {
    size_t pos = fEnqueue.load(std::memory_order_relaxed);
    for (;;) {
        Cell& cell = fCells[pos & fMask];
        size_t seq = cell.sequence.load(std::memory_order_acquire);
        auto diff = intptr_t(seq) - intptr_t(pos);
        if (diff == 0) {
            if (fEnqueue.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
                cell.value = value;
                cell.sequence.store(pos + 1, std::memory_order_release);
                return true;
            }
        } else if (diff < 0) {
            return false;
        } else {
            pos = fEnqueue.load(std::memory_order_relaxed);
        }
    }
}

template <typename T>
bool BoundedQueue<T>::Pop(T* value) {
    size_t pos = fDequeue.load(std::memory_order_relaxed);
    for (;;) {
        Cell& cell = fCells[pos & fMask];
        size_t seq = cell.sequence.load(std::memory_order_acquire);
        auto diff = intptr_t(seq) - intptr_t(pos + 1);
        if (diff == 0) {
            if (fDequeue.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
                *value = cell.value;
                cell.sequence.store(pos + fMask + 1, std::memory_order_release);
                return true;
            }
        } else if (diff < 0) {
            return false;
        } else {
            pos = fDequeue.load(std::memory_order_relaxed);
        }
    }
}
