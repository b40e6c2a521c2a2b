#include "addons/Midi/instrument_midi.h"

#include <algorithm>
#include <string>

#include "addons/Midi/instrument_midi_window.h"
#include "addons/common/saved_field.h"
#include "engine/finite_values.h"
#include "engine/midi_connections.h"
#include "engine/player.h"
#include "engine/show_error.h"

namespace {

enum { kVolume, kController1 };

ModifierInfo minfo[] = {
    {"Volume", 0.0f, 1.0f, 0.7f},
    {"Controller 1", 0.0f, 128.0f, 64.0f},
};
ModifierInfoList minfolist = {2, minfo};

constexpr uint32 kNoteLengthMs = 100;

// The add-on's one window, shared by every Midi instrument; made on the first ShowWindow and
// kept as long as the add-on image. Read by destructors on whatever thread frees a song slot.
std::atomic<InstrumentMidiWindow*> window{nullptr};

float ValueOf(const NoteInfo& note, int index) {
    return note.modifiers != nullptr ? note.modifiers->GetVal(index) : minfo[index].def;
}

// Held at the ends of a data byte's range: the platform keeps only seven bits, which would
// turn the top of "Controller 1" (128) into 0.
uchar DataByte(double value) {
    return uchar(ClampToInt(value, 0, 127));
}

// At most max bytes of text, never ending inside a UTF-8 character.
size_t CutLength(const char* text, size_t max) {
    size_t length = std::char_traits<char>::length(text);
    if (length <= max) return length;
    while (max > 0 && (uchar(text[max]) & 0xc0) == 0x80) max--;
    return max;
}

}  // namespace

InstrumentMidi::InstrumentMidi() {
    SetName("Midi");
    SetPort(kDefaultPort);
}

ModifierInfoList* InstrumentMidi::GetModifierInfoList() {
    return &minfolist;
}

InstrumentMidi::~InstrumentMidi() {
    if (InstrumentMidiWindow* shown = window.load()) shown->Forget(this);
}

void InstrumentMidi::Reopened() {
    if (InstrumentMidiWindow* shown = window.load()) shown->Refresh(this);
}

void InstrumentMidi::ShowWindow() {
    InstrumentMidiWindow* shown = window.load();
    if (shown == nullptr) {
        shown = CreateInstrumentWindow(this);
        if (shown == nullptr) {
            ShowError("The Midi instrument's window is missing from its add-on file.");
            return;
        }
        window = shown;
    }
    shown->Edit(this);
}

void InstrumentMidi::Process(float*, float*, long, NoteInfo* note) {
    if (note->time != 0.0f) return;
    const uint32 t = uint32(FILLBUFFER_TIME) + uint32(int32(note->offset / 44100.0 * 1000.0)) +
                     uint32(int32(syncofs));
    // Scaled in double: the float nearest 0.7 lies just below it, so the default gives 69.
    const uchar velocity = DataByte(double(ValueOf(*note, kVolume)) * 100.0);
    const uchar controller = DataByte(ValueOf(*note, kController1));
    const uchar chan = uchar(channel);
    // A key past the data range would be read as a status byte.
    if (note->note < 0 || note->note > 127) return;
    const uchar key = uchar(note->note);
    MyMidi* out = port;
    out->ProgramChange(chan, uchar(prognum), t);
    out->ControlChange(chan, 1, controller, t);
    out->NoteOn(chan, key, velocity, t);
    out->NoteOff(chan, key, velocity, t + kNoteLengthMs);
}

std::string InstrumentMidi::StoredPortName(const char* wanted) {
    if (wanted == nullptr || wanted[0] == '\0') wanted = kDefaultPort;
    return std::string(wanted, CutLength(wanted, kPortNameSize - 1));
}

void InstrumentMidi::SetPort(const char* wanted) {
    const std::string stored = StoredPortName(wanted);
    {
        std::lock_guard<std::mutex> hold(port_lock);
        std::copy_n(stored.data(), stored.size(), port_name);
        std::fill(port_name + stored.size(), port_name + kPortNameSize, '\0');
    }
    // A single word: a note the player sends meanwhile goes to the old port or the new one.
    port = MakeMidiConnection(stored.c_str());
}

std::string InstrumentMidi::PortName() const {
    std::lock_guard<std::mutex> hold(port_lock);
    return port_name;
}

void InstrumentMidi::Open(BMessage* msg) {
    FindInto(msg, "prognum", &prognum, 0, 127);
    FindInto(msg, "syncofs", &syncofs, -kMaxSyncOffset, kMaxSyncOffset);
    FindInto(msg, "channel", &channel, 1, 16);
    const char* saved = nullptr;
    msg->FindString("port_name", &saved);
    SetPort(saved);
    Instrument::Open(msg);
}

void InstrumentMidi::Save(BMessage* msg) {
    msg->AddInt32("prognum", prognum);
    msg->AddInt32("syncofs", syncofs);
    msg->AddInt32("channel", channel);
    msg->AddString("port_name", PortName());
    Instrument::Save(msg);
}
