#include "engine/midi_connections.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "engine/my_midi_in.h"
#include "engine/show_error.h"
#include "platform/media/sound_output.h"
#include "platform/midi/midi_port.h"
#include "platform/midi/midi_synth.h"

namespace {

constexpr int kPorts = 10;

constexpr int32 kRenderPiece = 1024;

struct Connections {
    std::mutex lock;
    MyMidi* midi_store[kPorts] = {};
    std::string midi_port_name[kPorts];
    // The synthesizer each output plays into, null for ports.
    BMidiSynth* synths[kPorts] = {};
    MyMidi* nowhere = nullptr;
    bool synthReported = false;
    bool offline = false;
    MidiCapture* capture = nullptr;
    float scratch[2][kRenderPiece] = {};
};

Connections& connections() {
    static auto* table = new Connections;
    return *table;
}

bool IsSynthName(const std::string& name) {
    return name.empty() || name == "Internal Synth";
}

BMidi* MakeConsumer(const std::string& name, Connections& table) {
    if (IsSynthName(name)) {
        auto* synth = new BMidiSynth;
        if (synth->EnableInput(!table.offline, true) != B_OK && !table.synthReported) {
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

// In real time the synthesizer gets each message as it comes and starts it at the frame its
// stamp names; offline the renderer flushes them in time order.
MyMidi* StartOutput(BMidi* consumer, bool synth, bool offline) {
    auto* midi = new MyMidi;
    if (consumer != nullptr) midi->Connect(consumer);
    midi->SetPassThrough(synth && !offline);
    if (!offline) midi->Start();
    return midi;
}

// What waits was stamped by the other clock, so it is dropped.
void SwitchClock(MyMidi* output, bool synth, bool offline) {
    if (offline) {
        output->SetPassThrough(false);
        output->SetManual(true);
    }
    output->Clear();
    if (!offline) {
        output->SetManual(false);
        output->SetPassThrough(synth);
    }
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
            table.nowhere = StartOutput(nullptr, false, table.offline);
            ShowError("Too many MIDI ports in use: %s plays nowhere.", wanted.c_str());
        }
        return table.nowhere;
    }
    table.midi_port_name[free] = wanted;
    BMidi* consumer = MakeConsumer(wanted, table);
    if (IsSynthName(wanted)) table.synths[free] = static_cast<BMidiSynth*>(consumer);
    table.midi_store[free] = StartOutput(consumer, IsSynthName(wanted), table.offline);
    return table.midi_store[free];
}

void SetMidiOffline(bool offline) {
    Connections& table = connections();
    std::lock_guard<std::mutex> hold(table.lock);
    if (table.offline == offline) return;
    table.offline = offline;
    for (int i = 0; i < kPorts; i++) {
        BMidiSynth* synth = table.synths[i];
        if (table.midi_store[i] != nullptr) SwitchClock(table.midi_store[i], synth, offline);
        if (synth == nullptr) continue;
        synth->EnableInput(false, true);
        synth->Reset();
        if (!offline) synth->EnableInput(true, true);
    }
    if (table.nowhere != nullptr) SwitchClock(table.nowhere, false, offline);
}

int64 SynthBlockStartFrame() {
    Connections& table = connections();
    std::lock_guard<std::mutex> hold(table.lock);
    for (BMidiSynth* synth : table.synths) {
        if (synth != nullptr && synth->BlockStartFrame() >= 0) return synth->BlockStartFrame();
    }
    return -1;
}

void FlushMidiConnections(uint32 until, bool deliver) {
    Connections& table = connections();
    std::lock_guard<std::mutex> hold(table.lock);
    for (int i = 0; i < kPorts; i++) {
        if (table.midi_store[i] == nullptr) continue;
        BMidi* copy =
            table.capture != nullptr ? table.capture->Port(table.midi_port_name[i]) : nullptr;
        table.midi_store[i]->Flush(until, deliver && table.synths[i] != nullptr, copy);
    }
    if (table.nowhere != nullptr) table.nowhere->Flush(until, false);
}

void SetMidiCapture(MidiCapture* capture) {
    Connections& table = connections();
    std::lock_guard<std::mutex> hold(table.lock);
    table.capture = capture;
}

void RenderMidiSynths(float* left, float* right, int32 frames, int64 firstFrame) {
    Connections& table = connections();
    std::lock_guard<std::mutex> hold(table.lock);
    const FrameClock clock = SoundOutput::Default().Clock();
    bool first = true;
    for (BMidiSynth* synth : table.synths) {
        if (synth == nullptr) continue;
        // The first renders in place; only a second one costs a sum.
        if (first) {
            synth->RenderFrames(left, right, frames, clock, firstFrame);
            first = false;
            continue;
        }
        for (int32 done = 0; done < frames; done += kRenderPiece) {
            const int32 piece = std::min(kRenderPiece, frames - done);
            synth->RenderFrames(table.scratch[0], table.scratch[1], piece, clock,
                                firstFrame + done);
            for (int32 f = 0; f < piece; f++) {
                left[done + f] += table.scratch[0][f];
                right[done + f] += table.scratch[1][f];
            }
        }
    }
    if (first) {
        std::fill_n(left, frames, 0.0f);
        std::fill_n(right, frames, 0.0f);
    }
}
