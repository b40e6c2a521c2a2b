// The display's wheel, leave and key events reach the views as the kit describes them: Qt
// events sent to a shown window's widget on the offscreen display.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <vector>

#include "message/message.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/view.h"
#include "platform/interface/window.h"

namespace {

struct Key {
    uint32 what;
    int32 scanCode;
    int32 repeat;
};

class InputView : public BView {
  public:
    InputView() : BView(BRect(10, 10, 109, 59), "input", B_FOLLOW_NONE, B_WILL_DRAW) {}

    void MessageReceived(BMessage* message) override {
        if (message->what != B_MOUSE_WHEEL_CHANGED) return BView::MessageReceived(message);
        BPoint delta;
        message->FindFloat("be:wheel_delta_x", &delta.x);
        message->FindFloat("be:wheel_delta_y", &delta.y);
        wheel.push_back(delta);
        int32 mods = 0;
        message->FindInt32("modifiers", &mods);
        wheelModifiers = uint32(mods);
    }
    void MouseMoved(BPoint, uint32 transit, const BMessage*) override {
        transits.push_back(transit);
    }
    void KeyDown(const char*, int32) override { Record(); }
    void KeyUp(const char*, int32) override { Record(); }

    std::vector<BPoint> wheel;
    uint32 wheelModifiers = 0;
    std::vector<uint32> transits;
    std::vector<Key> keys;

  private:
    void Record() {
        const BMessage* event = Window()->CurrentMessage();
        Key key{event->what, -1, -1};
        event->FindInt32("key", &key.scanCode);
        event->FindInt32("be:key_repeat", &key.repeat);
        keys.push_back(key);
    }
};

class InputEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        window = new BWindow(BRect(100, 100, 299, 199), "input", B_TITLED_WINDOW, 0);
        view = new InputView;
        window->AddChild(view);
        window->Show();
        gui_thread::ProcessEvents();
        canvas = window->Canvas();
        ASSERT_NE(canvas, nullptr);
        window->Lock();
        view->MakeFocus();
        window->Unlock();
    }
    void TearDown() override {
        window->Lock();
        window->Quit();
        gui_thread::ProcessEvents();
    }

    void Send(QEvent* event) {
        QCoreApplication::sendEvent(canvas, event);
        gui_thread::ProcessEvents();
    }
    void Wheel(QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at(50, 30);
        QWheelEvent event(at, canvas->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        Send(&event);
    }
    void KeyPress(int key, quint32 scanCode, bool autoRepeat, QEvent::Type type) {
        QKeyEvent event(type, key, Qt::NoModifier, scanCode, 0, 0, QString(QChar(key).toLower()),
                        autoRepeat);
        Send(&event);
    }

    BWindow* window = nullptr;
    InputView* view = nullptr;
    QWidget* canvas = nullptr;
};

TEST_F(InputEvents, TheWheelReachesTheViewUnderThePointerInNotches) {
    Wheel(QPoint(0, -120));  // one notch towards the user: down
    Wheel(QPoint(0, 240), Qt::ShiftModifier);
    Wheel(QPoint(120, 0));  // a horizontal wheel turned left
    // A fine wheel's half notches add up to one.
    Wheel(QPoint(0, -60));
    EXPECT_EQ(view->wheel.size(), 3u);
    Wheel(QPoint(0, -60));
    ASSERT_EQ(view->wheel.size(), 4u);
    EXPECT_EQ(view->wheel[0], BPoint(0, 1));
    EXPECT_EQ(view->wheel[1], BPoint(0, -2));
    EXPECT_EQ(view->wheel[2], BPoint(-1, 0));
    EXPECT_EQ(view->wheel[3], BPoint(0, 1));
    EXPECT_EQ(view->wheelModifiers, 0u);

    Wheel(QPoint(0, 120), Qt::ShiftModifier);
    EXPECT_EQ(view->wheelModifiers, uint32(B_SHIFT_KEY));
    // Outside the view nothing arrives.
    const QPointF outside(150, 80);
    QWheelEvent event(outside, canvas->mapToGlobal(outside), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    Send(&event);
    EXPECT_EQ(view->wheel.size(), 5u);
}

TEST_F(InputEvents, LeavingTheWindowTellsTheViewThePointerWasOver) {
    const QPointF at(40, 30);
    QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    Send(&move);
    QEvent leave(QEvent::Leave);
    Send(&leave);
    ASSERT_EQ(view->transits.size(), 2u);
    EXPECT_EQ(view->transits[0], uint32(B_ENTERED_VIEW));
    EXPECT_EQ(view->transits[1], uint32(B_EXITED_VIEW));
    // A second leave finds no view under the pointer.
    Send(&leave);
    EXPECT_EQ(view->transits.size(), 2u);
}

TEST_F(InputEvents, KeysCarryTheirScanCodeAndRepeatCount) {
    KeyPress(Qt::Key_Z, 52, false, QEvent::KeyPress);
    KeyPress(Qt::Key_Z, 52, true, QEvent::KeyRelease);
    KeyPress(Qt::Key_Z, 52, true, QEvent::KeyPress);
    KeyPress(Qt::Key_Z, 52, true, QEvent::KeyRelease);
    KeyPress(Qt::Key_Z, 52, true, QEvent::KeyPress);
    KeyPress(Qt::Key_Z, 52, false, QEvent::KeyRelease);
    KeyPress(Qt::Key_Q, 24, false, QEvent::KeyPress);
    ASSERT_EQ(view->keys.size(), 5u);
    const uint32 kinds[] = {B_KEY_DOWN, B_KEY_DOWN, B_KEY_DOWN, B_KEY_UP, B_KEY_DOWN};
    const int32 repeats[] = {0, 1, 2, 0, 0};
    const int32 codes[] = {52, 52, 52, 52, 24};
    for (size_t i = 0; i < view->keys.size(); i++) {
        EXPECT_EQ(view->keys[i].what, kinds[i]) << i;
        EXPECT_EQ(view->keys[i].repeat, repeats[i]) << i;
        EXPECT_EQ(view->keys[i].scanCode, codes[i]) << i;
    }
}

}  // namespace
