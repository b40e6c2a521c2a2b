// The system's MIDI service as RtMidi reaches it, looked for once per process: the ALSA
// sequencer, or where there is none, a running JACK server.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "message/support_defs.h"

class RtMidiIn;
class RtMidiOut;

// Any thread. Without a service (no ALSA sequencer device and no JACK server, or RtMidi
// failing) it says so once on standard error and every request fails with a text for the user.
class MidiService {
  public:
    // Any thread.
    static MidiService& Default();

    // Any thread.
    bool Available() const { return fEnumerator != nullptr; }
    // Any thread: "alsa", "jack", or "none".
    const char* ApiName() const;
    // Any thread. The output ports, named without the addresses that change between runs.
    int32 CountOutputs();
    // Any thread. B_BAD_INDEX past the end.
    status_t GetOutputName(int32 index, std::string* name);
    // Any thread. Which port of a fresh output object has that name; B_NAME_NOT_FOUND.
    static status_t FindOutput(RtMidiOut& output, const char* name, uint32* port);

    // Any thread. RtMidi's later errors land in errors instead of standard error, so it must
    // outlive the object; without a service it is nullptr and errors holds why.
    std::unique_ptr<RtMidiOut> NewOutput(std::string* errors);
    // Any thread.
    std::unique_ptr<RtMidiIn> NewInput(std::string* errors);

  private:
    MidiService();
    ~MidiService();
    static std::string StableName(const std::string& portName);
    template <typename Port>
    std::unique_ptr<Port> NewPort(std::string* errors);

    int fApi = 0;         // the RtMidi::Api ports are made with
    std::string fReason;  // why there is no service
    std::mutex fLock;     // RtMidi objects are not for two threads at once
    std::string fEnumeratorErrors;
    std::unique_ptr<RtMidiOut> fEnumerator;
};
