// The one path for errors the user must see.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Shows a text; returns once the user has seen it (a modal alert blocks until dismissed).
using ErrorPresenter = void (*)(const char* text);

// Window threads and the song loader, never the player or sound threads, and never while
// holding the song lock. Formats printf-style into at most 999 characters.
void ShowError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Any thread. Installs the presenter (nullptr restores the standard-error one); returns the
// previous one.
ErrorPresenter SetErrorPresenter(ErrorPresenter presenter);

// Any thread: whether a presenter other than the standard-error one is installed (a window's).
bool ErrorsGoToWindows();

// While one lives on a thread, that thread's errors wait and are shown when it goes, so code
// that holds the song lock can report without keeping the player waiting on an alert. What
// waited is shown as one error: each text once, the first few of them.
class DeferredErrors {
  public:
    static constexpr size_t kTextsShown = 5;

    DeferredErrors();
    ~DeferredErrors();
    DeferredErrors(const DeferredErrors&) = delete;
    DeferredErrors& operator=(const DeferredErrors&) = delete;

  private:
    static std::string Combined(const std::vector<std::string>& texts);

    bool fOuter;  // only the outermost one shows what waited
};
