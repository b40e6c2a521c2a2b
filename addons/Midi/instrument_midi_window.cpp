#include "addons/Midi/instrument_midi_window.h"

#include <algorithm>
#include <cstdlib>

#include "addons/Midi/gm_names.h"
#include "addons/Midi/instrument_midi.h"
#include "platform/interface/font.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_field.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/text_control.h"
#include "platform/midi/midi_port.h"
#include "platform/storage/image_path.h"
#include "platform/storage/resources.h"

namespace {

constexpr type_code kLayoutType = four_cc("ARCV");
constexpr int32 kChannels = 16;

InstrumentMidiWindow::PortLister gPortLister = &InstrumentMidiWindow::SystemPorts;

template <class View>
View* Find(BWindow* window, const char* name) {
    return dynamic_cast<View*>(window->FindView(name));
}

BMenuItem* Item(const char* label, uint32 command, const char* key, int32 nr) {
    auto* message = new BMessage(command);
    message->AddInt32(key, nr);
    return new BMenuItem(label, message);
}

// The field's button names label, whether or not an item of its menu is marked.
void NameOnButton(BMenuField* field, const std::string& label) {
    field->MenuItem()->SetLabel(label.c_str());
    field->Menu()->ItemChanged();
}

// Marks the item labelled label, or none, and names label on the button either way.
void MarkAndName(BMenuField* field, const std::string& label) {
    BMenu* menu = field->Menu();
    for (int32 i = 0; i < menu->CountItems(); i++)
        menu->ItemAt(i)->SetMarked(label == menu->ItemAt(i)->Label());
    NameOnButton(field, label);
}

std::string ProgramName(int32 program) {
    return program >= 0 && program < kGmPrograms ? gm_names[program] : std::to_string(program);
}

}  // namespace

InstrumentMidiWindow::InstrumentMidiWindow(InstrumentMidi* instrument, BResources* resources)
    : IEWindow(kLayout, resources), fInstrument(instrument) {
    Lock();
    fTimeOffset = Find<BTextControl>(this, "txtTimeOfs");
    fChannelField = Find<BMenuField>(this, "mnuChannel");
    fPortField = Find<BMenuField>(this, "mnuPort");
    fProgramField = Find<BMenuField>(this, "mnuGM");

    for (int32 k = 1; k <= kChannels; k++)
        fChannelField->Menu()->AddItem(Item(std::to_string(k).c_str(), kChannel, "nr", k));

    for (int32 family = 0, program = 0; family < kGmFamilies; family++) {
        auto* submenu = new BMenu(gm_nametitles[family], B_ITEMS_IN_COLUMN);
        fProgramField->Menu()->AddItem(submenu);
        submenu->SetFont(be_plain_font);
        for (int32 i = 0; i < kGmPrograms / kGmFamilies; i++, program++)
            submenu->AddItem(Item(gm_names[program], kProgram, "nr", program));
    }
    Unlock();
    Show();
}

void InstrumentMidiWindow::Edit(InstrumentMidi* instrument) {
    Lock();
    // Typed for the instrument shown, and left without Enter: it is that instrument's.
    if (fInstrument != nullptr && fShownOffset != fTimeOffset->Text()) CommitTimeOffset();
    fInstrument = instrument;
    Show();
    Unlock();
}

void InstrumentMidiWindow::Refresh(InstrumentMidi* instrument) {
    Lock();
    if (fInstrument == instrument && !IsHidden()) ShowValues();
    Unlock();
}

void InstrumentMidiWindow::Forget(InstrumentMidi* instrument) {
    Lock();
    if (fInstrument == instrument) {
        fInstrument = nullptr;
        if (!IsHidden()) Hide();
    }
    Unlock();
}

void InstrumentMidiWindow::Show() {
    Lock();
    if (IsHidden()) IEWindow::Show();
    if (fInstrument != nullptr) ShowValues();
    Unlock();
}

