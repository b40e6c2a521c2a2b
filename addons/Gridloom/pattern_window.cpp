#include "addons/Gridloom/pattern_window.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "addons/Gridloom/addon_resources.h"
#include "addons/Gridloom/bar_split_pane.h"
#include "addons/Gridloom/color_picker_view.h"
#include "addons/Gridloom/color_view.h"
#include "addons/Gridloom/modifier_container.h"
#include "addons/Gridloom/note_container.h"
#include "addons/Gridloom/number_box.h"
#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/track_container.h"
#include "addons/Gridloom/track_status_view.h"
#include "addons/Gridloom/tracker_globals.h"
#include "addons/Gridloom/x_scroll_bar.h"
#include "engine/instrument.h"
#include "engine/song.h"
#include "platform/interface/font.h"
#include "platform/interface/menu_bar.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/pop_up_menu.h"
#include "platform/interface/scroll_bar.h"
#include "platform/storage/resources.h"
#include "ui/bitmap_string_button.h"

namespace {

constexpr type_code kLayoutType = four_cc("ARCV");
constexpr const char* kLayouts[] = {"PatternWindow", "StepsView", "TrackContainer", "NoteContainer",
                                    "ModifierContainer"};

constexpr rgb_color kPanel = {216, 216, 216, 255};
constexpr float kMenuHeight = 20;
// The modifier area's room below the note area, and how far it reaches up into it.
constexpr float kModifierRoom = 61;
constexpr float kModifierRise = 59;
constexpr int32 kMinTrackArea = 59;
constexpr int32 kMinNoteArea = 58;
constexpr int32 kBarPosition = 105;
constexpr int32 kBarThickness = 13;

constexpr uint32 kFirstInstrument = 1000;
constexpr uint32 kRebuild = 'PWup';
enum : uint32 {
    kAddTrack = 15,
    kRemoveTrack = 19,
    kAddAll = 74,
    kPastePage = 142,
    kCopyPage = 144,
    kTrackUp = 162,
    kTrackDown = 164,
    kPageUp = 167,
    kPageDown = 169,
    kCopyTrack = 'COPY',
    kPasteTrack = 'PSTE',
    kSteps = 'step',
    kMeasures = 'meas',
    kPages = 'page',
    kNoGroove = 'gr00',
    kGroove1 = 'gr01',
    kGroove2 = 'gr02',
};

// Commands a held key must not repeat: one press, one track added, removed or pasted.
bool OncePerPress(uint32 what) {
    return what == kAddTrack || what == kRemoveTrack || what == kAddAll || what == kPasteTrack ||
           what == kPastePage;
}

bool Repeated(const BMessage* message) {
    int32 repeat = 0;
    return message->FindInt32("be:key_repeat", &repeat) == B_OK && repeat > 0;
}

// Read once, on the first window, and kept for the image's life.
BResources* winresource = nullptr;
BPopUpMenu* instrumentmenu = nullptr;

// The add-on's resources once they hold every layout the window is built from.
BResources* OpenOwnResources() {
    BResources* resources = AddonResources();
    for (const char* layout : kLayouts) {
        if (resources == nullptr || !resources->HasResource(kLayoutType, layout)) return nullptr;
    }
    return resources;
}

std::unique_ptr<BMessage> StoredLayout(const char* name, BResources* resources) {
    return std::unique_ptr<BMessage>(FindWindowResource(name, resources));
}

bool InSong(const Machine* machine) {
    for (int32 i = 0; i < song->num_machines; i++) {
        if (song->machines[i] == machine) return true;
    }
    return false;
}

}  // namespace

PatternWindow* CreatePatternWindow() {
    if (winresource == nullptr) winresource = OpenOwnResources();
    return winresource != nullptr ? new PatternWindow(winresource) : nullptr;
}

PatternWindow::PatternWindow(BResources* resources) : IEWindow(kLayouts[0], resources) {
    Lock();
    InstrumentMenu();
    currtrack = 0;
    currpage = 0;
    // Ctrl+"+" needs Shift on many layouts, which makes it Ctrl+Shift+"+", another item.
    AddShortcut('=', 0, new BMessage(kAddTrack));
    BuildStepsView(resources);
    BuildAreas(resources);
    Show();
    Update();
    Unlock();
}

