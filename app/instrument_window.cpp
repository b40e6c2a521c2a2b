#include "app/instrument_window.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

#include "app/scrolled_views.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "platform/interface/list_view.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_bar.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/string_item.h"
#include "platform/interface/text_control.h"

InstrumentWindow* instrumentwindow = nullptr;

namespace {

constexpr uint32 kRename = 156;
constexpr uint32 kSelect = four_cc("SELC");
constexpr uint32 kInvoke = four_cc("PROP");
constexpr uint32 kCreate = four_cc("crea");
constexpr uint32 kRefresh = four_cc("DATA");
constexpr const char* kUncreated = "<uncreated>";
// Ctrl+1 .. Ctrl+9.
constexpr int32 kShortcuts = 9;

// Sorted by name, so each add-on keeps its shortcut however the folder lists them.
std::vector<int32> ByName(const Roster& roster) {
    std::vector<int32> order(size_t(roster.count));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&roster](int32 a, int32 b) { return roster.names[a] < roster.names[b]; });
    return order;
}

}  // namespace

InstrumentWindow::InstrumentWindow() : IEWindow("InstrumentWindow") {
    Lock();
    fName = static_cast<BTextControl*>(FindView("txtName"));
    BuildAddMenu();
    BuildList();
    Unlock();
    Update();
    instrumentwindow = this;
}

InstrumentWindow::~InstrumentWindow() = default;

void InstrumentWindow::BuildAddMenu() {
    BMenu* menu = static_cast<BMenuBar*>(FindView("menubar"))->SubmenuAt(0);
    const std::vector<int32> order = ByName(instrument_roster);
    for (int32 n = 0; n < int32(order.size()); n++) {
        auto* message = new BMessage(kCreate);
        message->AddInt32("nr", order[n]);
        const std::string label = "Add " + instrument_roster.names[order[n]];
        menu->AddItem(new BMenuItem(label.c_str(), message, n < kShortcuts ? char('1' + n) : 0), n);
    }
}

void InstrumentWindow::BuildList() {
    BView* host = FindView("listview");
    fList = new BListView(ScrolledFrame(host), "ListView", B_SINGLE_SELECTION_LIST, B_FOLLOW_ALL);
    fList->SetSelectionMessage(new BMessage(kSelect));
    fList->SetInvocationMessage(new BMessage(kInvoke));
    for (int32 slot = 0; slot < Song::kInstrumentSlots; slot++) {
        fRows.push_back(std::make_unique<BStringItem>(""));
        fList->AddItem(fRows.back().get());
    }
    AddScrolled(host, fList);
}

void InstrumentWindow::Show() {
    Lock();
    if (IsHidden()) IEWindow::Show();
    Activate();
    Unlock();
}

void InstrumentWindow::Update() {
    Lock();
    fList->DeselectAll();
    for (int32 slot = 0; slot < Song::kInstrumentSlots; slot++) ShowRow(slot);
    ShowName(-1);
    Unlock();
}

bool InstrumentWindow::QuitRequested() {
    if (!IsHidden()) Hide();
    return false;
}

void InstrumentWindow::MessageReceived(BMessage* message) {
    const int32 slot = fList->CurrentSelection();
    switch (message->what) {
        case kSelect:
            if (slot >= 0) Select(slot);
            break;
        case kCreate:
            if (slot >= 0) Create(slot, *message);
            break;
        // Renames arrive when the field loses the focus, perhaps to another window: they
        // neither need a selection nor take the focus back.
        case kRename:
            CommitName();
            break;
        case kRefresh:
            if (slot >= 0) ShowRow(slot);
            break;
        default:
            IEWindow::MessageReceived(message);
    }
}

void InstrumentWindow::Select(int32 slot) {
    Activate();
    // An edit the field has not committed yet belongs to the instrument it showed.
    CommitName();
    ShowName(slot);
    if (fTarget != nullptr) fTarget->ShowWindow();
}

void InstrumentWindow::Create(int32 slot, const BMessage& request) {
    Activate();
    int32 addon = -1;
    request.FindInt32("nr", &addon);
    const char* name = instrument_roster.GetName(addon);
    Addon* made = name != nullptr ? instrument_roster.Create(name) : nullptr;
    auto* instrument = dynamic_cast<Instrument*>(made);
    if (instrument == nullptr) {
        delete made;
        ShowError("Can't create the instrument %s.", name != nullptr ? name : "");
        return;
    }
    song->PutInstrument(slot, instrument);
    ShowRow(slot);
    ShowName(slot);
    instrument->ShowWindow();
}

void InstrumentWindow::CommitName() {
    if (fTarget == nullptr || song->instruments[fTargetSlot] != fTarget) return;
    if (std::strcmp(fTarget->GetName(), fName->Text()) == 0) return;
    fTarget->SetName(fName->Text());
    ShowRow(fTargetSlot);
}

void InstrumentWindow::ShowName(int32 slot) {
    fTarget = slot >= 0 ? song->instruments[slot].load() : nullptr;
    fTargetSlot = fTarget != nullptr ? slot : -1;
    fName->SetText(fTarget != nullptr ? fTarget->GetName() : kUncreated);
    fName->SetEnabled(fTarget != nullptr);
}

void InstrumentWindow::ShowRow(int32 slot) {
    const Instrument* instrument = song->instruments[slot];
    fRows[size_t(slot)]->SetText(instrument != nullptr ? instrument->GetName() : "");
    fList->InvalidateItem(slot);
}
