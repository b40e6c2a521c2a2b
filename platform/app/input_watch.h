// Tells the program when the user has finished a gesture: after a key, a button let go, a
// wheel turn or a drop, once the outermost event loop has nothing left to do and no mouse
// button is held. A drag thus counts once, when it ends.
#pragma once

#include <functional>

namespace input_watch {

// The GUI thread, after gui_thread::Start. settled runs on the GUI thread, never inside a
// modal wait; it replaces the one given before.
void OnSettled(std::function<void()> settled);

}  // namespace input_watch
