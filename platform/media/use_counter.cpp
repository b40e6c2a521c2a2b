#include "platform/media/use_counter.h"

#include "platform/kernel/os.h"

namespace {

// A visit is one routine call, far below a buffer of sound.
constexpr bigtime_t kPollMicros = 200;

}  // namespace

void UseCounter::WaitUntilOutside() const {
    uint64 seen = fCount.load();
    if (seen % 2 == 0) return;
    while (fCount.load(std::memory_order_acquire) == seen) snooze(kPollMicros);
}
