#include "app/song_document.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/export_window.h"
#include "app/song_details_window.h"
#include "engine/importer.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "platform/app/app_defs.h"
#include "platform/app/messenger.h"
#include "platform/app/roster.h"
#include "platform/interface/alert.h"
#include "platform/interface/file_panel.h"
#include "platform/interface/window.h"
#include "platform/storage/entry.h"
#include "platform/storage/node.h"
#include "platform/storage/node_info.h"

namespace {

enum SaveAnswer : int32 { kCancel = 0, kDontSave = 1, kSave = 2 };

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Names typed without an extension get the songs' own, so the desktop knows them.
std::string WithExtension(const std::string& name) {
    return name.find('.') == std::string::npos ? name + ".vel" : name;
}

}  // namespace

SongDocument::SongDocument(BWindow* window, std::function<void()> refresh)
    : fWindow(window), fRefresh(std::move(refresh)), fHistory(*song), fSaved(fHistory.Current()) {}

SongDocument::~SongDocument() {
    delete fOpenPanel;
    delete fSavePanel;
}

std::string SongDocument::LeafName() const {
    const auto slash = fFileName.rfind('/');
    return slash == std::string::npos ? fFileName : fFileName.substr(slash + 1);
}

bool SongDocument::Changed() const {
    return !fSaved || !(SongSnapshot::Take(*song, &*fSaved) == *fSaved);
}

bool SongDocument::MaySetAside(const BMessage& then) {
    if (!Changed()) return true;
    const std::string text = "Save changes to " + LeafName() + "?";
    auto* alert = new BAlert("Velloran", text.c_str(), "Cancel", "Don't Save", "Save",
                             B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    alert->SetShortcut(kCancel, B_ESCAPE);
    switch (alert->Go()) {
        case kDontSave:
            return true;
        case kSave:
            if (fFileName != kUnnamed) return SaveTo(fFileName);
            fAfterSave = then;
            ShowSavePanel();
            return false;
        default:
            return false;
    }
}

void SongDocument::New() {
    song->New();
    Replaced(kUnnamed, true);
}

void SongDocument::Open(const BMessage* message) {
    entry_ref ref;
    if (message->FindRef("refs", &ref) != B_OK) return;
    BNode node(&ref);
    if (node.InitCheck() != B_OK) return;
    std::string type;
    if (BNodeInfo(&node).GetType(&type) != B_OK || type.empty()) {
        ShowError("Can't determine wich type it is!");
        return;
    }
    if (type == kSongType) return OpenSong(ref.path, message);
    Import(ref.path, type, message);
}

void SongDocument::OpenSong(const std::string& path, const BMessage* message) {
    if (!MaySetAside(*message)) return;
    // A song that fails to open is left as it was, and so is its name.
    if (song->Open(path.c_str()) == 0) return;
    entry_ref ref(path);
    be_roster->AddToRecentDocuments(&ref, kSignature);
    Replaced(path, true);
    if (song->show_details_window && songdetailswindow != nullptr) songdetailswindow->Show();
}

void SongDocument::Import(const std::string& path, const std::string& type,
                          const BMessage* message) {
    std::printf("Find a importer for the type %s...\n", type.c_str());
    // A file the importer refuses leaves the song as it is, without asking to save it.
    std::unique_ptr<Importer> importer = PreparedImporter(path.c_str(), type.c_str());
    if (importer == nullptr || !MaySetAside(*message)) return;
    std::printf("Using %s...\n", importer->addon_name.c_str());
    song->New();
    importer->Open(path.c_str());
    // An imported song is new work: nothing of it is saved yet.
    Replaced(kUnnamed, false);
}

void SongDocument::SaveInPlace() {
    if (fFileName == kUnnamed) return ShowSavePanel();
    SaveTo(fFileName);
}

void SongDocument::Save(const BMessage* message) {
    std::string name;
    message->FindString("name", &name);
    entry_ref folder;
    if (message->FindRef("directory", &folder) == B_OK && !folder.path.empty())
        name = folder.path + "/" + WithExtension(name);
    if (!SaveTo(name)) {
        fAfterSave = BMessage();
        return;
    }
    if (fAfterSave.what == 0) return;
    // What waited for the song to be named goes on now.
    BMessage then(fAfterSave);
    fAfterSave = BMessage();
    fWindow->PostMessage(&then);
}

bool SongDocument::SaveTo(const std::string& path) {
    if (path.empty() || song->Save(path.c_str()) == 0) {
        ShowError("Can't save the song as \"%s\".\nThe file on disk is unchanged.", path.c_str());
        return false;
    }
    entry_ref ref(path);
    be_roster->AddToRecentDocuments(&ref, kSignature);
    BNode node(path.c_str());
    // Where files take no type, it is sniffed from the content instead.
    if (node.InitCheck() == B_OK) BNodeInfo(&node).SetType(kSongType);
    Named(path, true);
    return true;
}

void SongDocument::Replaced(const std::string& name, bool saved) {
    fHistory.Reset();
    Named(name, saved);
}

void SongDocument::Named(const std::string& name, bool saved) {
    fFileName = name;
    fSaved.reset();
    if (saved) fSaved = SongSnapshot::Take(*song, &fHistory.Current());
    fRefresh();
}

bool SongDocument::Commit() {
    // The export reads the song on its own thread meanwhile.
    return !ExportWindow::Exporting() && fHistory.Commit();
}

bool SongDocument::Undo() {
    return Walk(&UndoHistory::Undo);
}

bool SongDocument::Redo() {
    return Walk(&UndoHistory::Redo);
}

bool SongDocument::Walk(bool (UndoHistory::*step)()) {
    if (ExportWindow::Exporting() || !(fHistory.*step)()) return false;
    fRefresh();
    return true;
}

std::string SongDocument::UndoLabel() const {
    return Label("Undo", fHistory.UndoName());
}

std::string SongDocument::RedoLabel() const {
    return Label("Redo", fHistory.RedoName());
}

std::string SongDocument::Label(const std::string& command, const std::string& step) {
    return step.empty() ? command : command + " " + step;
}

void SongDocument::Cancelled() {
    fAfterSave = BMessage();
}

std::string SongDocument::PanelFolder() const {
    if (fFileName != kUnnamed) return FolderOf(fFileName);
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "/";
}

// Made at first use and kept; each use starts in the song's folder.
BFilePanel* SongDocument::Panel(BFilePanel** panel, file_panel_mode mode, uint32 command) {
    if (*panel == nullptr) {
        BMessenger target(fWindow);
        *panel = new BFilePanel(mode, &target, nullptr, 0, false, new BMessage(command), nullptr,
                                true, true);
    }
    (*panel)->SetPanelDirectory(PanelFolder().c_str());
    return *panel;
}

void SongDocument::ShowOpenPanel() {
    Panel(&fOpenPanel, B_OPEN_PANEL, 'OPEN')->Show();
}

void SongDocument::ShowSavePanel() {
    BFilePanel* panel = Panel(&fSavePanel, B_SAVE_PANEL, 'SAVE');
    panel->SetSaveText(fFileName == kUnnamed ? "Unnamed.vel" : LeafName().c_str());
    panel->Show();
}
