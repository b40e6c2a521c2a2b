// Where notes played on the program's MIDI input go besides the instrument preview: one
// receiver at a time, such as an editor that enters them.
#pragma once

#include <functional>

// Receives the note and its velocity on the MIDI input thread: it must only hand them over
// (post them to its window), never touch window or song data there.
using MidiNoteReceiver = std::function<void(int note, int velocity)>;

// Any thread. Replaces the receiver; owner names it for ClearMidiNoteReceiver.
void SetMidiNoteReceiver(const void* owner, MidiNoteReceiver receiver);
// Any thread. Removes the receiver if owner set it; once this returns it is not running.
void ClearMidiNoteReceiver(const void* owner);
// MIDI input thread. Hands a note to the receiver, if there is one.
void ReceiveMidiNote(int note, int velocity);
