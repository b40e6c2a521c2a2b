// Opens a plug-in in a process of its own, so that one that crashes or hangs when opened
// takes only that process down.
#pragma once

#include <string>

struct PluginVerdict {
    bool usable = false;
    // Why it is left out; empty for a usable plug-in.
    std::string reason;
    // False when no check could be run: the verdict is not worth keeping.
    bool checked = true;
};

class PluginCheck {
  public:
    // How long a plug-in may take to open, play a block and close.
    static constexpr int kTimeoutMs = 3000;

    // Any thread but the GUI thread: it waits for the check. checker is the velloran-plugcheck
    // program. A checker that cannot be started leaves the plug-in usable, unchecked.
    static PluginVerdict Run(const std::string& checker, const std::string& plugin,
                             int timeoutMs = kTimeoutMs);

  private:
    static std::string ReadUntil(int fd, long long deadlineMs);
    static PluginVerdict Judge(int status, const std::string& output);
};