PatternWindow::~PatternWindow() {
    if (patternwindow == this) patternwindow = nullptr;
}

BPopUpMenu* PatternWindow::InstrumentMenu() {
    if (instrumentmenu == nullptr) {
        instrumentmenu = new BPopUpMenu("Popup menu", false, false);
        instrumentmenu->SetFont(be_plain_font);
    }
    return instrumentmenu;
}

void PatternWindow::BuildStepsView(BResources* resources) {
    // Qt's menu bar is a native widget that would cover a view inside it: the strip sits
    // beside it, where the layout puts it.
    auto* strip = new BView(StoredLayout("StepsView", resources).get());
    AddChild(strip);
    fSteps = PlaceNumber(strip, "steps", 8, 4, 32, kSteps);
    fMeasures = PlaceNumber(strip, "measures", 4, 1, 8, kMeasures);
    fPage = PlaceNumber(strip, "page", 1, 1, 128, kPages);
    fPages = PlaceNumber(strip, "num_pages", 1, 1, 128, kPages);
    BView* place = strip->FindView("color");
    fColor = new ColorView(place->Bounds());
    place->AddChild(fColor);
}

NumberBox* PatternWindow::PlaceNumber(BView* strip, const char* place, int32 value, int32 minimum,
                                      int32 maximum, uint32 what) {
    BView* host = strip->FindView(place);
    auto* box = new NumberBox(host->Bounds(), value, minimum, maximum, new BMessage(what));
    host->AddChild(box);
    return box;
}

void PatternWindow::BuildAreas(BResources* resources) {
    fTracks = new TrackContainer(StoredLayout("TrackContainer", resources).get());
    fNotes = new NoteContainer(StoredLayout("NoteContainer", resources).get());
    fModifiers = new ModifierContainer(resources);
    KeepScrollBar(fTracks);
    KeepScrollBar(fNotes);
    KeepScrollBar(fModifiers);
    const float areas = fTracks->Frame().Height() + fNotes->Frame().Height();
    const float height = kMenuHeight + areas + fModifiers->Frame().Height();
    const float width = Bounds().Width();
    ResizeTo(width, kMenuHeight + areas + kModifierRoom);
    fModifiers->MoveTo(0, height - kModifierRise);
    fModifiers->ResizeTo(width, fModifiers->Bounds().Height());
    fModifiers->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
    AddChild(fModifiers);

    auto* main = new BView(BRect(0, kMenuHeight, width, kMenuHeight + areas), "MainView",
                           B_FOLLOW_ALL, B_WILL_DRAW);
    main->SetViewColor(kPanel);
    fSplit = new BarSplitPane(main->Bounds(), fTracks, fNotes, B_FOLLOW_ALL);
    fSplit->SetMinSizeOne(kMinTrackArea);
    fSplit->SetMinSizeTwo(kMinNoteArea);
    fSplit->SetBarThickness(kBarThickness);
    fSplit->SetAlignment(B_HORIZONTAL);
    fSplit->SetBarPosition(kBarPosition);
    main->AddChild(fSplit);
    AddChild(main);
}

void PatternWindow::KeepScrollBar(BView* area) {
    if (auto* bar = dynamic_cast<BScrollBar*>(area->FindView("XScrollBar")))
        fScrollBars.push_back(bar);
}

void PatternWindow::Update() {
    Fill(0, 0, true);
}

void PatternWindow::Refresh() {
    if (currpat == nullptr) return;
    Fill(std::clamp(currtrack, int32(0), std::max(currpat->num_tracks - 1, int32(0))),
         std::clamp(currpage, int32(0), currpat->num_pages.load() - 1), false);
}

void PatternWindow::Fill(int32 track, int32 page, bool show) {
    if (!Lock()) return;
    currtrack = track;
    currpage = page;
    if (currpat != nullptr) {
        SetTitle(currpat->GetName());
        fSteps->SetValue(currpat->step_per_measure);
        fMeasures->SetValue(currpat->num_measures);
        fPage->SetMaximum(currpat->num_pages);
        fPage->SetValue(page + 1);
        fPages->SetValue(currpat->num_pages);
        fColor->SetColor(currpat->color);
        MarkGroove(currpat->groove);
    }
    if (show && IsHidden()) Show();
    UpdateAreas();
    Unlock();
}

