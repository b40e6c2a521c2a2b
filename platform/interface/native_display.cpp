#include "platform/interface/native_display.h"

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>

namespace {

xcb_connection_t* Connection() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

}  // namespace

namespace native_display {

bool Available() {
    return QGuiApplication::platformName() == "xcb" && Connection() != nullptr;
}

uintptr_t WindowOf(QWidget* widget) {
    if (!Available()) return 0;
    const uintptr_t id = widget->winId();
    // A round trip: what Qt asked for has been done before another client refers to it.
    xcb_connection_t* connection = Connection();
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return id;
}

}  // namespace native_display
