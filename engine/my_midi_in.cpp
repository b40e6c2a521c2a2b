#include "engine/my_midi_in.h"

#include "engine/diagnostics.h"
#include "engine/song.h"

void MyMidiIn::NoteOn(uchar channel, uchar note, uchar, uint32) {
    Diagnostic("%d\n", int(channel));
    if (song == nullptr || channel >= Song::kInstrumentSlots) return;
    Instrument* instrument = song->instruments[channel];
    if (instrument != nullptr) instrument->PreviewPlayNote(note);
}

void MyMidiIn::ProgramChange(uchar, uchar program, uint32) {
    fProgram = program;
}
