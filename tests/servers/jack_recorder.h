// A JACK client of the test's own that records what another client's two output ports play.
#pragma once

#include <jack/jack.h>

#include <atomic>
#include <string>
#include <vector>

class JackRecorder {
  public:
    // Room for seconds of sound, taken now: the process callback never allocates.
    explicit JackRecorder(int seconds);
    // Closes its client.
    ~JackRecorder();
    JackRecorder(const JackRecorder&) = delete;
    JackRecorder& operator=(const JackRecorder&) = delete;

    // The test's thread. Joins the server named server and records from the next cycle on;
    // false with *error.
    bool Start(const std::string& server, std::string* error);
    // The test's thread. Connects "<client>:outport 0" and "1" to its inputs once they exist,
    // waiting at most timeoutMs; false with *error.
    bool Connect(const std::string& client, int timeoutMs, std::string* error);
    // The test's thread. Ends the recording and closes the client; what was recorded,
    // interleaved stereo.
    std::vector<float> Stop();
    // Any thread: frames recorded so far.
    size_t Frames() const { return fFrames.load(); }

  private:
    // JACK's process thread. Never locks, allocates or waits.
    static int Process(jack_nframes_t frames, void* self);
    bool ConnectPort(const std::string& from, jack_port_t* to);

    jack_client_t* fClient = nullptr;
    jack_port_t* fInputs[2] = {nullptr, nullptr};
    std::vector<float> fSamples;
    // Frames written so far; published by the process thread after the samples.
    std::atomic<size_t> fFrames{0};
};
