#include "platform/interface/screen.h"

#include <QGuiApplication>
#include <QScreen>

BRect BScreen::Frame() const {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    QScreen* screen = app ? QGuiApplication::primaryScreen() : nullptr;
    if (!screen) return BRect(0, 0, 1023, 767);
    const QRect g = screen->geometry();
    return BRect(g.left(), g.top(), g.right(), g.bottom());
}
