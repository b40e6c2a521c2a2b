#include "platform/app/gui_thread.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <future>
#include <mutex>
#include <vector>

#include "platform/app/looper.h"
#include "platform/app/looper_registry.h"

namespace {

const QEvent::Type kWorkEvent = QEvent::Type(QEvent::registerEventType());

class WorkEvent : public QEvent {
  public:
    explicit WorkEvent(std::function<void()> work) : QEvent(kWorkEvent), fWork(std::move(work)) {}
    void Run() { fWork(); }

  private:
    std::function<void()> fWork;
};

class Dispatcher : public QObject {
  public:
    bool event(QEvent* event) override {
        if (event->type() != kWorkEvent) return QObject::event(event);
        static_cast<WorkEvent*>(event)->Run();
        return true;
    }
};

std::atomic<Dispatcher*> gDispatcher{nullptr};
std::mutex gEarlyLock;
std::vector<std::function<void()>> gEarlyWork;
int gArgc = 1;
char gArg0[] = "velloran";
char* gArgv[] = {gArg0, nullptr};

void DispatchLooper(int32 token) {
    BLooper* looper = looper_registry::GuiLooper(token);
    if (!looper || looper->DispatchPending()) return;
    // Another thread holds the looper's lock: try again shortly rather than block the GUI.
    QTimer::singleShot(1, gDispatcher.load(), [token] { DispatchLooper(token); });
}

}  // namespace

namespace gui_thread {

void Start() {
    if (gDispatcher.load()) return;
    if (!QCoreApplication::instance()) new QApplication(gArgc, gArgv);
    gDispatcher.store(new Dispatcher);
    std::vector<std::function<void()>> early;
    {
        std::lock_guard guard(gEarlyLock);
        early.swap(gEarlyWork);
    }
    for (auto& work : early) Post(std::move(work));
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
    {
        std::lock_guard guard(gEarlyLock);
        if (!gDispatcher.load()) {
            gEarlyWork.push_back(std::move(work));
            return;
        }
    }
    QCoreApplication::postEvent(gDispatcher.load(), new WorkEvent(std::move(work)));
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

}  // namespace gui_thread
