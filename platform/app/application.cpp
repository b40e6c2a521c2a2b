#include "platform/app/application.h"

#include <QCoreApplication>

#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/storage/path.h"

BApplication* be_app = nullptr;

namespace {
std::vector<std::string> gArguments;
}

BMessenger be_app_messenger() {
    return be_app ? BMessenger(be_app) : BMessenger();
}

BApplication::BApplication(const char* signature)
    : BLooper("application", Serving::kGuiThread), fSignature(signature ? signature : "") {
    be_app = this;
}

BApplication::~BApplication() {
    Unregister();
    if (be_app == this) be_app = nullptr;
}

void BApplication::SetArguments(int argc, char** argv) {
    // Resolved now: the program changes to its own folder before it runs.
    gArguments.clear();
    for (int i = 1; i < argc; ++i) {
        BPath path(argv[i]);
        if (path.InitCheck() == B_OK) gArguments.emplace_back(path.Path());
    }
}

thread_id BApplication::Run() {
    gui_thread::Start();
    QCoreApplication::setApplicationName(QString::fromStdString(fSignature));
    PostCommandLineRefs();
    PostMessage(B_READY_TO_RUN);
    BLooper::Run();
    QCoreApplication::exec();
    return B_OK;
}

void BApplication::PostCommandLineRefs() {
    BMessage refs(B_REFS_RECEIVED);
    for (const std::string& argument : gArguments) {
        entry_ref ref{argument};
        refs.AddRef("refs", &ref);
    }
    if (!refs.IsEmpty()) PostMessage(&refs);
}

void BApplication::Quit() {
    // exit, not quit: quit asks every window to close first, and ours decide for themselves.
    gui_thread::Post([] { QCoreApplication::exit(0); });
}

void BApplication::DispatchMessage(BMessage* message, BHandler* handler) {
    if (handler != this) return BLooper::DispatchMessage(message, handler);
    switch (message->what) {
        case B_READY_TO_RUN:
            return ReadyToRun();
        case B_REFS_RECEIVED:
            return RefsReceived(message);
        case B_ABOUT_REQUESTED:
            return AboutRequested();
        case B_QUIT_REQUESTED:
            if (QuitRequested()) Quit();
            return;
        default:
            return MessageReceived(message);
    }
}
