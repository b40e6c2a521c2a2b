// The program's MIDI input: a keyboard previews the instrument on the slot of its channel.
#pragma once

#include <atomic>

#include "platform/midi/midi.h"

class MyMidiIn : public BMidi {
  public:
    // MIDI input thread.
    void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time) override;
    void ProgramChange(uchar channel, uchar program, uint32 time) override;

    // Any thread. The last program number received.
    int32 Program() const { return fProgram; }

  private:
    std::atomic<int32> fProgram{0};
};
