#include "addons/MidiFile/midi_importer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/instrument.h"
#include "engine/machine.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"

namespace {

constexpr int32 kRows = 256;          // rows a stored page holds
constexpr int32 kDefaultNote = 69;    // what an empty row shows
constexpr float kEmptyVolume = 0.7f;  // the Midi instrument's default
constexpr int32 kDrumChannel = 10;

// The Midi instrument's "Volume" is the velocity over 100, which the instrument cuts to a
// whole number: the float is taken from above, so that it gives the velocity back.
float Volume(int32 velocity) {
    velocity = std::min(velocity, 100);
    float volume = float(velocity) / 100.0f;
    if (double(volume) * 100.0 < velocity) volume = std::nextafter(volume, 2.0f);
    return volume;
}

// A page record as the pattern tracker stores one: its rows, and per row the velocity and the
// modulation wheel at rest (the instrument's default of 64 would make every note wobble).
void AddPage(BMessage* track, const std::vector<ImportPlan::Note>& notes) {
    track->AddInt32("emptypage", notes.empty() ? 1 : 0);
    if (notes.empty()) return;
    std::vector<int32> status(kRows, 0), key(kRows, kDefaultNote);
    std::vector<float> volume(kRows, kEmptyVolume), wheel(kRows, 0.0f);
    for (const ImportPlan::Note& note : notes) {
        status[size_t(note.row)] = 1;
        key[size_t(note.row)] = note.key;
        volume[size_t(note.row)] = Volume(note.velocity);
    }
    track->AddData("status", B_INT32_TYPE, status.data(), kRows * 4);
    track->AddData("note", B_INT32_TYPE, key.data(), kRows * 4);
    BMessage modifiers;
    modifiers.AddInt32("length", kRows);
    modifiers.AddString("name", "Volume");
    modifiers.AddData("val", B_FLOAT_TYPE, volume.data(), kRows * 4);
    modifiers.AddString("name", "Controller 1");
    modifiers.AddData("val", B_FLOAT_TYPE, wheel.data(), kRows * 4);
    track->AddMessage("_Modifiers", &modifiers);
}

// A new machine of the add-on, set from a record as a song file sets it; null when the
// add-on is missing, which is reported.
Machine* AddMachine(const char* addon, BMessage* record) {
    const int index = song->AddMachine(addon);
    if (index < 0) {
        ShowError("Can't import: the %s add-on is missing from add-ons/machines.", addon);
        return nullptr;
    }
    Machine* machine = song->machines[index];
    machine->Open(record);
    return machine;
}

}  // namespace

bool MidiImporter::Read(const char* path, std::string* why) {
    if (fPath == path) return true;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        *why = std::strerror(errno);
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || size_t(size) > MidiFile::kMaxBytes) {
        *why = "it is larger than " + std::to_string(MidiFile::kMaxBytes >> 20) + " MB";
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        *why = "it cannot be read";
        return false;
    }
    if (!fFile.Read(bytes.data(), bytes.size(), why) || !fPlan.Make(fFile, why)) return false;
    fPath = path;
    return true;
}

bool MidiImporter::Prepare(const char* path) {
    std::string why;
    if (Read(path, &why)) return true;
    fPath.clear();
    ShowError("Can't import \"%s\": %s.", path, why.c_str());
    return false;
}

void MidiImporter::Open(const char* path) {
    if (!Prepare(path)) return;
    const std::string stem = std::filesystem::path(path).stem().string();
    song->title = fFile.name.empty() ? stem : fFile.name;
    song->main_tempo = fPlan.tempo;
    song->tempo = fPlan.tempo;
    song->start_pos = 0;
    song->stop_pos = int32(fPlan.slots.size()) * ImportPlan::kBeatsPerSlot;
    song->loop = 0;
    AddInstruments();
    if (Machine* machine = AddPatternMachine(stem.c_str())) machine->Connect(0);
    AddTempoMachines();
}

void MidiImporter::AddInstruments() {
    for (size_t i = 0; i < fPlan.channels.size(); i++) {
        const int32 channel = fPlan.channels[i];
        auto* midi = dynamic_cast<Instrument*>(instrument_roster.Create("Midi"));
        if (midi == nullptr) {
            ShowError("Can't import: the Midi add-on is missing from add-ons/instruments.");
            return;
        }
        BMessage settings;
        const std::string name =
            channel == kDrumChannel ? "Drums" : "Channel " + std::to_string(channel);
        settings.AddString("Instrument::name", name.c_str());
        settings.AddString("port_name", "Internal Synth");
        settings.AddInt32("channel", channel);
        settings.AddInt32("prognum", fPlan.programs[i]);
        settings.AddInt32("syncofs", 0);
        midi->Open(&settings);
        delete song->instruments[i].exchange(midi);
    }
}

Machine* MidiImporter::AddPatternMachine(const char* name) {
    BMessage record;
    std::vector<int32> slots(ImportPlan::kSlots, 0);
    std::copy(fPlan.slots.begin(), fPlan.slots.end(), slots.begin());
    record.AddData("status", B_INT32_TYPE, slots.data(), ssize_t(slots.size() * 4));
    record.AddInt32("num_measures", ImportPlan::kBeatsPerSlot);
    record.AddInt32("step_per_measure", fPlan.rows_per_beat);
    record.AddPoint("Machine::position", BPoint(10, 10));
    record.AddString("Machine::name", name);
    AddTracks(&record);
    return AddMachine("Gridloom", &record);
}

void MidiImporter::AddTracks(BMessage* record) {
    record->AddInt32("num_tracks", int32(fPlan.track_channel.size()));
    for (size_t t = 0; t < fPlan.track_channel.size(); t++) {
        BMessage track;
        track.AddInt16("instr", int16(fPlan.track_channel[t]));
        track.AddInt32("num_pages", int32(fPlan.pages.size()));
        for (const ImportPlan::Page& page : fPlan.pages) AddPage(&track, page.tracks[t]);
        record->AddMessage("track", &track);
    }
}

void MidiImporter::AddTempoMachines() {
    float y = 10;
    for (const ImportPlan::TempoChange& change : fPlan.changes) {
        BMessage record;
        record.AddPoint("Machine::position", BPoint(200, y += 50));
        record.AddString("Machine::name", "Tempo");
        record.AddInt32("pos", change.beat);
        record.AddInt32("tempo", change.tempo);
        if (AddMachine("Tempo", &record) == nullptr) return;
    }
}
