#include "platform/interface/invoker.h"

#include "platform/kernel/os.h"

BInvoker::BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper)
    : fMessage(message) {
    SetTarget(handler, looper);
}

BInvoker::BInvoker(BMessage* message, BMessenger target) : fMessage(message), fTarget(target) {}

BInvoker::~BInvoker() {
    delete fMessage;
}

status_t BInvoker::SetMessage(BMessage* message) {
    if (message == fMessage) return B_OK;
    delete fMessage;
    fMessage = message;
    return B_OK;
}

status_t BInvoker::SetTarget(const BHandler* handler, const BLooper* looper) {
    status_t result = B_OK;
    fTarget = handler || looper ? BMessenger(handler, looper, &result) : BMessenger();
    return result;
}

status_t BInvoker::SetTarget(BMessenger messenger) {
    fTarget = messenger;
    return B_OK;
}

status_t BInvoker::Invoke(BMessage* message) {
    return SendCopy(message, this);
}

status_t BInvoker::SendCopy(const BMessage* message, const void* source,
                            void (*addFields)(BMessage*, const void*)) {
    const BMessage* original = message ? message : fMessage;
    if (!original) return B_BAD_VALUE;
    if (!fTarget.IsValid()) return B_BAD_PORT_ID;
    BMessage copy(*original);
    copy.AddInt64("when", system_time());
    copy.AddPointer("source", source);
    if (addFields) addFields(&copy, source);
    return fTarget.SendMessage(&copy);
}
