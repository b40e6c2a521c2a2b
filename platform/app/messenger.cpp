#include "platform/app/messenger.h"

#include "platform/app/looper_registry.h"

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result) {
    if (!looper && handler) looper = handler->Looper();
    if (!looper) looper = dynamic_cast<const BLooper*>(handler);
    if (looper) {
        fToken = looper->Token();
        fHandler = handler ? handler : looper;
    }
    if (result) *result = looper ? B_OK : B_BAD_VALUE;
}

bool BMessenger::IsValid() const {
    return fToken && looper_registry::With(fToken, [](BLooper*) {});
}

status_t BMessenger::SendMessage(uint32 command) const {
    BMessage message(command);
    return SendMessage(&message);
}

status_t BMessenger::SendMessage(const BMessage* message) const {
    status_t result = B_BAD_PORT_ID;
    looper_registry::With(fToken, [&](BLooper* looper) {
        // The serving thread drops the message if the handler has left the looper by then.
        result = looper->PostMessage(message, const_cast<BHandler*>(fHandler));
    });
    return result;
}

bool BMessenger::LockTarget() const {
    // Locking under the registry lock could deadlock with a looper being deleted; take a
    // timed lock and check again that the looper is still there.
    for (;;) {
        status_t state = B_BAD_PORT_ID;
        looper_registry::With(fToken, [&](BLooper* looper) {
            state = looper->LockWithTimeout(0) == B_OK ? B_OK : B_WOULD_BLOCK;
        });
        if (state != B_WOULD_BLOCK) return state == B_OK;
        snooze(200);
    }
}

BHandler* BMessenger::Target(BLooper** looper) const {
    BHandler* handler = nullptr;
    BLooper* found = nullptr;
    looper_registry::With(fToken, [&](BLooper* l) {
        found = l;
        handler = const_cast<BHandler*>(fHandler);
    });
    if (looper) *looper = found;
    return handler;
}
