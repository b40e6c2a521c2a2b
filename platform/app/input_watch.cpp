#include "platform/app/input_watch.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>

namespace {

class InputWatch : public QObject {
  public:
    explicit InputWatch(std::function<void()> settled) : fSettled(std::move(settled)) {
        QCoreApplication::instance()->installEventFilter(this);
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                [this] { Idle(); });
    }

    void Replace(std::function<void()> settled) { fSettled = std::move(settled); }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::MouseButtonRelease:
            case QEvent::Wheel:
            case QEvent::Drop:
                fInput = true;
                break;
            default:
                break;
        }
        return false;
    }

  private:
    void Idle() {
        // Inside a modal wait the handler that opened it has not finished its work yet.
        if (!fInput || QGuiApplication::mouseButtons() != Qt::NoButton ||
            QThread::currentThread()->loopLevel() > 1)
            return;
        fInput = false;
        // Run from the loop, not from inside its wait.
        QTimer::singleShot(0, this, [this] { fSettled(); });
    }

    std::function<void()> fSettled;
    bool fInput = false;
};

InputWatch* gWatch = nullptr;

}  // namespace

namespace input_watch {

void OnSettled(std::function<void()> settled) {
    if (gWatch != nullptr) return gWatch->Replace(std::move(settled));
    gWatch = new InputWatch(std::move(settled));
}

}  // namespace input_watch
