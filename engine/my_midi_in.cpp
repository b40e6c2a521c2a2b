#include "engine/my_midi_in.h"

#include "engine/diagnostics.h"
#include "engine/midi_note_receiver.h"
#include "engine/song.h"

void MyMidiIn::NoteOn(uchar channel, uchar note, uchar velocity, uint32) {
    Diagnostic("%d\n", int(channel));
    // A note-on of velocity 0 is a note-off: nothing to enter.
    if (velocity > 0) ReceiveMidiNote(note, velocity);
    if (song == nullptr || channel >= Song::kInstrumentSlots) return;
    Instrument* instrument = song->instruments[channel];
    if (instrument != nullptr) instrument->PreviewPlayNote(note);
}

void MyMidiIn::ProgramChange(uchar, uchar program, uint32) {
    fProgram = program;
}
