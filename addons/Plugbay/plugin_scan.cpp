#include "addons/Plugbay/plugin_scan.h"

#include <chrono>
#include <thread>

#include "addons/Plugbay/scan_progress_window.h"
#include "platform/app/gui_thread.h"

std::shared_ptr<PluginScan> PluginScan::Start(std::function<void(PluginScan&)> work) {
    auto scan = std::make_shared<PluginScan>();
    // Detached: a program that quits mid-scan does not wait for a plug-in that hangs.
    std::thread([scan, work = std::move(work)] { work(*scan); }).detach();
    return scan;
}

void PluginScan::Checking(const std::string& name, int32 k, int32 n) {
    {
        std::lock_guard guard(fLock);
        fName = name;
        fChecked = k;
        fToCheck = n;
    }
    OnGuiThread(&PluginScan::ShowProgress);
}

void PluginScan::Finish(const std::function<void()>& publish) {
    {
        std::lock_guard guard(fLock);
        if (!fAbandoned) publish();
        fFinished = true;
    }
    fEnded.notify_all();
    if (gui_thread::Started()) gui_thread::Recheck();
}

void PluginScan::Wait(bool showProgress) {
    Ended ended = WaitFor(showProgress ? kQuietMs : -1);
    if (ended == Ended::kNo) {
        OnGuiThread(&PluginScan::OpenWindow);
        ended = WaitFor(-1);
        OnGuiThread(&PluginScan::CloseWindow);
    }
    if (ended == Ended::kQuit) Abandon();
}

void PluginScan::Abandon() {
    std::lock_guard guard(fLock);
    fAbandoned = true;
}

PluginScan::Ended PluginScan::WaitFor(int timeoutMs) {
    if (gui_thread::IsGuiThread()) {
        switch (gui_thread::Await([this] { return HasEnded(); }, timeoutMs)) {
            case gui_thread::Awaited::kDone:
                return Ended::kYes;
            case gui_thread::Awaited::kTimedOut:
                return Ended::kNo;
            case gui_thread::Awaited::kQuit:
                return Ended::kQuit;
        }
    }
    std::unique_lock guard(fLock);
    const auto ended = [this] { return fFinished; };
    if (timeoutMs < 0) {
        fEnded.wait(guard, ended);
        return Ended::kYes;
    }
    return fEnded.wait_for(guard, std::chrono::milliseconds(timeoutMs), ended) ? Ended::kYes
                                                                               : Ended::kNo;
}

bool PluginScan::HasEnded() {
    std::lock_guard guard(fLock);
    return fFinished;
}

void PluginScan::OnGuiThread(void (PluginScan::*work)()) {
    if (gui_thread::IsGuiThread()) return (this->*work)();
    // With no GUI thread there are no windows to show the progress in.
    if (!gui_thread::Started()) return;
    gui_thread::Post([scan = shared_from_this(), work] { ((*scan).*work)(); });
}

void PluginScan::OpenWindow() {
    // A wait on another thread may have asked for the window just before the end.
    if (fWindow != nullptr || HasEnded()) return;
    fWindow = new ScanProgressWindow;
    ShowProgress();
}

void PluginScan::ShowProgress() {
    if (fWindow == nullptr) return;
    std::unique_lock guard(fLock);
    const std::string name = fName;
    const int32 k = fChecked;
    const int32 n = fToCheck;
    guard.unlock();
    fWindow->SetProgress(name, k, n);
}

void PluginScan::CloseWindow() {
    if (fWindow == nullptr) return;
    fWindow->Lock();
    fWindow->Quit();
    fWindow = nullptr;
}
