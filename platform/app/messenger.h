// An address of a handler in a looper that stays safe to use after the looper has gone.
#pragma once

#include "platform/app/looper.h"

// Any thread.
class BMessenger {
  public:
    BMessenger() = default;
    // The handler must belong to a looper (or be one); otherwise the messenger is invalid.
    explicit BMessenger(const BHandler* handler, const BLooper* looper = nullptr,
                        status_t* result = nullptr);

    bool IsValid() const;
    // Queues a copy; B_BAD_PORT_ID when the looper has gone.
    status_t SendMessage(uint32 command) const;
    status_t SendMessage(const BMessage* message) const;
    // Locks the looper when it still exists. The caller unlocks it.
    bool LockTarget() const;
    BHandler* Target(BLooper** looper) const;
    bool IsTargetLocal() const { return true; }
    bool operator==(const BMessenger& other) const = default;

  private:
    int32 fToken = 0;
    const BHandler* fHandler = nullptr;
};