void PatternWindow::UpdateAreas() {
    fTracks->Update(InstrumentMenu());
    fNotes->Update();
    fModifiers->Update();
    fSplit->Invalidate();
}

void PatternWindow::Redraw() {
    if (!Lock()) return;
    fTracks->Redraw();
    fNotes->Redraw();
    fModifiers->Redraw();
    fSplit->Invalidate();
    Unlock();
}

void PatternWindow::RedrawSpecific(int column, int note) {
    if (!Lock()) return;
    fNotes->Grid()->RedrawSpecific(column, note);
    fModifiers->RedrawSpecific(column);
    Unlock();
}

bool PatternWindow::QuitRequested() {
    Hide();
    return false;
}

Track* PatternWindow::CurrentTrack() const {
    if (currpat == nullptr || currtrack < 0 || currtrack >= currpat->num_tracks) return nullptr;
    return currpat->tracks[currtrack];
}

void PatternWindow::MessageReceived(BMessage* message) {
    const uint32 what = message->what;
    if (what >= kFirstInstrument && what < kFirstInstrument + Song::kInstrumentSlots)
        return ChooseInstrument(message);
    if (OncePerPress(what) && Repeated(message)) return;
    if (TrackCommand(message) || PageCommand(message)) return;
    if (what == kRebuild) return Update();
    IEWindow::MessageReceived(message);
}

bool PatternWindow::TrackCommand(const BMessage* message) {
    switch (message->what) {
        case kAddTrack:
            AddTrack();
            return true;
        case kRemoveTrack:
            RemoveTrack();
            return true;
        case kAddAll:
            AddTracksForAllInstruments();
            return true;
        case kTrackUp:
            TransposeTrack(1);
            return true;
        case kTrackDown:
            TransposeTrack(-1);
            return true;
        case kCopyTrack:
            CopyTrack();
            return true;
        case kPasteTrack:
            PasteTrack();
            return true;
        case TrackContainer::kSelect:
            SelectTrack(message);
            return true;
        case TrackContainer::kMute:
            Mute(message);
            return true;
        default:
            return false;
    }
}

bool PatternWindow::PageCommand(const BMessage* message) {
    switch (message->what) {
        case kPageUp:
            TransposePage(1);
            return true;
        case kPageDown:
            TransposePage(-1);
            return true;
        case kCopyPage:
            CopyPage();
            return true;
        case kPastePage:
            PastePage();
            return true;
        case kSteps:
        case kMeasures:
            SetSteps();
            return true;
        case kPages:
            SetPages();
            return true;
        case kNoGroove:
        case kGroove1:
        case kGroove2:
            SetGroove(int32(message->what - kNoGroove));
            return true;
        case gridloom::XScrollBar::kScrolled:
            Scroll(message);
            return true;
        case ColorView::kPick:
            PickColor(message);
            return true;
        default:
            return false;
    }
}

void PatternWindow::AddTrack() {
    if (currpat == nullptr || currpat->AddTrack() < 0) return;
    fTracks->Update(InstrumentMenu());
    fModifiers->Update();
}

void PatternWindow::RemoveTrack() {
    if (CurrentTrack() == nullptr) return;
    currpat->RemoveTrack(currtrack);
    currtrack = 0;
    Update();
}

void PatternWindow::AddTracksForAllInstruments() {
    if (currpat == nullptr) return;
    currpat->AddTracksForAllInstruments();
    fTracks->Update(InstrumentMenu());
    fModifiers->Update();
}

void PatternWindow::TransposeTrack(int delta) {
    if (Track* track = CurrentTrack()) {
        track->Transpose(currpage, delta);
        fNotes->Redraw();
    }
}

void PatternWindow::TransposePage(int delta) {
    if (currpat == nullptr) return;
    currpat->Transpose(currpage, delta);
    fNotes->Redraw();
}

void PatternWindow::CopyTrack() {
    if (const Track* track = CurrentTrack()) {
        fClipboard.MakeEmpty();
        track->Save(&fClipboard);
    }
}

void PatternWindow::PasteTrack() {
    if (fClipboard.IsEmpty() || CurrentTrack() == nullptr) return;
    currpat->PasteTrack(currtrack, fClipboard);
    Update();
}

void PatternWindow::CopyPage() {
    if (currpat == nullptr) return;
    fPageClipboard.MakeEmpty();
    currpat->CopyPage(currpage, &fPageClipboard);
}

