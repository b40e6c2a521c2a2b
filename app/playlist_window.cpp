#include "app/playlist_window.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/addon_info_window.h"
#include "app/export_window.h"
#include "app/instrument_window.h"
#include "app/machine_map_seam.h"
#include "app/machine_map_window.h"
#include "app/measure_view.h"
#include "app/pattern_container.h"
#include "app/pos_bar_view.h"
#include "app/scope_view.h"
#include "app/song_details_window.h"
#include "app/transport_pictures.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "platform/app/app_defs.h"
#include "platform/app/application.h"
#include "platform/app/roster.h"
#include "platform/interface/control.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_bar.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/text_control.h"
#include "platform/storage/path.h"
#include "ui/bitmap_string_button.h"
#include "ui/round_slider.h"

PlaylistWindow* playlistwindow = nullptr;

namespace {

enum : uint32 {
    kNew = 1,
    kSave = 3,
    kSaveAs = 4,
    kPlay = 37,
    kRemoveMachine = 79,
    kVolume = 100,
    kInstrumentWindow = 188,
    kHelp = 258,
    kOpenPanel = 273,
    kDetailsWindow = 326,
    kAbout = 368,
    kDetailsButton = 378,
    kRename = 407,
    kRecord = 493,
    kLoop = 497,
    kSolo = 501,
    kAddonInfo = 518,
    kTempo = 536,
    kMapWindow = 569,
    kExportAudio = 'EXPA',
    kExportMidi = 'EXPM',
};

constexpr const char* kManual = "documentation/index.htm";
constexpr int32 kRecentSongs = 8;

BMenu* Submenu(BMenu* menu, const char* name) {
    for (int32 i = 0; i < menu->CountItems(); i++) {
        BMenu* submenu = menu->SubmenuAt(i);
        if (submenu != nullptr && std::string(submenu->Name()) == name) return submenu;
    }
    return nullptr;
}

// Decimal text as a tempo the song can play; what is no number counts as 0.
int32 ParseTempo(const char* text) {
    const long long value = std::strtoll(text, nullptr, 10);
    return int32(std::clamp<long long>(value, Song::kMinTempo, Song::kMaxTempo));
}

void SetControl(BWindow* window, const char* name, int32 value) {
    if (auto* control = dynamic_cast<BControl*>(window->FindView(name))) control->SetValue(value);
}

}  // namespace

PlaylistWindow::PlaylistWindow()
    : IEWindow("PlaylistWindow"), fDocument(this, [this] { AfterNewSong(); }) {
    Build();
    ShowEditNames();
    Show();
    Update();
    instrumentwindow = new InstrumentWindow;
    songdetailswindow = new SongDetailsWindow;
    AttachMachineMap(new MachineMapWindow);
}

PlaylistWindow::~PlaylistWindow() {
    if (playlistwindow == this) playlistwindow = nullptr;
}

void PlaylistWindow::Build() {
    fName = dynamic_cast<BTextControl*>(FindView("txtPatternName"));
    fTempo = dynamic_cast<BTextControl*>(FindView("txtTempo"));
    BView* super = FindView("superview");
    BMessage* layout = FindWindowResource("PatternContainer");
    fGrid = new PatternContainer(layout);
    delete layout;
    fGrid->ResizeTo(super->Bounds().Width(), super->Bounds().Height());
    super->AddChild(fGrid);

    BView* ruler = FindView("posbar");
    ruler->ResizeTo(PatternContainer::kLaneWidth, ruler->Bounds().Height());
    ruler->SetViewColor(B_TRANSPARENT_COLOR);
    ruler->AddChild(new PosBarView(ruler->Bounds()));
    BView* scope = FindView("scopeview");
    scope->AddChild(new ScopeView(scope->Bounds()));
    BView* measure = FindView("measureview");
    measure->AddChild(new MeasureView(measure->Bounds(), measure));

    fVolume = new RoundSlider(BRect(0, 0, 32, 32), new BMessage(kVolume));
    FindView("volumeview")->AddChild(fVolume);
    fVolume->SetValue(1.0f);
    SetPlayerVolume(fVolume->GetValue());
    DressTransportButtons(FindView("sideview"));
    FillMachineMenu();
    FillRecentMenu();
}

