// Tells a thread that withdrew something from the sound thread when that thread has let go of it.
#pragma once

#include <atomic>

#include "message/support_defs.h"

// The sound thread enters and leaves; any other thread waits. Whoever withdraws stores the
// withdrawal with sequential consistency first, so the sound thread either sees it on entering
// or is seen inside.
class UseCounter {
  public:
    // The sound thread, before it looks at what may be withdrawn.
    void Enter() { fCount.fetch_add(1); }
    // The sound thread, once it no longer touches it.
    void Leave() { fCount.fetch_add(1, std::memory_order_release); }
    // Any thread but the sound thread. Returns once the sound thread is not inside, having
    // waited for at most the one visit in progress.
    void WaitUntilOutside() const;

  private:
    // Odd while the sound thread is inside.
    std::atomic<uint64> fCount{0};
};
