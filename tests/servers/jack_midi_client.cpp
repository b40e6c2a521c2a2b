#include "tests/servers/jack_midi_client.h"

#include <jack/midiport.h>

#include "platform/kernel/os.h"

JackMidiClient::JackMidiClient() = default;

JackMidiClient::~JackMidiClient() {
    if (fClient == nullptr) return;
    jack_deactivate(fClient);
    jack_client_close(fClient);
}

bool JackMidiClient::Start(std::string* error) {
    jack_status_t status;
    const auto options = jack_options_t(JackNoStartServer | JackUseExactName);
    fClient = jack_client_open("velloran-midi", options, &status);
    if (fClient == nullptr) {
        *error = "can't join the JACK server, status " + std::to_string(status);
        return false;
    }
    fIn = jack_port_register(fClient, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    fOut = jack_port_register(fClient, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    const bool ready = fIn != nullptr && fOut != nullptr &&
                       jack_set_process_callback(fClient, Process, this) == 0 &&
                       jack_set_xrun_callback(fClient, XRun, this) == 0 &&
                       jack_activate(fClient) == 0;
    if (!ready) *error = "can't set up the JACK MIDI client";
    return ready;
}

std::string JackMidiClient::InputName() const {
    return jack_port_name(fIn);
}

bool JackMidiClient::ConnectOutputTo(const std::string& pattern, int timeoutMs,
                                     std::string* error) {
    const bigtime_t until = system_time() + bigtime_t(timeoutMs) * 1000;
    for (;;) {
        const char** ports =
            jack_get_ports(fClient, pattern.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
        const bool found = ports != nullptr && ports[0] != nullptr;
        const bool connected = found && jack_connect(fClient, jack_port_name(fOut), ports[0]) == 0;
        if (ports != nullptr) jack_free(ports);
        if (connected) return true;
        if (system_time() > until) {
            *error = found ? "can't connect to " + pattern : "no MIDI input matches " + pattern;
            return false;
        }
        snooze(10000);
    }
}

void JackMidiClient::Send(uint8 status, uint8 data1, uint8 data2) {
    while (fSending.load()) snooze(1000);
    fOutgoing[0] = status;
    fOutgoing[1] = data1;
    fOutgoing[2] = data2;
    fSending.store(true);
}

std::vector<JackMidiClient::Arrival> JackMidiClient::Arrivals() const {
    const size_t count = fArrived.load();
    return {fArrivals, fArrivals + count};
}

int JackMidiClient::Process(jack_nframes_t frames, void* self) {
    auto* client = static_cast<JackMidiClient*>(self);
    client->Receive(frames);
    client->Transmit(frames);
    return 0;
}

int JackMidiClient::XRun(void* self) {
    static_cast<JackMidiClient*>(self)->fXRuns.fetch_add(1);
    return 0;
}

void JackMidiClient::Receive(jack_nframes_t frames) {
    void* buffer = jack_port_get_buffer(fIn, frames);
    // When this client sees it: JACK's own frame times run up to two periods ahead of the
    // wall clock, so they would make a message look early.
    const bigtime_t now = system_time();
    const uint32_t count = jack_midi_get_event_count(buffer);
    for (uint32_t i = 0; i < count; i++) {
        jack_midi_event_t event;
        const size_t at = fArrived.load(std::memory_order_relaxed);
        if (jack_midi_event_get(&event, buffer, i) != 0 || event.size < 2 || at >= kRoom) continue;
        fArrivals[at] = {event.buffer[0], event.buffer[1], now};
        fArrived.store(at + 1, std::memory_order_release);
    }
}

void JackMidiClient::Transmit(jack_nframes_t frames) {
    void* buffer = jack_port_get_buffer(fOut, frames);
    jack_midi_clear_buffer(buffer);
    if (!fSending.load(std::memory_order_acquire)) return;
    jack_midi_event_write(buffer, 0, fOutgoing, 3);
    fSending.store(false, std::memory_order_release);
}
