// A pop-up window has no title bar and goes away when the user clicks outside it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "platform/app/gui_thread.h"
#include "platform/interface/window.h"

namespace {

class PopUpWindow : public BWindow {
  public:
    explicit PopUpWindow(bool* asked)
        : BWindow(BRect(100, 100, 159, 229), "pop-up", B_POPUP_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
                  B_NOT_RESIZABLE),
          fAsked(asked) {}
    bool QuitRequested() override {
        *fAsked = true;
        return true;
    }

  private:
    bool* fAsked;
};

void Press(QWidget* canvas, QPointF local) {
    const QPointF global = canvas->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(canvas->windowHandle(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(canvas->windowHandle(), &release);
    gui_thread::ProcessEvents();
}

TEST(PopUpWindow, IsAFramelessPopUpThatAClickOutsideCloses) {
    bool asked = false;
    auto* window = new PopUpWindow(&asked);
    window->Show();
    gui_thread::ProcessEvents();
    QWidget* canvas = window->Canvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->windowType(), Qt::Popup);
    EXPECT_EQ(QApplication::activePopupWidget(), canvas);
    EXPECT_EQ(canvas->size(), QSize(60, 130));

    Press(canvas, QPointF(30, 60));
    EXPECT_FALSE(asked) << "a click inside keeps it";
    Press(canvas, QPointF(-40, 60));
    EXPECT_TRUE(asked);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

}  // namespace
