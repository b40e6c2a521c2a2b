#include "app/export_window.h"

#include <filesystem>

#include "app/playlist_window.h"
#include "engine/player.h"
#include "engine/render_plan.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "platform/app/app_defs.h"
#include "platform/app/messenger.h"
#include "platform/interface/check_box.h"
#include "platform/interface/control.h"
#include "platform/interface/file_panel.h"
#include "platform/interface/string_view.h"
#include "platform/storage/entry.h"
#include "ui/progress_bar_view.h"

namespace {

namespace fs = std::filesystem;

// Exports running in any window: the song must not be read for undo meanwhile.
std::atomic<int32> gExports{0};

bool Checked(BWindow* window, const char* name) {
    auto* box = dynamic_cast<BCheckBox*>(window->FindView(name));
    return box != nullptr && box->Value() == B_CONTROL_ON;
}

void Enable(BWindow* window, bool enabled) {
    for (const char* name : {"chkFloat", "chkStems", "btnExport"}) {
        if (auto* control = dynamic_cast<BControl*>(window->FindView(name)))
            control->SetEnabled(enabled);
    }
}

}  // namespace

bool ExportWindow::Exporting() {
    return gExports.load() > 0;
}

ExportWindow::ExportWindow(Kind kind) : IEWindow("ExportWindow"), fKind(kind) {
    Lock();
    BView* holder = FindView("barHolder");
    fBar = new ProgressBarView(holder->Bounds(), "bar");
    holder->AddChild(fBar);
    if (fKind == Kind::kMidi) {
        SetTitle("Export MIDI");
        for (const char* name : {"chkFloat", "chkStems", "btnExport"}) FindView(name)->Hide();
        ShowStatus("The messages the song's Midi instruments send.");
    }
    Unlock();
    Show();
    if (fKind == Kind::kMidi) AskForFile();
}

ExportWindow::~ExportWindow() {
    fCancel = true;
    if (fWorker.joinable()) fWorker.join();
}

void ExportWindow::MessageReceived(BMessage* message) {
    switch (message->what) {
        case kExport:
            AskForFile();
            break;
        case kChosen:
            Start(message);
            break;
        case kCancel:
            if (Running()) {
                fCancel = true;
                ShowStatus("Cancelling…");
            } else {
                PostMessage(B_QUIT_REQUESTED);
            }
            break;
        case kProgress: {
            float done = 0;
            message->FindFloat("done", &done);
            fBar->SetDone(done);
            break;
        }
        case kFinished:
            Finished(message);
            break;
        default:
            IEWindow::MessageReceived(message);
    }
}

bool ExportWindow::QuitRequested() {
    if (!Running()) return true;
    fCancel = true;
    fQuitWhenDone = true;
    return false;
}

void ExportWindow::AskForFile() {
    BMessenger self(this);
    fPanel =
        std::make_unique<BFilePanel>(B_SAVE_PANEL, &self, nullptr, 0, false, new BMessage(kChosen));
    const std::string title = song->title.empty() ? "Unnamed" : song->title;
    fPanel->SetSaveText((title + (fKind == Kind::kAudio ? ".wav" : ".mid")).c_str());
    fPanel->Show();
}

void ExportWindow::Start(const BMessage* chosen) {
    std::string name;
    entry_ref folder;
    if (Running() || chosen->FindString("name", &name) != B_OK || name.empty() ||
        chosen->FindRef("directory", &folder) != B_OK) {
        return;
    }
    const std::string extension = fKind == Kind::kAudio ? ".wav" : ".mid";
    fs::path path = fs::path(folder.path) / name;
    if (path.extension() != extension) path += extension;
    fPath = path.string();
    ExportOptions options;
    if (fKind == Kind::kMidi) {
        options.midi = fPath;
    } else {
        options.output = fPath;
        options.floatSamples = Checked(this, "chkFloat");
        if (Checked(this, "chkStems"))
            options.stems = (path.parent_path() / (path.stem().string() + " stems")).string();
    }
    // The song is played offline from its start: what plays now stops, and sounds again when
    // the export is done.
    song->Stop();
    if (playlistwindow != nullptr) playlistwindow->Update();
    SetPlayerDrive(PlayerDrive::kOffline);
    // The other windows take no input while the song is read by the export.
    SetFeel(B_MODAL_APP_WINDOW_FEEL);
    Enable(this, false);
    fBar->SetDone(0);
    ShowStatus("Exporting " + path.filename().string() + "…");
    fCancel = false;
    fRunning = true;
    gExports++;
    fWorker = std::thread(&ExportWindow::Work, this, options);
}

void ExportWindow::Work(ExportOptions options) {
    std::string error;
    std::error_code failed;
    if (!options.stems.empty()) fs::create_directories(options.stems, failed);
    if (failed) {
        error = "Can't make the folder " + options.stems + ": " + failed.message();
    } else {
        Export(options, &error);
        // The stems folder of a cancelled or failed export goes too, emptied as the export
        // dropped its files.
        if (!error.empty() && !options.stems.empty()) fs::remove(options.stems, failed);
    }
    BMessage done(kFinished);
    done.AddString("error", error);
    PostMessage(&done);
}

void ExportWindow::Export(const ExportOptions& options, std::string* error) {
    // Both passes play the song from its start, its controllers as saved.
    song->ResetControllers();
    const RenderPlan plan(RenderPlan::Until::kContentEnd, 0);
    song->ResetControllers();
    SongExport job;
    job.Run(plan, options, error, [&](int32, int64 frames) {
        BMessage progress(kProgress);
        progress.AddFloat("done", float(double(frames) / double(plan.Frames())));
        PostMessage(&progress);
        return !fCancel.load();
    });
}

void ExportWindow::Finished(const BMessage* message) {
    fWorker.join();
    fRunning = false;
    gExports--;
    SetPlayerDrive(PlayerDrive::kRealTime);
    SetFeel(B_NORMAL_WINDOW_FEEL);
    std::string error;
    message->FindString("error", &error);
    if (error.empty() || error == SongExport::kCancelled || fQuitWhenDone) {
        PostMessage(B_QUIT_REQUESTED);
        return;
    }
    Enable(this, true);
    ShowStatus("Nothing was written.");
    ShowError("Can't export the song to \"%s\":\n%s", fPath.c_str(), error.c_str());
}

void ExportWindow::ShowStatus(const std::string& text) {
    if (auto* status = dynamic_cast<BStringView*>(FindView("lblStatus")))
        status->SetText(text.c_str());
}
