// The MIDI messages a song sends while it renders offline, written down output by output and
// channel by channel, with the song's tempo changes, and then written out as a Standard MIDI
// File of type 1: a tempo track, then one track for each port and channel.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/midi.h"

class MidiCapture {
  public:
    static constexpr uint16_t kTicksPerQuarter = 960;

    MidiCapture();
    ~MidiCapture();
    MidiCapture(const MidiCapture&) = delete;
    MidiCapture& operator=(const MidiCapture&) = delete;

    // The renderer's thread. What records the messages of the output for the port name.
    BMidi* Port(const std::string& name);
    // The renderer's thread, before the song plays: the tempo it starts at.
    void Begin(int32_t tempo) { fNext = tempo; }
    // The renderer's thread, after each step: the stamp it started at (the first one's is the
    // song's start) and the tempo the next step plays at, which a controller may have changed.
    void Step(uint32_t stamp, int32_t nextTempo);
    // The file: stamps counted from the first step, in ticks of the tempo in force.
    std::vector<uint8_t> FileBytes(const std::string& title) const;

  private:
    class Recorder;
    struct Tempo {
        uint32_t ms;  // from the first step
        int32_t bpm;
    };
    uint64_t Tick(uint32_t stamp) const;

    std::vector<std::unique_ptr<Recorder>> fPorts;
    std::vector<Tempo> fTempos;
    uint32_t fStart = 0;
    bool fStarted = false;
    int32_t fNext = 120;  // the tempo of the step after the last one seen
};
