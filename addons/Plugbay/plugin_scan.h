// One scan of the plug-in folders, run on a thread of its own, and the waits for its end. A new
// plug-in may take seconds to check: the GUI thread goes on serving every window meanwhile, and
// a window shows the progress once the scan has taken longer than a moment.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "message/support_defs.h"

class ScanProgressWindow;

class PluginScan : public std::enable_shared_from_this<PluginScan> {
  public:
    // How long a scan runs before its progress shows.
    static constexpr int kQuietMs = 500;

    // Any thread. Runs work on a thread of its own; work ends by calling Finish.
    static std::shared_ptr<PluginScan> Start(std::function<void(PluginScan&)> work);

    // The scanning thread: the plug-in now checked is the k-th of n.
    void Checking(const std::string& name, int32 k, int32 n);
    // The scanning thread, last: runs publish, unless the result is no longer wanted, and
    // wakes every wait.
    void Finish(const std::function<void()>& publish);
    // Any thread but the player's and the sound's: returns once the scan has ended; the GUI
    // thread serves the windows meanwhile. With showProgress the progress window shows once
    // the scan has taken kQuietMs. When the application quits first, the result is dropped.
    void Wait(bool showProgress);
    // Any thread: the result is no longer wanted; once this returns, Finish publishes nothing.
    void Abandon();

  private:
    enum class Ended { kYes, kNo, kQuit };
    Ended WaitFor(int timeoutMs);
    bool HasEnded();
    void OnGuiThread(void (PluginScan::*work)());
    // The GUI thread.
    void OpenWindow();
    void ShowProgress();
    void CloseWindow();

    std::mutex fLock;
    std::condition_variable fEnded;
    bool fFinished = false;
    bool fAbandoned = false;
    std::string fName;
    int32 fChecked = 0;
    int32 fToCheck = 0;
    // The GUI thread only.
    ScanProgressWindow* fWindow = nullptr;
};