void PlaylistWindow::FillMachineMenu() {
    BMenu* menu = Submenu(KeyMenuBar(), "Machine");
    // Sorted by name, so the shortcuts stay put whatever order the folder lists.
    std::vector<std::pair<std::string, int32>> addons;
    for (int32 n = 0; n < machine_roster.count; n++)
        addons.emplace_back(machine_roster.GetName(n), n);
    std::sort(addons.begin(), addons.end());
    for (size_t i = 0; i < addons.size(); i++) {
        auto* add = new BMessage(kAddMachine);
        add->AddInt32("nr", addons[i].second);
        const char shortcut = i < 9 ? char('1' + i) : 0;
        const std::string label = "Add " + addons[i].first;
        menu->AddItem(new BMenuItem(label.c_str(), add, shortcut), int32(i));
    }
}

void PlaylistWindow::FillRecentMenu() {
    fRecent = Submenu(Submenu(KeyMenuBar(), "File"), "Open Recent");
    BMessage recent;
    be_roster->GetRecentDocuments(&recent, kRecentSongs, SongDocument::kSongType,
                                  SongDocument::kSignature);
    entry_ref ref;
    for (int32 i = 0; recent.FindRef("refs", i, &ref) == B_OK; i++) {
        auto* open = new BMessage('OPEN');
        open->AddRef("refs", &ref);
        fRecent->AddItem(new BMenuItem(ref.Name().c_str(), open));
    }
}

void PlaylistWindow::Update() {
    if (!Lock()) return;
    fGrid->Update(song->solo_machine);
    ShowTitle();
    fTempo->SetText(std::to_string(int32(song->main_tempo)).c_str());
    SetControl(this, "btnLoop", song->loop != 0);
    SetControl(this, "btnPlay", song->is_playing != 0);
    SetControl(this, "btnSolo", song->solo != 0);
    if (BView* ruler = FindView("PosBar")) ruler->Invalidate();
    ShowSelection();
    Unlock();
}

void PlaylistWindow::UpdateMachines() {
    if (!Lock()) return;
    song->solo_machine = 1;
    ShowSelection();
    fGrid->Update(1);
    UpdateMachineMap();
    Unlock();
}

void PlaylistWindow::ShowTitle() {
    SetTitle(("Velloran - " + fDocument.LeafName()).c_str());
}

void PlaylistWindow::ShowSelection() {
    Machine* machine = Selected();
    fName->SetText(machine != nullptr ? machine->GetName() : "");
}

Machine* PlaylistWindow::Selected() const {
    const int32 id = song->solo_machine;
    return id > 0 ? song->MachineAt(id) : nullptr;
}

void PlaylistWindow::PostRebuild() {
    // A button's handler may be running: the grid is rebuilt once it has returned.
    if (fRebuildPosted) return;
    fRebuildPosted = true;
    PostMessage(kRebuildGrid);
}

void PlaylistWindow::AfterNewSong() {
    Update();
    ShowEditNames();
    if (instrumentwindow != nullptr) instrumentwindow->Update();
    if (songdetailswindow != nullptr) songdetailswindow->Reload();
    UpdateMachineMap();
}

void PlaylistWindow::MessageReceived(BMessage* message) {
    if (message->what == kRebuildGrid) {
        fRebuildPosted = false;
        fGrid->Update(song->solo_machine);
        return ShowSelection();
    }
    // Undo may come from any window's keys, and gestures end in any window: this one stays
    // where it is.
    if (EditCommand(message)) return;
    Activate();
    if (FileCommand(message) || MachineCommand(message) || WindowCommand(message)) return;
    switch (message->what) {
        case kPlay:
        case kLoop:
        case kSolo:
        case kRecord:
            return Transport(message);
        case kVolume:
            return SetPlayerVolume(fVolume->GetValue());
        case kTempo:
            return SetTempo();
        default:
            IEWindow::MessageReceived(message);
    }
}

