#include "app/my_app.h"

#include <QTimer>

#include "app/about_window.h"
#include "app/playlist_window.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "platform/app/app_defs.h"
#include "platform/app/input_watch.h"
#include "platform/interface/window.h"
#include "ui/error_alert.h"

MyApp::MyApp() : BApplication(kSignature) {
    playlistwindow = nullptr;
}

MyApp::~MyApp() = default;

void MyApp::ReadyToRun() {
    InstallErrorAlert();
    aboutwindow = new AboutWindow;
    aboutwindow->Show();
    instrument_roster.Scan("instruments");
    machine_roster.Scan("machines");
    importer_roster.Scan("importers");
    new Song;
    playlistwindow = new PlaylistWindow;
    BWindow::AddApplicationShortcut('z', 0, new BMessage(PlaylistWindow::kUndo));
    BWindow::AddApplicationShortcut('z', B_SHIFT_KEY, new BMessage(PlaylistWindow::kRedo));
    input_watch::OnSettled([] {
        if (playlistwindow != nullptr) playlistwindow->PostMessage(PlaylistWindow::kSettled);
    });
    if (aboutwindow != nullptr && aboutwindow->Lock()) aboutwindow->Quit();
    if (pending_refs.IsEmpty()) return;
    // A timer, not a sleep: the window draws itself meanwhile.
    QTimer::singleShot(kPendingDelayMs, [this] {
        BMessage refs(pending_refs);
        pending_refs = BMessage();
        RefsReceived(&refs);
    });
}

void MyApp::RefsReceived(BMessage* message) {
    message->what = B_SIMPLE_DATA;
    if (playlistwindow == nullptr) {
        pending_refs = *message;
        return;
    }
    if (!playlistwindow->Lock()) return;
    playlistwindow->MessageReceived(message);
    playlistwindow->Unlock();
}

void MyApp::MessageReceived(BMessage* message) {
    if (message->what != PlaylistWindow::kUndo && message->what != PlaylistWindow::kRedo)
        return BApplication::MessageReceived(message);
    if (playlistwindow != nullptr) playlistwindow->PostMessage(message);
}

void MyApp::AboutRequested() {
    if (aboutwindow != nullptr) return aboutwindow->Activate();
    aboutwindow = new AboutWindow;
    aboutwindow->Show();
}
