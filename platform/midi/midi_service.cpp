#include "platform/midi/midi_service.h"

#include <RtMidi.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/media/jack_server_probe.h"

namespace {

constexpr char kSequencerDevice[] = "/dev/snd/seq";
constexpr char kClientName[] = "Velloran";

// Warnings are RtMidi talking to itself; errors are kept for the caller to show.
void KeepError(RtMidiError::Type type, const std::string& text, void* errors) {
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) return;
    *static_cast<std::string*>(errors) = text;
}

}  // namespace

MidiService& MidiService::Default() {
    static MidiService service;
    return service;
}

MidiService::MidiService() {
    // Without the device ALSA and RtMidi would each print a complaint before failing; JACK
    // is tried only with a server running, since RtMidi crashes opening ports without one.
    const int sequencer = access(kSequencerDevice, R_OK | W_OK) == 0 ? 0 : errno;
    if (sequencer == 0) {
        fApi = RtMidi::LINUX_ALSA;
    } else if (JackServerProbe::Running()) {
        fApi = RtMidi::UNIX_JACK;
    } else {
        fReason = std::string(kSequencerDevice) + ": " + std::strerror(sequencer) +
                  ", and no JACK server running";
    }
    if (fApi != 0) {
        fEnumerator = NewPort<RtMidiOut>(&fEnumeratorErrors);
        if (fEnumerator == nullptr) fReason = fEnumeratorErrors;
    }
    if (!Available()) {
        std::fprintf(stderr, "Velloran: no MIDI service (%s); MIDI ports are unavailable\n",
                     fReason.c_str());
    }
}

MidiService::~MidiService() = default;

const char* MidiService::ApiName() const {
    if (!Available()) return "none";
    return fApi == RtMidi::UNIX_JACK ? "jack" : "alsa";
}

template <typename Port>
std::unique_ptr<Port> MidiService::NewPort(std::string* errors) {
    try {
        auto port = std::make_unique<Port>(RtMidi::Api(fApi), kClientName);
        port->setErrorCallback(KeepError, errors);
        return port;
    } catch (const RtMidiError& error) {
        *errors = error.getMessage();
    } catch (const std::exception& error) {
        *errors = error.what();
    }
    return nullptr;
}

std::unique_ptr<RtMidiOut> MidiService::NewOutput(std::string* errors) {
    if (!Available()) {
        *errors = "no MIDI service (" + fReason + ")";
        return nullptr;
    }
    return NewPort<RtMidiOut>(errors);
}

std::unique_ptr<RtMidiIn> MidiService::NewInput(std::string* errors) {
    if (!Available()) {
        *errors = "no MIDI service (" + fReason + ")";
        return nullptr;
    }
    return NewPort<RtMidiIn>(errors);
}

int32 MidiService::CountOutputs() {
    if (!Available()) return 0;
    std::lock_guard<std::mutex> lock(fLock);
    return int32(fEnumerator->getPortCount());
}

status_t MidiService::GetOutputName(int32 index, std::string* name) {
    if (!Available() || index < 0) return B_BAD_INDEX;
    std::lock_guard<std::mutex> lock(fLock);
    if (uint32(index) >= fEnumerator->getPortCount()) return B_BAD_INDEX;
    *name = StableName(fEnumerator->getPortName(uint32(index)));
    return B_OK;
}

status_t MidiService::FindOutput(RtMidiOut& output, const char* name, uint32* port) {
    uint32 count = output.getPortCount();
    for (uint32 i = 0; i < count; i++) {
        if (StableName(output.getPortName(i)) == name) {
            *port = i;
            return B_OK;
        }
    }
    return B_NAME_NOT_FOUND;
}

// ALSA lists "client:port 128:0"; the numbers are handed out afresh each time.
std::string MidiService::StableName(const std::string& portName) {
    size_t space = portName.rfind(' ');
    if (space == std::string::npos) return portName;
    std::string address = portName.substr(space + 1);
    size_t colon = address.find(':');
    bool numeric = colon != std::string::npos && colon > 0 && colon + 1 < address.size() &&
                   address.find_first_not_of("0123456789:") == std::string::npos;
    return numeric ? portName.substr(0, space) : portName;
}
