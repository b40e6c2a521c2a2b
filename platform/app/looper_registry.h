// Live loopers by token, so messengers never reach a looper that has gone.
#pragma once

#include <functional>

#include "message/support_defs.h"

class BLooper;

namespace looper_registry {

// Any thread.
int32 Add(BLooper* looper);
void Remove(int32 token);
// Any thread. Runs use on the looper while it cannot be removed; false when it has gone.
bool With(int32 token, const std::function<void(BLooper*)>& use);
// The GUI thread: the GUI thread alone deletes the loopers it serves, so the pointer stays
// good until it returns to its event loop.
BLooper* GuiLooper(int32 token);
// Any thread: every looper the GUI thread serves.
void ForEachGuiLooper(const std::function<void(BLooper*)>& use);

}  // namespace looper_registry
