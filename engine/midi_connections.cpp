#include "engine/midi_connections.h"

#include <mutex>
#include <string>

#include "engine/my_midi_in.h"
#include "engine/show_error.h"
#include "platform/midi/midi_port.h"
#include "platform/midi/midi_synth.h"

namespace {

constexpr int kPorts = 10;

struct Connections {
    std::mutex lock;
    MyMidi* midi_store[kPorts] = {};
    std::string midi_port_name[kPorts];
    MyMidi* nowhere = nullptr;
    bool synthReported = false;
};

Connections& connections() {
    static auto* table = new Connections;
    return *table;
}

BMidi* MakeConsumer(const std::string& name, Connections& table) {
    if (name.empty() || name == "Internal Synth") {
        auto* synth = new BMidiSynth;
        if (synth->EnableInput(true, true) != B_OK && !table.synthReported) {
            table.synthReported = true;
            ShowError("The internal synthesizer is silent: %s", synth->ErrorText());
        }
        return synth;
    }
    // A port the system does not know keeps its connection; its messages go nowhere.
    auto* port = new BMidiPort;
    port->Open(name.c_str());
    return port;
}

MyMidi* StartOutput(BMidi* consumer) {
    auto* midi = new MyMidi;
    if (consumer != nullptr) midi->Connect(consumer);
    midi->Start();
    return midi;
}

}  // namespace

void InitMidi() {
    static MyMidiIn* input = new MyMidiIn;
    static BMidiPort* port = new BMidiPort;
    if (port->OpenVirtualInput("Velloran(in)") == B_OK) port->Connect(input);
}

MyMidi* MakeMidiConnection(const char* name) {
    std::string wanted = name != nullptr ? name : "";
    Connections& table = connections();
    // Errors are shown once the table is free again.
    DeferredErrors errors;
    std::lock_guard<std::mutex> hold(table.lock);
    int free = -1;
    for (int i = 0; i < kPorts; i++) {
        if (table.midi_store[i] == nullptr) {
            if (free < 0) free = i;
        } else if (table.midi_port_name[i] == wanted) {
            return table.midi_store[i];
        }
    }
    if (free < 0) {
        if (table.nowhere == nullptr) {
            table.nowhere = StartOutput(nullptr);
            ShowError("Too many MIDI ports in use: %s plays nowhere.", wanted.c_str());
        }
        return table.nowhere;
    }
    table.midi_port_name[free] = wanted;
    table.midi_store[free] = StartOutput(MakeConsumer(wanted, table));
    return table.midi_store[free];
}
