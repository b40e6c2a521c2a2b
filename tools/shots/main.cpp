// velloran-shots BUILD_DIR SONG OUT_DIR MENUS: the user manual's pictures of the program's real
// windows, drawn on the offscreen display with SONG open in the main window, as PNG files in
// OUT_DIR; MENUS gets every menu item of the windows, for the test that the manual lists them.
#include <unistd.h>

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/about_window.h"
#include "app/addon_info_window.h"
#include "app/export_window.h"
#include "app/instrument_window.h"
#include "app/machine_map_window.h"
#include "app/playlist_window.h"
#include "app/song_details_window.h"
#include "engine/machine.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/list_view.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_bar.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/scroll_bar.h"

namespace {

namespace fs = std::filesystem;

int gErrors = 0;

// Any error the program would have shown makes a picture that is not what users see.
void CountError(const char* text) {
    std::fprintf(stderr, "velloran-shots: the program says: %s\n", text);
    ++gErrors;
}

// The picture with the native controls (menus, fields, lists), as the window shows on screen.
bool Shoot(BWindow* window, const fs::path& folder, const char* name) {
    gui_thread::ProcessEvents();
    window->Lock();
    const QImage image = window->Canvas()->grab().toImage();
    window->Unlock();
    const fs::path file = folder / name;
    if (image.isNull() || !image.save(QString::fromStdString(file.string()), "PNG")) {
        std::fprintf(stderr, "velloran-shots: can't write %s\n", file.c_str());
        return false;
    }
    return true;
}

std::string ShortcutText(const BMenuItem* item) {
    uint32 modifiers = 0;
    const char key = item->Shortcut(&modifiers);
    if (key == 0) return "";
    const std::string shift = (modifiers & B_SHIFT_KEY) != 0 ? "Shift+" : "";
    return "Ctrl+" + shift + char(std::toupper(static_cast<unsigned char>(key)));
}

// One line per item: window, menu, label and shortcut, separated by tabs.
void ListMenu(std::ofstream& out, const std::string& window, const BMenu* menu) {
    for (int32 i = 0; i < menu->CountItems(); i++) {
        const BMenuItem* item = menu->ItemAt(i);
        if (item->IsSeparator()) continue;
        out << window << '\t' << menu->Name() << '\t' << item->Label() << '\t' << ShortcutText(item)
            << '\n';
        if (item->Submenu() != nullptr) ListMenu(out, window, item->Submenu());
    }
}

void ListMenus(std::ofstream& out, IEWindow* window) {
    window->Lock();
    const auto* bar = dynamic_cast<BMenuBar*>(window->FindView("menubar"));
    for (int32 i = 0; bar != nullptr && i < bar->CountItems(); i++)
        ListMenu(out, window->LayoutName(), bar->SubmenuAt(i));
    window->Unlock();
}

bool OpenSong(const fs::path& path) {
    BMessage open('OPEN');
    const entry_ref ref(path.string());
    open.AddRef("refs", &ref);
    playlistwindow->PostMessage(&open);
    gui_thread::ProcessEvents();
    playlistwindow->Lock();
    const bool opened = playlistwindow->Document().FileName() == path.string();
    playlistwindow->Unlock();
    if (!opened) std::fprintf(stderr, "velloran-shots: can't open %s\n", path.c_str());
    return opened;
}

// The first machine's lane pressed, so its name shows in the field above the tempo.
void SelectFirstMachine() {
    BMessage select('PBTN');
    select.AddInt32("patternnr", 1);
    playlistwindow->PostMessage(&select);
}

// The window of the add-on's kind named by its title: add-ons' classes are theirs alone.
BWindow* WindowTitled(const char* title) {
    BWindow* found = nullptr;
    looper_registry::ForEachGuiLooper([&](BLooper* looper) {
        auto* window = dynamic_cast<BWindow*>(looper);
        if (window != nullptr && std::strcmp(window->Title(), title) == 0) found = window;
    });
    return found;
}

// The instrument window with the first of the song's instruments whose window has the title
// selected, which opens that window.
BWindow* SelectInstrument(const char* title) {
    instrumentwindow->Show();
    gui_thread::ProcessEvents();
    for (int32 slot = 0; slot < Song::kInstrumentSlots; slot++) {
        Instrument* instrument = song->instruments[slot].load();
        if (instrument == nullptr) continue;
        instrumentwindow->Lock();
        dynamic_cast<BListView*>(instrumentwindow->FindView("ListView"))->Select(slot);
        instrumentwindow->Unlock();
        gui_thread::ProcessEvents();
        if (BWindow* shown = WindowTitled(title); shown != nullptr && !shown->IsHidden())
            return shown;
    }
    std::fprintf(stderr, "velloran-shots: no %s window\n", title);
    return nullptr;
}

// Shows the window of the demo's machine of that name, as its name button does.
void ShowMachine(const char* name) {
    for (int32 i = 0; i < Song::kMachineSlots; i++) {
        Machine* machine = song->MachineAt(i);
        if (machine != nullptr && std::strcmp(machine->GetName(), name) == 0) machine->ShowWindow();
    }
    gui_thread::ProcessEvents();
}

// A pattern editor shows the machine's name as its title.
BWindow* PatternWindowOf(const char* name) {
    ShowMachine(name);
    BWindow* shown = WindowTitled(name);
    if (shown == nullptr)
        std::fprintf(stderr, "velloran-shots: no window for the demo's %s\n", name);
    return shown;
}

// The demo's Echo pipe with two more effects dropped in, and its first effect's parameters.
bool ShootPipe(const fs::path& folder) {
    ShowMachine("Echo");
    BWindow* pipe = WindowTitled("Effectpipe");
    if (pipe == nullptr) {
        std::fputs("velloran-shots: no pipe window for the demo's Echo\n", stderr);
        return false;
    }
    for (const char* name : {"GainPan", "LowPass"}) {
        BMessage drop('ednd');
        drop.AddString("EffectTypeName", name);
        pipe->PostMessage(&drop);
    }
    gui_thread::ProcessEvents();
    bool written = Shoot(pipe, folder, "effect_pipe_window.png");
    // A click on the first effect's name opens its parameters.
    pipe->Lock();
    const BPoint name =
        pipe->FindView("View1")->FindView("ListView")->ConvertToWindow(BPoint(40, 8));
    pipe->DeliverMouseDown(name, B_PRIMARY_MOUSE_BUTTON);
    pipe->DeliverMouseUp(name);
    pipe->Unlock();
    gui_thread::ProcessEvents();
    BWindow* parameters = WindowTitled("StereoEcho");
    if (parameters == nullptr)
        std::fputs("velloran-shots: no StereoEcho parameter window\n", stderr);
    written &= parameters != nullptr && Shoot(parameters, folder, "effect_window.png");
    return written;
}

// The pattern editor showing the demo's drums and keys, and its colour picker, which waits in
// a loop of its own: it is drawn from inside that loop, then closed.
bool ShootPatternEditor(const fs::path& folder, std::ofstream& menus) {
    BWindow* drums = PatternWindowOf("Drums");
    if (drums == nullptr) return false;
    // The hi-hats' track, with the drums' notes (36 to 49) scrolled into view.
    BMessage hats('TBTN');
    hats.AddInt32("tracknr", 2);
    drums->PostMessage(&hats);
    gui_thread::ProcessEvents();
    drums->Lock();
    if (auto* notes = dynamic_cast<BScrollBar*>(drums->FindView("YScrollBar2")))
        notes->SetValue(70);
    drums->Unlock();
    if (auto* editor = dynamic_cast<IEWindow*>(drums)) ListMenus(menus, editor);
    bool written = Shoot(drums, folder, "pattern_window_drums.png");
    BWindow* keys = PatternWindowOf("Keys");
    written &= keys != nullptr && Shoot(keys, folder, "pattern_window_keys.png");
    if (keys == nullptr) return false;
    bool picked = false;
    QTimer::singleShot(300, [&] {
        BWindow* picker = WindowTitled("ColorPicker");
        picked = picker != nullptr && Shoot(picker, folder, "color_picker.png");
        if (picker != nullptr) picker->PostMessage(B_QUIT_REQUESTED);
    });
    BMessage pick('colr');
    pick.AddPoint("where", keys->Frame().LeftTop() + BPoint(420, 10));
    keys->PostMessage(&pick);
    gui_thread::ProcessEvents();
    if (!picked) std::fputs("velloran-shots: no colour picker\n", stderr);
    return written && picked;
}

bool ShootAll(const fs::path& song_path, const fs::path& folder, std::ofstream& menus) {
    playlistwindow = new PlaylistWindow;
    if (!OpenSong(song_path)) return false;
    SelectFirstMachine();
    ListMenus(menus, playlistwindow);
    ListMenus(menus, instrumentwindow);
    ListMenus(menus, machinemapwindow);
    bool written = Shoot(playlistwindow, folder, "main_window.png");
    // Selecting an instrument opens its window; the demo's first is a Midi one.
    BWindow* midi = SelectInstrument("Midi instrument");
    written &= Shoot(instrumentwindow, folder, "instrument_window.png");
    written &= midi != nullptr && Shoot(midi, folder, "midi_window.png");
    for (const auto& [title, file] : {std::pair{"Synth instrument", "synth_window.png"},
                                      std::pair{"Sampler", "sampler_window.png"}}) {
        BWindow* shown = SelectInstrument(title);
        written &= shown != nullptr && Shoot(shown, folder, file);
    }
    written &= Shoot(machinemapwindow, folder, "machine_map_window.png");
    written &= ShootPipe(folder);
    written &= ShootPatternEditor(folder, menus);
    songdetailswindow->Show();
    written &= Shoot(songdetailswindow, folder, "song_details_window.png");
    written &= Shoot(new AddonInfoWindow, folder, "addon_info_window.png");
    written &= Shoot(new AboutWindow, folder, "about_window.png");
    written &= Shoot(new ExportWindow(ExportWindow::Kind::kAudio), folder, "export_window.png");
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("Usage: velloran-shots BUILD_DIR SONG OUT_DIR MENUS\n", stderr);
        return 2;
    }
    // Named before the folder changes, as the program resolves its command line.
    const fs::path song_path = fs::absolute(argv[2]);
    const fs::path folder = fs::absolute(argv[3]);
    std::ofstream menus(fs::absolute(argv[4]));
    fs::create_directories(folder);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VELLORAN_AUDIO", "null", 1);
    // The add-ons are found as the program finds them, beside it.
    if (chdir(argv[1]) != 0) {
        std::perror("velloran-shots: the build folder");
        return 1;
    }
    gui_thread::Start();
    SetErrorPresenter(CountError);
    instrument_roster.Scan("instruments");
    machine_roster.Scan("machines");
    importer_roster.Scan("importers");
    new Song;
    const bool written = ShootAll(song_path, folder, menus);
    menus.close();
    const int status = written && menus && gErrors == 0 ? 0 : 1;
    // As the program does: nothing is torn down, the song's threads end with the process.
    std::fflush(nullptr);
    _exit(status);
}
