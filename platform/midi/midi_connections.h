// The one lock for changing connections, and the grace periods that let sprays go without it.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "message/support_defs.h"

class BMidi;

// Any thread. A producer's consumer list is replaced whole under Lock() and the old one
// retired; it is freed once every spray that might still read it has ended.
class MidiConnections {
  public:
    using ConsumerList = std::vector<BMidi*>;

    // Any thread.
    static MidiConnections& Default();

    // Any thread; never the sound callback. Guards every list change and back-link.
    std::mutex& Lock() { return fLock; }
    // A thread holding Lock().
    void Retire(const ConsumerList* list);
    // A thread not holding Lock(). Returns once no spray can see a retired list; inside a
    // spray it returns at once and leaves the lists to a later call.
    void Synchronize();

    // The spraying thread, around its reading of a list; neither locks nor allocates.
    class ReadScope {
      public:
        ReadScope();
        ~ReadScope();
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

      private:
        int32 fEpoch;
    };

  private:
    MidiConnections() = default;
    ~MidiConnections();
    void WaitForReaders(int32 epoch);

    std::mutex fLock;
    std::vector<const ConsumerList*> fRetired;  // guarded by fLock
    // Sprays count themselves in the current epoch; a grace period flips it and waits for
    // each count to drain, so a steady stream of sprays cannot hold it off.
    std::atomic<int32> fEpoch{0};
    std::atomic<int32> fReaders[2] = {0, 0};
    static thread_local int32 sDepth;
};
