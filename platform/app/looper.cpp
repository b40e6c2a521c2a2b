#include "platform/app/looper.h"

#include <algorithm>

#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"

BLooper::BLooper(const char* name) : BLooper(name, Serving::kOwnThread) {}

BLooper::BLooper(const char* name, Serving serving)
    : BHandler(name), fServedByGui(serving == Serving::kGuiThread), fLock(name) {
    fToken = looper_registry::Add(this);
    AddHandler(this);
}

BLooper::~BLooper() {
    Unregister();
    if (fThread.joinable()) {
        if (fThread.get_id() == std::this_thread::get_id())
            fThread.detach();
        else
            fThread.join();
    }
    for (BHandler* handler : fHandlers) handler->fLooper = nullptr;
}

void BLooper::Unregister() {
    if (fToken) looper_registry::Remove(fToken);
    fToken = 0;
}

status_t BLooper::PostMessage(uint32 command) {
    BMessage message(command);
    return PostMessage(&message);
}

status_t BLooper::PostMessage(const BMessage* message, BHandler* handler) {
    if (!message) return B_BAD_VALUE;
    {
        std::lock_guard guard(fQueueLock);
        if (fQuitting) return B_BAD_VALUE;
        fQueue.push_back({*message, handler ? handler : this});
    }
    WakeUp();
    return B_OK;
}

void BLooper::WakeUp() {
    if (!fRunning) return;
    if (fServedByGui)
        gui_thread::WakeLooper(fToken);
    else
        fQueued.notify_one();
}

thread_id BLooper::Run() {
    if (fRunning.exchange(true)) return B_ERROR;
    if (fServedByGui) {
        gui_thread::WakeLooper(fToken);
        return 0;
    }
    fThread = std::thread([this] { OwnThreadLoop(); });
    return 1;
}

void BLooper::OwnThreadLoop() {
    while (!fQuitting) {
        {
            std::unique_lock guard(fQueueLock);
            fQueued.wait(guard, [this] { return fQuitting || !fQueue.empty(); });
        }
        DispatchPending();
    }
    // Quit from another thread deletes us itself, after joining this thread.
    if (fDeleteWhenUnwound) delete this;
}

bool BLooper::PopFront(Pending* out) {
    std::lock_guard guard(fQueueLock);
    if (fQueue.empty() || fQuitting) return false;
    *out = std::move(fQueue.front());
    fQueue.pop_front();
    return true;
}

bool BLooper::DispatchPending() {
    Pending pending{BMessage(), nullptr};
    // A modal loop below us on this thread holds the lock: its caller must not be entered
    // again, so the messages wait until it unwinds.
    if (fServedByGui && fLock.IsLocked()) return false;
    while (!fQuitting) {
        if (fLock.LockWithTimeout(fServedByGui ? 0 : B_INFINITE_TIMEOUT) != B_OK) return false;
        if (!PopFront(&pending)) {
            fLock.Unlock();
            return true;
        }
        Dispatch(pending);
        if (fDeleteWhenUnwound && fDispatchDepth == 0) {
            ReleaseLocks();
            if (fServedByGui) delete this;
            return true;
        }
        fLock.Unlock();
    }
    return true;
}

void BLooper::Dispatch(Pending& pending) {
    if (!HasHandler(pending.handler)) return;
    BMessage* previous = fCurrent;
    fCurrent = &pending.message;
    ++fDispatchDepth;
    DispatchMessage(&pending.message, pending.handler);
    --fDispatchDepth;
    fCurrent = previous;
}

void BLooper::DispatchMessage(BMessage* message, BHandler* handler) {
    if (handler == this && message->what == B_QUIT_REQUESTED) {
        if (QuitRequested()) Quit();
        return;
    }
    handler->MessageReceived(message);
}

void BLooper::Quit() {
    if (fServedByGui && gui_thread::Started() && !gui_thread::IsGuiThread()) {
        const int32 token = fToken;
        ReleaseLocks();
        gui_thread::Post([token] {
            if (BLooper* looper = looper_registry::GuiLooper(token)) looper->Quit();
        });
        return;
    }
    {
        std::lock_guard guard(fQueueLock);
        fQuitting = true;
        fQueue.clear();
    }
    fQueued.notify_one();
    Unregister();
    const bool ownThread = fThread.joinable() && fThread.get_id() == std::this_thread::get_id();
    if (fDispatchDepth > 0 || ownThread) {
        fDeleteWhenUnwound = true;
        return;
    }
    ReleaseLocks();
    delete this;
}

void BLooper::ReleaseLocks() {
    while (fLock.IsLocked()) fLock.Unlock();
}

void BLooper::AddHandler(BHandler* handler) {
    if (!handler || HasHandler(handler)) return;
    if (handler->fLooper && handler->fLooper != this) handler->fLooper->RemoveHandler(handler);
    handler->fLooper = this;
    fHandlers.push_back(handler);
}

bool BLooper::RemoveHandler(BHandler* handler) {
    auto found = std::find(fHandlers.begin(), fHandlers.end(), handler);
    if (found == fHandlers.end() || handler == this) return false;
    fHandlers.erase(found);
    handler->fLooper = nullptr;
    std::lock_guard guard(fQueueLock);
    std::erase_if(fQueue, [handler](const Pending& p) { return p.handler == handler; });
    return true;
}

BHandler* BLooper::HandlerAt(int32 index) const {
    return index >= 0 && index < CountHandlers() ? fHandlers[index] : nullptr;
}

bool BLooper::HasHandler(const BHandler* handler) const {
    return std::find(fHandlers.begin(), fHandlers.end(), handler) != fHandlers.end();
}
