// Reads a Standard MIDI File into a new song: a Midi instrument for each channel the file
// plays, one pattern machine with a track for each channel (more where a channel starts
// chords), the file's first tempo and a Tempo machine for each later change.
#pragma once

#include <string>

#include "addons/MidiFile/import_plan.h"
#include "engine/importer.h"

class BMessage;
class Machine;

class MidiImporter : public Importer {
  public:
    bool Prepare(const char* path) override;
    void Open(const char* path) override;

  private:
    bool Read(const char* path, std::string* why);
    void AddInstruments();
    Machine* AddPatternMachine(const char* name);
    void AddTracks(BMessage* record);
    void AddTempoMachines();

    MidiFile fFile;
    ImportPlan fPlan;
    std::string fPath;  // what fPlan was made from
};
