// The program: builds the engine in a fixed order at start-up and routes files handed to it
// (command line, desktop, drops on the program) to the main window.
#pragma once

#include "message/message.h"
#include "platform/app/application.h"

class MyApp : public BApplication {
  public:
    static constexpr const char* kSignature = "application/x-vnd.Velloran";
    // How long a file that arrived before the window waits once the window is up.
    static constexpr int kPendingDelayMs = 100;

    MyApp();
    ~MyApp() override;

    // The GUI thread, as are the hooks below.
    void ReadyToRun() override;
    void RefsReceived(BMessage* message) override;
    void AboutRequested() override;
    // Undo and Redo from the keys of any window go to the main window.
    void MessageReceived(BMessage* message) override;

    BMessage pending_refs;
};
