// A message queue with handlers, served by its own thread or by the one GUI thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/app/handler.h"
#include "platform/kernel/locker.h"
#include "platform/kernel/os.h"

class BLooper : public BHandler {
  public:
    // Any thread. The looper does nothing until Run().
    explicit BLooper(const char* name = nullptr);
    ~BLooper() override;

    // Any thread. The message is copied; handler null means the looper itself.
    status_t PostMessage(uint32 command);
    status_t PostMessage(const BMessage* message, BHandler* handler = nullptr);

    // The serving thread, under the looper's lock. '_QRQ' to the looper asks QuitRequested
    // and quits; everything else goes to the handler's MessageReceived.
    virtual void DispatchMessage(BMessage* message, BHandler* handler);
    virtual bool QuitRequested() { return true; }
    // The looper's thread or, holding the lock, any thread. Deletes the looper.
    virtual void Quit();
    // Any thread, once. Starts serving the queue.
    virtual thread_id Run();

    // Any thread.
    bool Lock() { return fLock.Lock(); }
    status_t LockWithTimeout(bigtime_t timeout) { return fLock.LockWithTimeout(timeout); }
    void Unlock() { fLock.Unlock(); }
    bool IsLocked() const { return fLock.IsLocked(); }

    // Under the lock.
    void AddHandler(BHandler* handler);
    bool RemoveHandler(BHandler* handler);
    int32 CountHandlers() const { return int32(fHandlers.size()); }
    BHandler* HandlerAt(int32 index) const;
    bool HasHandler(const BHandler* handler) const;

    // The serving thread, while dispatching.
    BMessage* CurrentMessage() const { return fCurrent; }
    // Any thread: the registry token messengers use.
    int32 Token() const { return fToken; }
    bool IsRunning() const { return fRunning; }
    bool ServedByGui() const { return fServedByGui; }
    // The serving thread: dispatch everything queued now. False when a message had to wait
    // because another thread held the lock.
    bool DispatchPending();

  protected:
    enum class Serving { kOwnThread, kGuiThread };
    BLooper(const char* name, Serving serving);
    // Subclasses that delete themselves on the GUI thread call this first.
    void Unregister();
    // The serving thread: whether a dispatch of this looper is in progress below us.
    bool Dispatching() const { return fDispatchDepth > 0; }
    // The serving thread: what CurrentMessage reports while an input hook runs.
    BMessage* SwapCurrentMessage(BMessage* message) {
        BMessage* previous = fCurrent;
        fCurrent = message;
        return previous;
    }

  private:
    struct Pending {
        BMessage message;
        BHandler* handler;
    };
    void WakeUp();
    void OwnThreadLoop();
    bool PopFront(Pending* out);
    void Dispatch(Pending& pending);
    void ReleaseLocks();

    const bool fServedByGui;
    int32 fToken;
    BLocker fLock;
    std::vector<BHandler*> fHandlers;
    std::mutex fQueueLock;
    std::condition_variable fQueued;
    std::deque<Pending> fQueue;
    std::atomic<bool> fRunning{false};
    std::atomic<bool> fQuitting{false};
    bool fDeleteWhenUnwound = false;
    std::thread fThread;
    BMessage* fCurrent = nullptr;
    int fDispatchDepth = 0;
};
