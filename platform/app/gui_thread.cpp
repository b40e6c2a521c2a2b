#include "platform/app/gui_thread.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <deque>
#include <future>
#include <mutex>
#include <vector>

#include "platform/app/looper.h"
#include "platform/app/looper_registry.h"

namespace {

const QEvent::Type kWorkEvent = QEvent::Type(QEvent::registerEventType());

// The work waits here, under our own lock; Qt's event only wakes the GUI thread. Qt hands
// events over with locks sanitizers cannot see, so the work never travels inside one.
std::mutex gWorkLock;
std::deque<std::function<void()>> gWork;

// One event per work item, each running the oldest item: the order holds, and nested event
// loops (modal alerts, menus) keep running what is posted meanwhile.
class Dispatcher : public QObject {
  protected:
    void customEvent(QEvent*) override {
        std::function<void()> work;
        {
            std::lock_guard guard(gWorkLock);
            if (gWork.empty()) return;
            work = std::move(gWork.front());
            gWork.pop_front();
        }
        work();
    }
};

std::atomic<Dispatcher*> gDispatcher{nullptr};

void Wake(Dispatcher* dispatcher) {
    QCoreApplication::postEvent(dispatcher, new QEvent(kWorkEvent));
}
int gArgc = 1;
char gArg0[] = "velloran";
char* gArgv[] = {gArg0, nullptr};

void DispatchLooper(int32 token) {
    BLooper* looper = looper_registry::GuiLooper(token);
    if (!looper || looper->DispatchPending()) return;
    // Another thread holds the looper's lock: try again shortly rather than block the GUI.
    QTimer::singleShot(1, gDispatcher.load(), [token] { DispatchLooper(token); });
}

// The nested loops of Await now running, innermost last. The GUI thread only.
struct Awaiting {
    QEventLoop* loop;
    const std::function<bool()>* done;
};
std::vector<Awaiting> gAwaiting;

}  // namespace

namespace gui_thread {

void Start() {
    if (gDispatcher.load()) return;
    if (!QCoreApplication::instance()) new QApplication(gArgc, gArgv);
    auto* dispatcher = new Dispatcher;
    size_t early = 0;
    {
        std::lock_guard guard(gWorkLock);
        gDispatcher.store(dispatcher);
        early = gWork.size();
    }
    for (size_t i = 0; i < early; ++i) Wake(dispatcher);
    looper_registry::ForEachGuiLooper([](BLooper* looper) { WakeLooper(looper->Token()); });
}

bool Started() {
    return gDispatcher.load() != nullptr;
}

bool IsGuiThread() {
    Dispatcher* dispatcher = gDispatcher.load();
    return dispatcher && QThread::currentThread() == dispatcher->thread();
}

void Post(std::function<void()> work) {
    Dispatcher* dispatcher = nullptr;
    {
        std::lock_guard guard(gWorkLock);
        gWork.push_back(std::move(work));
        dispatcher = gDispatcher.load();
    }
    // Before Start the work waits; Start wakes the GUI thread once for each.
    if (dispatcher) Wake(dispatcher);
}

void RunAndWait(const std::function<void()>& work) {
    if (IsGuiThread()) return work();
    std::promise<void> done;
    Post([&] {
        work();
        done.set_value();
    });
    done.get_future().wait();
}

void WakeLooper(int32 token) {
    Post([token] { DispatchLooper(token); });
}

void ProcessEvents() {
    // Rounds with short pauses, so retries waiting on 1 ms timers get their turn too.
    for (int round = 0; round < 10; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(2000);
    }
}

Awaited Await(const std::function<bool()>& done, int timeoutMs) {
    if (done()) return Awaited::kDone;
    QEventLoop loop;
    bool timedOut = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    if (timeoutMs >= 0) timer.start(timeoutMs);
    gAwaiting.push_back({&loop, &done});
    // Returns at once, without serving, once the application has been told to quit.
    loop.exec();
    gAwaiting.erase(std::find_if(gAwaiting.begin(), gAwaiting.end(),
                                 [&](const Awaiting& a) { return a.loop == &loop; }));
    if (done()) return Awaited::kDone;
    return timedOut ? Awaited::kTimedOut : Awaited::kQuit;
}

void Recheck() {
    Post([] {
        for (const Awaiting& waiting : gAwaiting)
            if ((*waiting.done)()) waiting.loop->quit();
    });
}

}  // namespace gui_thread
