// The program's shared MIDI outputs, one per port name, and its MIDI input.
#pragma once

#include "engine/my_midi.h"

// The player, once at start-up: opens the input "Velloran(in)" where the system has MIDI.
void InitMidi();

// Window thread or the song loader. The output for a port name ("Internal Synth" or "" is the
// software synthesizer); never null. Names are kept whole, so long names never overrun
// anything; once ten ports are in use, further names share one output that plays nowhere.
MyMidi* MakeMidiConnection(const char* name);
