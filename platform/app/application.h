// The application object: its looper is served by the GUI thread, which runs Qt's loop.
#pragma once

#include <string>
#include <vector>

#include "platform/app/looper.h"
#include "platform/app/messenger.h"

class BApplication : public BLooper {
  public:
    // The thread that will call Run. One application object per process.
    explicit BApplication(const char* signature);
    ~BApplication() override;

    // Before changing folder: the files named on the command line arrive as refs.
    static void SetArguments(int argc, char** argv);

    // Runs the event loop on the calling thread until Quit. Before ReadyToRun, the files
    // named on the command line arrive through RefsReceived.
    thread_id Run() override;
    // Any thread. Ends the event loop; the object stays for its owner to delete.
    void Quit() override;

    // The GUI thread.
    virtual void ReadyToRun() {}
    virtual void RefsReceived(BMessage*) {}
    virtual void AboutRequested() {}
    void DispatchMessage(BMessage* message, BHandler* handler) override;

    const char* Signature() const { return fSignature.c_str(); }

  private:
    void PostCommandLineRefs();

    std::string fSignature;
};

// Any thread; null when no application object exists.
extern BApplication* be_app;
BMessenger be_app_messenger();
