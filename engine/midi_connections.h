// The program's shared MIDI outputs, one per port name, and its MIDI input.
#pragma once

#include "engine/midi_capture.h"
#include "engine/my_midi.h"

// The player, once at start-up: opens the input "Velloran(in)" where the system has MIDI.
void InitMidi();

// Window thread or the song loader. The output for a port name ("Internal Synth" or "" is the
// software synthesizer); never null. Names are kept whole, so long names never overrun
// anything; once ten ports are in use, further names share one output that plays nowhere.
MyMidi* MakeMidiConnection(const char* name);

// Any thread but the sound thread: a frame of the sound output at which a block of the first
// live synthesizer begins, or -1 when none has played yet.
int64 SynthBlockStartFrame();

// Rendering offline: the outputs stop sending on their own and the synthesizers stop playing
// live; the renderer flushes the outputs and renders the synthesizers to its own clock. Real
// ports get nothing meanwhile. Window thread or the renderer, while the song is stopped;
// connections made later start the same way.
void SetMidiOffline(bool offline);
// The renderer, offline: passes the messages due before until (message milliseconds) to the
// synthesizers when deliver is set, and drops the rest and those for ports. The capture, while
// one is set, gets every output's messages (but those of the one that plays nowhere).
void FlushMidiConnections(uint32 until, bool deliver);
// The renderer, offline, while the song is stopped: where the outputs' messages are written
// down from now on; null for nowhere.
void SetMidiCapture(MidiCapture* capture);
// The renderer, offline: every synthesizer's frames from firstFrame of the sound output's
// frame clock on, summed into left and right (overwritten). Neither locks nor allocates once
// the synthesizers exist.
void RenderMidiSynths(float* left, float* right, int32 frames, int64 firstFrame);
