// The display's own windows, for code that hands a window to a library drawing into it
// directly (a plug-in's editor). Only X11, through Qt's "xcb" platform, has them here.
#pragma once

#include <cstdint>

class QWidget;

namespace native_display {

// The GUI thread. False offscreen and under Wayland, where no window id means anything to a
// library of its own.
bool Available();
// The GUI thread. The widget's X11 window id, made now; once this returns the server knows
// the window, so another connection may make children in it at once. 0 where not Available.
uintptr_t WindowOf(QWidget* widget);

}  // namespace native_display
