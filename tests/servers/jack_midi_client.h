// A JACK client of the test's own with one MIDI input, which notes when each message arrives,
// and one MIDI output, which sends a message in the next cycle.
#pragma once

#include <jack/jack.h>

#include <atomic>
#include <string>
#include <vector>

#include "message/support_defs.h"

class JackMidiClient {
  public:
    struct Arrival {
        uint8 status;
        uint8 data1;
        bigtime_t time;  // microseconds of the platform clock at the cycle that saw it
    };

    JackMidiClient();
    // Closes its client.
    ~JackMidiClient();
    JackMidiClient(const JackMidiClient&) = delete;
    JackMidiClient& operator=(const JackMidiClient&) = delete;

    // The test's thread. Joins the server JACK_DEFAULT_SERVER names, as "velloran-midi" with
    // ports "in" and "out"; false with *error.
    bool Start(std::string* error);
    // The test's thread: the full name of the input.
    std::string InputName() const;
    // The test's thread. Connects the output to the first MIDI input whose name matches
    // pattern (a regular expression), waiting at most timeoutMs.
    bool ConnectOutputTo(const std::string& pattern, int timeoutMs, std::string* error);
    // The test's thread. A three-byte message for the next cycle.
    void Send(uint8 status, uint8 data1, uint8 data2);
    // The test's thread: what arrived so far.
    std::vector<Arrival> Arrivals() const;
    // Any thread: the cycles the server reported missed since Start, in which messages can
    // be lost between clients.
    int XRuns() const { return fXRuns.load(); }

  private:
    static constexpr size_t kRoom = 1024;

    // JACK's process thread. Never locks, allocates or waits.
    static int Process(jack_nframes_t frames, void* self);
    static int XRun(void* self);
    void Receive(jack_nframes_t frames);
    void Transmit(jack_nframes_t frames);

    jack_client_t* fClient = nullptr;
    jack_port_t* fIn = nullptr;
    jack_port_t* fOut = nullptr;
    Arrival fArrivals[kRoom] = {};
    std::atomic<size_t> fArrived{0};
    std::atomic<int> fXRuns{0};
    // One message at a time on its way out: written by the test, taken by the process thread.
    uint8 fOutgoing[3] = {};
    std::atomic<bool> fSending{false};
};
