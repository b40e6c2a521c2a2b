// The one thread that serves every window and the application, once Qt's loop exists.
#pragma once

#include <functional>

#include "message/support_defs.h"

namespace gui_thread {

// The thread that will run the event loop. Makes the Qt application object when there is
// none (QT_QPA_PLATFORM picks the display, "offscreen" for tests) and starts serving loopers.
void Start();
// Any thread: whether Start has run.
bool Started();
// Any thread: whether the caller is the GUI thread (false before Start).
bool IsGuiThread();
// Any thread: run work on the GUI thread soon. Before Start the work waits for it.
void Post(std::function<void()> work);
// Any thread once Start has run: run work on the GUI thread and wait until it is done.
// Never from a thread the GUI thread waits for.
void RunAndWait(const std::function<void()>& work);
// Any thread: dispatch the looper's queue on the GUI thread.
void WakeLooper(int32 token);
// The GUI thread: let queued events and messages run until nothing is left.
void ProcessEvents();

enum class Awaited { kDone, kTimedOut, kQuit };
// The GUI thread: serves every window in a nested event loop, as a modal alert does, until
// done() holds, timeoutMs (unless negative) have passed or the application quits. done() is
// asked again whenever some thread calls Recheck.
Awaited Await(const std::function<bool()>& done, int timeoutMs = -1);
// Any thread: the waits of Await ask their done() again.
void Recheck();

}  // namespace gui_thread
