#include "app/about_window.h"

#include "app/my_view.h"
#include "platform/interface/screen.h"

AboutWindow* aboutwindow = nullptr;

namespace {

constexpr float kWidth = 359;
constexpr float kHeight = 179;

BRect CentredFrame() {
    const BRect screen = BScreen().Frame();
    const float left = float(int((screen.Width() - kWidth) * 0.5f));
    const float top = float(int((screen.Height() - kHeight) * 0.5f));
    return BRect(left, top, left + kWidth, top + kHeight);
}

}  // namespace

AboutWindow::AboutWindow()
    : BWindow(CentredFrame(), "About Velloran", B_TITLED_WINDOW,
              B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE) {
    AddChild(new MyView(Bounds()));
    aboutwindow = this;
    Show();
}

AboutWindow::~AboutWindow() {
    if (aboutwindow == this) aboutwindow = nullptr;
}

void AboutWindow::Show() {
    Lock();
    if (IsHidden()) BWindow::Show();
    Unlock();
}