bool PlaylistWindow::FileCommand(BMessage* message) {
    switch (message->what) {
        case kNew:
            if (fDocument.MaySetAside(*message)) fDocument.New();
            return true;
        case kSave:
            fDocument.SaveInPlace();
            return true;
        case kSaveAs:
            fDocument.ShowSavePanel();
            return true;
        case kOpenPanel:
            fDocument.ShowOpenPanel();
            return true;
        case kExportAudio:
            new ExportWindow(ExportWindow::Kind::kAudio);
            return true;
        case kExportMidi:
            new ExportWindow(ExportWindow::Kind::kMidi);
            return true;
        case B_SIMPLE_DATA: {
            BMessage open(*message);
            open.what = 'OPEN';
            fDocument.Open(&open);
            return true;
        }
        case 'OPEN':
            fDocument.Open(message);
            return true;
        case 'SAVE':
            fDocument.Save(message);
            return true;
        case B_CANCEL:
            fDocument.Cancelled();
            return true;
        default:
            return false;
    }
}

bool PlaylistWindow::EditCommand(const BMessage* message) {
    switch (message->what) {
        case kSettled:
            // Most gestures change nothing: the menu stays as it is.
            if (!fDocument.Commit()) return true;
            break;
        case kUndo:
            fDocument.Undo();
            break;
        case kRedo:
            fDocument.Redo();
            break;
        default:
            return false;
    }
    ShowEditNames();
    return true;
}

void PlaylistWindow::ShowEditNames() {
    BMenu* edit = Submenu(KeyMenuBar(), "Edit");
    if (BMenuItem* undo = edit->FindItem(kUndo)) {
        undo->SetLabel(fDocument.UndoLabel().c_str());
        undo->SetEnabled(fDocument.CanUndo());
    }
    if (BMenuItem* redo = edit->FindItem(kRedo)) {
        redo->SetLabel(fDocument.RedoLabel().c_str());
        redo->SetEnabled(fDocument.CanRedo());
    }
}

bool PlaylistWindow::MachineCommand(BMessage* message) {
    switch (message->what) {
        case kAddMachine:
            AddMachine(message);
            return true;
        case kRemoveMachine:
            RemoveMachine();
            return true;
        case kRename:
            Rename();
            return true;
        case 'COPY':
            Copy();
            return true;
        case 'PSTE':
            Paste();
            return true;
        case 'PBTN':
            Select(message);
            return true;
        case 'MBTN':
            Mute(message);
            return true;
        default:
            return false;
    }
}

bool PlaylistWindow::WindowCommand(BMessage* message) {
    switch (message->what) {
        case kInstrumentWindow:
            instrumentwindow->Show();
            return true;
        case kDetailsWindow:
        case kDetailsButton:
            songdetailswindow->Show();
            return true;
        case kMapWindow:
            ShowMachineMap();
            return true;
        case kAddonInfo:
            new AddonInfoWindow;
            return true;
        case kAbout:
            if (be_app != nullptr) be_app->PostMessage(B_ABOUT_REQUESTED);
            return true;
        case kHelp: {
            BPath manual(kManual);
            entry_ref ref(manual.Path());
            if (be_roster->Launch(&ref) != B_OK)
                ShowError("Can't open the user manual %s.", ref.path.c_str());
            return true;
        }
        default:
            return false;
    }
}

