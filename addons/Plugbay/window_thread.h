// Work on the pipe's and effects' windows, which only the window thread may create or end.
#pragma once

#include <functional>

// Any thread the window thread never waits for. Runs work on the window thread and returns
// when it is done; on the window thread itself, or with no window thread, runs it at once.
void OnWindowThread(const std::function<void()>& work);

// Any thread the window thread never waits for. Closes the window the field points to, after
// the window has let go of what it edits, and clears the field; a null field does nothing.
template <typename Window>
void CloseEditor(Window*& window) {
    OnWindowThread([&window] {
        if (window == nullptr) return;
        Window* gone = window;
        window = nullptr;
        gone->Lock();
        gone->Forget();
        gone->Quit();
    });
}
