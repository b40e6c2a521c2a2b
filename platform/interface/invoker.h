// Something that sends a message to a target when invoked: the base of controls.
#pragma once

#include "platform/app/messenger.h"

// The thread that holds the owner's window (any thread for an invoker with no window).
class BInvoker {
  public:
    BInvoker() = default;
    // Takes the message.
    BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = nullptr);
    BInvoker(BMessage* message, BMessenger target);
    virtual ~BInvoker();
    BInvoker(const BInvoker&) = delete;
    BInvoker& operator=(const BInvoker&) = delete;

    // Takes the message; null clears it.
    virtual status_t SetMessage(BMessage* message);
    BMessage* Message() const { return fMessage; }
    uint32 Command() const { return fMessage ? fMessage->what : 0; }

    virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = nullptr);
    virtual status_t SetTarget(BMessenger messenger);
    bool IsTargetLocal() const { return true; }
    BHandler* Target(BLooper** looper = nullptr) const { return fTarget.Target(looper); }
    BMessenger Messenger() const { return fTarget; }

    // Posts a copy of the message (or of the given one) with "when" and "source".
    // B_BAD_VALUE without a message, B_BAD_PORT_ID without a live target.
    virtual status_t Invoke(BMessage* message = nullptr);

  protected:
    // Adds "when" and "source" to a copy of the message and posts it.
    status_t SendCopy(const BMessage* message, const void* source,
                      void (*addFields)(BMessage*, const void*) = nullptr);

  private:
    BMessage* fMessage = nullptr;
    BMessenger fTarget;
};