void PatternWindow::PastePage() {
    if (currpat == nullptr || fPageClipboard.IsEmpty()) return;
    currpat->PastePage(currpage, fPageClipboard);
    Redraw();
}

void PatternWindow::ChooseInstrument(const BMessage* message) {
    Track* track = CurrentTrack();
    int32 slot = 0;
    if (track == nullptr || message->FindInt32("instrumentnr", &slot) != B_OK) return;
    track->SetInstrument(slot);
    // The choice comes from a track button's pop-up, and the rebuild deletes that button.
    PostMessage(kRebuild);
}

void PatternWindow::SelectTrack(const BMessage* message) {
    int32 track = 0;
    if (currpat == nullptr || message->FindInt32("tracknr", &track) != B_OK) return;
    if (track < 0 || track >= currpat->num_tracks) return;
    currtrack = track;
    Redraw();
    fModifiers->Update();
    RebuildInstrumentMenu();
}

void PatternWindow::RebuildInstrumentMenu() {
    BPopUpMenu* menu = InstrumentMenu();
    menu->RemoveItems(0, menu->CountItems(), true);
    for (int32 slot = 0; slot < Song::kInstrumentSlots; slot++) {
        const Instrument* instrument = song->instruments[slot].load();
        if (instrument == nullptr) continue;
        char label[300];
        std::snprintf(label, sizeof label, "Instrument %d : %s", int(slot + 1),
                      instrument->GetName());
        auto* choice = new BMessage(kFirstInstrument + uint32(slot));
        choice->AddInt32("instrumentnr", slot);
        menu->AddItem(new BMenuItem(label, choice));
    }
}

void PatternWindow::Mute(const BMessage* message) {
    int32 track = 0;
    void* button = nullptr;
    if (currpat == nullptr || message->FindInt32("tracknr", &track) != B_OK ||
        message->FindPointer("buttonobject", &button) != B_OK)
        return;
    if (track < 0 || track >= currpat->num_tracks) return;
    currpat->tracks[track]->mute = static_cast<BitmapStringButton*>(button)->Value();
}

void PatternWindow::Scroll(const BMessage* message) {
    float value = 0;
    if (message->FindFloat("value", &value) != B_OK) return;
    xofs = value;
    for (BScrollBar* bar : fScrollBars) bar->SetValue(xofs);
    Redraw();
}

void PatternWindow::PickColor(const BMessage* message) {
    BPoint where;
    if (currpat == nullptr || message->FindPoint("where", &where) != B_OK) return;
    PatternTracker* machine = currpat;
    rgb_color color = machine->color;
    if (!RunColorPicker(where - BPoint(100, 10), &color)) return;
    // The picker ran a nested loop, in which the song may have dropped the machine.
    if (machine != currpat || !InSong(machine)) return;
    machine->color = color;
    fColor->SetColor(color);
    Redraw();
    RedrawLane(machine);
}

// The menu shows the groove of the machine shown, which the last one's choice may not be.
void PatternWindow::MarkGroove(int32 groove) {
    auto* bar = dynamic_cast<BMenuBar*>(FindView("menubar"));
    BMenuItem* item = bar != nullptr ? bar->FindItem(kNoGroove + uint32(groove)) : nullptr;
    if (item != nullptr) item->SetMarked(true);
}

void PatternWindow::SetGroove(int32 groove) {
    if (currpat != nullptr) currpat->groove = groove;
}

void PatternWindow::SetSteps() {
    if (currpat == nullptr) return;
    currpat->step_per_measure = fSteps->Value();
    currpat->num_measures = fMeasures->Value();
    RedrawLane(currpat);
    Redraw();
}

void PatternWindow::SetPages() {
    if (currpat == nullptr) return;
    currpat->num_pages = fPages->Value();
    // Pages past the count are not saved, so the page shown comes back into range.
    fPage->SetMaximum(fPages->Value());
    currpage = fPage->Value() - 1;
    Redraw();
}

void PatternWindow::RedrawLane(PatternTracker* machine) {
    BView* lane = machine->view;
    BWindow* window = lane != nullptr ? lane->Window() : nullptr;
    if (window == nullptr || !window->Lock()) return;
    lane->Invalidate();
    window->Unlock();
}
