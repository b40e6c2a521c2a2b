#include "platform/midi/midi_port.h"

#include <RtMidi.h>

#include <cstring>

#include "platform/midi/midi_service.h"

BMidiPort::BMidiPort() = default;

BMidiPort::~BMidiPort() {
    // Ends RtMidi's input thread before the consumers go.
    std::lock_guard<std::mutex> lock(fLock);
    fInput.reset();
    fOutput.reset();
}

int32 BMidiPort::CountDevices() {
    return MidiService::Default().CountOutputs();
}

status_t BMidiPort::GetDeviceName(int32 n, char* name, size_t size) {
    if (name == nullptr || size == 0) return B_BAD_VALUE;
    std::string found;
    if (status_t status = MidiService::Default().GetOutputName(n, &found); status != B_OK) {
        return status;
    }
    size_t length = std::min(found.size(), size - 1);
    std::memcpy(name, found.data(), length);
    name[length] = '\0';
    return B_OK;
}

status_t BMidiPort::Open(const char* name) {
    if (name == nullptr) return Fail(B_BAD_VALUE, "No MIDI port name was given.");
    std::lock_guard<std::mutex> lock(fLock);
    fOutput.reset();
    fOutputErrors.clear();
    std::unique_ptr<RtMidiOut> output = MidiService::Default().NewOutput(&fOutputErrors);
    if (output == nullptr) {
        return Fail(B_NOT_SUPPORTED,
                    std::string("Can't open the MIDI port ") + name + ": " + fOutputErrors + ".");
    }
    uint32 port = 0;
    if (MidiService::FindOutput(*output, name, &port) != B_OK) {
        return Fail(B_NAME_NOT_FOUND,
                    std::string("There is no MIDI port named ") + name + " on this system.");
    }
    output->openPort(port, "Velloran(out)");
    if (!output->isPortOpen() || !fOutputErrors.empty()) {
        return Fail(B_IO_ERROR,
                    std::string("Can't open the MIDI port ") + name + ": " + fOutputErrors + ".");
    }
    fOutput = std::move(output);
    fErrorText.clear();
    return B_OK;
}

void BMidiPort::Close() {
    std::lock_guard<std::mutex> lock(fLock);
    fOutput.reset();
}

status_t BMidiPort::OpenVirtualInput(const char* name) {
    if (name == nullptr) return Fail(B_BAD_VALUE, "No MIDI input name was given.");
    std::lock_guard<std::mutex> lock(fLock);
    fInput.reset();
    fInputErrors.clear();
    std::unique_ptr<RtMidiIn> input = MidiService::Default().NewInput(&fInputErrors);
    if (input == nullptr) {
        return Fail(B_NOT_SUPPORTED,
                    std::string("Can't create the MIDI input ") + name + ": " + fInputErrors + ".");
    }
    input->setCallback(Received, this);
    input->openVirtualPort(name);
    if (!fInputErrors.empty()) {
        return Fail(B_IO_ERROR,
                    std::string("Can't create the MIDI input ") + name + ": " + fInputErrors + ".");
    }
    fInput = std::move(input);
    fErrorText.clear();
    return B_OK;
}

status_t BMidiPort::Fail(status_t status, const std::string& text) {
    fErrorText = text;
    return status;
}

void BMidiPort::NoteOff(uchar channel, uchar note, uchar velocity, uint32) {
    Send(kNoteOff, channel, note, velocity, 3);
}

void BMidiPort::NoteOn(uchar channel, uchar note, uchar velocity, uint32) {
    Send(kNoteOn, channel, note, velocity, 3);
}

void BMidiPort::ControlChange(uchar channel, uchar controlNumber, uchar controlValue, uint32) {
    Send(kControlChange, channel, controlNumber, controlValue, 3);
}

void BMidiPort::ProgramChange(uchar channel, uchar programNumber, uint32) {
    Send(kProgramChange, channel, programNumber, 0, 2);
}

void BMidiPort::Send(uchar status, uchar channel, uchar data1, uchar data2, size_t size) {
    if (channel < 1 || channel > 16) return;
    const uchar bytes[3] = {uchar(status | (channel - 1)), uchar(data1 & 0x7F),
                            uchar(data2 & 0x7F)};
    std::lock_guard<std::mutex> lock(fLock);
    if (fOutput != nullptr) fOutput->sendMessage(bytes, size);
}

void BMidiPort::Received(double, std::vector<uchar>* message, void* port) {
    uint32 now = uint32(system_time() / 1000);
    static_cast<BMidiPort*>(port)->SprayMessage(message->data(), message->size(), now);
}

void BMidiPort::SprayMessage(const uchar* bytes, size_t size, uint32 time) const {
    if (size < 2) return;
    uchar kind = bytes[0] & 0xF0;
    uchar channel = uchar((bytes[0] & 0x0F) + 1);
    uchar data1 = bytes[1] & 0x7F;
    uchar data2 = size > 2 ? bytes[2] & 0x7F : 0;
    bool full = size > 2;
    if (kind == kNoteOn && full && data2 == 0) kind = kNoteOff;  // the running-status habit
    if (kind == kNoteOff && full) SprayNoteOff(channel, data1, data2, time);
    if (kind == kNoteOn && full) SprayNoteOn(channel, data1, data2, time);
    if (kind == kControlChange && full) SprayControlChange(channel, data1, data2, time);
    if (kind == kProgramChange) SprayProgramChange(channel, data1, time);
}
