#include "engine/midi_note_receiver.h"

#include <mutex>

namespace {

// Held only by the MIDI input thread and window threads, never by the sound callback.
std::mutex receiverLock;
const void* receiverOwner = nullptr;
MidiNoteReceiver receiverCall;

}  // namespace

void SetMidiNoteReceiver(const void* owner, MidiNoteReceiver receiver) {
    std::lock_guard guard(receiverLock);
    receiverOwner = owner;
    receiverCall = std::move(receiver);
}

void ClearMidiNoteReceiver(const void* owner) {
    std::lock_guard guard(receiverLock);
    if (receiverOwner != owner) return;
    receiverOwner = nullptr;
    receiverCall = nullptr;
}

void ReceiveMidiNote(int note, int velocity) {
    std::lock_guard guard(receiverLock);
    if (receiverCall) receiverCall(note, velocity);
}