void InstrumentMidiWindow::ShowValues() {
    fShownOffset = std::to_string(fInstrument->syncofs.load());
    fTimeOffset->SetText(fShownOffset.c_str());
    MarkAndName(fChannelField, std::to_string(fInstrument->channel.load()));
    ListPorts();
    MarkAndName(fPortField, fInstrument->PortName());
    // Only the button names the program: no item of the menu is marked for it.
    NameOnButton(fProgramField, ProgramName(fInstrument->prognum));
}

void InstrumentMidiWindow::ListPorts() {
    BMenu* menu = fPortField->Menu();
    menu->RemoveItems(0, menu->CountItems(), true);
    std::vector<std::string> ports = gPortLister();
    ports.emplace_back(InstrumentMidi::kDefaultPort);
    for (std::string& name : ports) {
        // Named as the instrument would store it, so that its own port is found and marked.
        name = InstrumentMidi::StoredPortName(name.c_str());
        auto* message = new BMessage(kPort);
        message->AddString("name", name);
        menu->AddItem(new BMenuItem(name.c_str(), message));
    }
}

void InstrumentMidiWindow::MessageReceived(BMessage* message) {
    int32 nr = 0;
    switch (message->what) {
        case kProgram:
            if (fInstrument == nullptr || message->FindInt32("nr", &nr) != B_OK) return;
            fInstrument->prognum = std::clamp<int32>(nr, 0, kGmPrograms - 1);
            NameOnButton(fProgramField, ProgramName(fInstrument->prognum));
            return;
        case kTimeOffset:
            if (fInstrument != nullptr) CommitTimeOffset();
            return;
        case kChannel:
            if (fInstrument == nullptr || message->FindInt32("nr", &nr) != B_OK) return;
            fInstrument->channel = std::clamp<int32>(nr, 1, kChannels);
            MarkAndName(fChannelField, std::to_string(fInstrument->channel.load()));
            return;
        case kPort: {
            if (fInstrument == nullptr) return;
            // No name, or an empty one, is the internal synthesizer.
            const char* name = nullptr;
            message->FindString("name", &name);
            fInstrument->SetPort(name);
            MarkAndName(fPortField, fInstrument->PortName());
            return;
        }
        default:
            IEWindow::MessageReceived(message);
    }
}

// Leading sign and digits as atoi reads them, no digits giving 0; held to the offsets the
// instrument opens with, even when the digits overflow.
void InstrumentMidiWindow::CommitTimeOffset() {
    const long long typed = std::strtoll(fTimeOffset->Text(), nullptr, 10);
    fInstrument->syncofs = int32(std::clamp<long long>(typed, -InstrumentMidi::kMaxSyncOffset,
                                                       InstrumentMidi::kMaxSyncOffset));
    fShownOffset = std::to_string(fInstrument->syncofs.load());
    fTimeOffset->SetText(fShownOffset.c_str());
}

bool InstrumentMidiWindow::QuitRequested() {
    Hide();
    return false;
}

void InstrumentMidiWindow::SetPortLister(PortLister lister) {
    gPortLister = lister != nullptr ? lister : &SystemPorts;
}

std::vector<std::string> InstrumentMidiWindow::SystemPorts() {
    std::vector<std::string> ports;
    const int32 count = BMidiPort::CountDevices();
    for (int32 i = 0; i < count; i++) {
        // Room for more than the instrument keeps: the menu cuts names where it does.
        char name[256];
        if (BMidiPort::GetDeviceName(i, name, sizeof name) == B_OK && name[0] != '\0')
            ports.push_back(name);
    }
    return ports;
}

InstrumentMidiWindow* CreateInstrumentWindow(InstrumentMidi* instrument) {
    // The add-on's own file, wherever it was loaded from: gm_names lies in its image.
    BPath path;
    BResources resources;
    if (get_image_path(gm_names, &path) != B_OK || resources.SetTo(path.Path()) != B_OK ||
        !resources.HasResource(kLayoutType, InstrumentMidiWindow::kLayout)) {
        return nullptr;
    }
    return new InstrumentMidiWindow(instrument, &resources);
}