void PlaylistWindow::Transport(BMessage* message) {
    int32 value = 0;
    if (auto* control = dynamic_cast<BControl*>(FindView(message->what == kPlay   ? "btnPlay"
                                                         : message->what == kLoop ? "btnLoop"
                                                                                  : "btnSolo")))
        value = control->Value();
    switch (message->what) {
        case kPlay:
            return value == 1 ? song->Play() : song->Stop();
        case kLoop:
            song->loop = value == 1 ? 1 : 0;
            return;
        case kSolo:
            song->solo = value == 1 ? 1 : 0;
            return;
        default:
            return;
    }
}

void PlaylistWindow::SetTempo() {
    const int32 tempo = ParseTempo(fTempo->Text());
    // Under the song lock no step runs, so the new step length starts with the next one.
    lock->Lock();
    song->main_tempo = tempo;
    song->tempo = tempo;
    if (song->is_playing) UpdatePlayerTempo();
    lock->Unlock();
    fTempo->SetText(std::to_string(tempo).c_str());
    PostRebuild();
}

void PlaylistWindow::AddMachine(BMessage* message) {
    int32 nr = -1;
    message->FindInt32("nr", &nr);
    const char* name = nr >= 0 && nr < machine_roster.count ? machine_roster.GetName(nr) : nullptr;
    if (name == nullptr) return;
    if (song->num_machines >= Song::kMachineSlots)
        return ShowError("The song already holds %d machines, the most it can.",
                         Song::kMachineSlots);
    if (song->AddMachine(name) < 0)
        return ShowError("Can't create a machine of the add-on %s.", name);
    song->solo_machine = 1;
    ShowSelection();
    PostRebuild();
    UpdateMachineMap();
}

void PlaylistWindow::RemoveMachine() {
    Machine* machine = Selected();
    if (machine == nullptr) return;
    song->RemoveMachine(machine->ID);
    song->solo_machine = 1;
    ShowSelection();
    PostRebuild();
    UpdateMachineMap();
}

void PlaylistWindow::Rename() {
    Machine* machine = Selected();
    if (machine == nullptr) return ShowSelection();
    machine->SetName(fName->Text());
    PostRebuild();
    UpdateMachineMap();
}

void PlaylistWindow::Copy() {
    Machine* machine = Selected();
    if (machine == nullptr) return;
    fClipboard = BMessage();
    machine->Save(&fClipboard);
    fClipboardType = machine->addon_name;
}

void PlaylistWindow::Paste() {
    Machine* machine = Selected();
    if (fClipboard.IsEmpty() || machine == nullptr) return;
    if (fClipboardType != machine->addon_name)
        return ShowError("The pattern in the clipboard is\nnot of the same type.");
    {
        // Errors of the opening wait until the song lock is let go.
        DeferredErrors errors;
        lock->Lock();
        machine->DisconnectAll();
        machine->Open(&fClipboard);
        machine->position += BPoint(20, 20);
        machine->num_in_machines = 0;
        machine->num_out_machines = 0;
        lock->Unlock();
    }
    machine->Reopened();
    PostRebuild();
    UpdateMachineMap();
}

void PlaylistWindow::Select(BMessage* message) {
    int32 id = -1;
    message->FindInt32("patternnr", &id);
    Machine* machine = id > 0 ? song->MachineAt(id) : nullptr;
    if (machine == nullptr) return;
    song->solo_machine = id;
    machine->ShowWindow();
    ShowSelection();
}

void PlaylistWindow::Mute(BMessage* message) {
    int32 id = -1;
    void* button = nullptr;
    message->FindInt32("patternnr", &id);
    message->FindPointer("buttonobject", &button);
    Machine* machine = song->MachineAt(id);
    auto* mute = static_cast<BitmapStringButton*>(button);
    if (machine == nullptr || mute == nullptr) return;
    machine->mute = mute->Value() != 0 ? 1 : 0;
    UpdateMachineMap();
}

bool PlaylistWindow::QuitRequested() {
    if (!fDocument.MaySetAside(BMessage(B_QUIT_REQUESTED))) return false;
    song->Stop();
    // The program ends with its loop; the window is not torn down before.
    if (be_app != nullptr) be_app->Quit();
    return false;
}
