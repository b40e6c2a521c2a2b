// A system MIDI port: messages it consumes go out to a named output port, and what other
// programs send to its virtual input is sprayed to its consumers.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midi/midi.h"

class RtMidiIn;
class RtMidiOut;

// Any thread. Without a MIDI service every port call fails, and messages go nowhere.
class BMidiPort : public BMidi {
  public:
    // Any thread.
    BMidiPort();
    // Any thread, as ~BMidi.
    ~BMidiPort() override;

    // Any thread. The system's output ports; 0 without a MIDI service.
    static int32 CountDevices();
    // Any thread. The name is cut to size; B_BAD_INDEX past the end, B_BAD_VALUE for no room.
    static status_t GetDeviceName(int32 n, char* name, size_t size);

    // Any thread. Later messages go to the output port of that name; on failure they go
    // nowhere and ErrorText() says why.
    status_t Open(const char* name);
    // Any thread. Messages go nowhere from now on.
    void Close();
    // Any thread. Creates an input port other programs connect to, replacing an earlier one.
    status_t OpenVirtualInput(const char* name);
    // The thread of the call that failed, while no other thread opens on this port.
    const char* ErrorText() const { return fErrorText.c_str(); }

    // Any thread but the sound callback: sending takes the port's lock. Each goes out at
    // once, whatever its time.
    void NoteOff(uchar channel, uchar note, uchar velocity, uint32 time = B_NOW) override;
    // Any thread.
    void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time = B_NOW) override;
    // Any thread.
    void ControlChange(uchar channel, uchar controlNumber, uchar controlValue,
                       uint32 time = B_NOW) override;
    // Any thread.
    void ProgramChange(uchar channel, uchar programNumber, uint32 time = B_NOW) override;

  protected:
    // Any thread. Sprays one raw channel message; others, and short ones, are dropped.
    void SprayMessage(const uchar* bytes, size_t size, uint32 time) const;

  private:
    static void Received(double delta, std::vector<uchar>* message, void* port);
    status_t Fail(status_t status, const std::string& text);
    void Send(uchar status, uchar channel, uchar data1, uchar data2, size_t size);

    std::mutex fLock;  // guards the RtMidi objects and their error texts
    std::string fErrorText;
    std::string fOutputErrors;
    std::unique_ptr<RtMidiOut> fOutput;
    std::string fInputErrors;
    std::unique_ptr<RtMidiIn> fInput;
};
