// song_summary SONG: what the desktop test edits in a song, read back through the real loader
// and add-ons of the build tree, one fact per line: machines and their places, connections
// with their volumes, each pipe's effects with their parameters, and each tracker's notes on
// its first page with their modifier values.
// song_summary --new OUT: a song to write a melody into: a piano on the built-in synthesizer
// and a pattern tracker "Melody" with one empty track, playing its first page in its first
// slot, four rows to a measure.
// song_summary --looping SONG OUT: SONG set to loop, saved as OUT.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/instrument.h"
#include "engine/machine.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"

namespace {

int errorsShown = 0;

void PrintError(const char* text) {
    errorsShown++;
    std::fprintf(stderr, "Error: %s\n", text);
}

void PrintEffects(Machine& machine) {
    BMessage saved;
    machine.Save(&saved);
    const char* name = nullptr;
    for (int32 e = 0; saved.FindString("effectname", e, &name) == B_OK; e++) {
        std::printf("effect %s %d", machine.GetName(), int(e));
        BMessage record;
        float value = 0;
        saved.FindMessage("effect", e, &record);
        std::printf(" %s", name);
        for (int32 p = 0; record.FindFloat("parameter", p, &value) == B_OK; p++)
            std::printf(" %.3f", value);
        std::printf("\n");
    }
}

// Rows of the first page that start a note, with the values of the modifiers stored for them.
void PrintNotes(const Machine& machine, int32 index, const BMessage& track) {
    const void* status = nullptr;
    const void* notes = nullptr;
    ssize_t size = 0;
    if (track.FindData("status", B_INT32_TYPE, 0, &status, &size) != B_OK ||
        track.FindData("note", B_INT32_TYPE, 0, &notes, &size) != B_OK)
        return;
    BMessage values;
    track.FindMessage("_Modifiers", 0, &values);
    for (int32 row = 0; row < int32(size / 4); row++) {
        if (static_cast<const int32*>(status)[row] != 1) continue;
        std::printf("note %s %d row %d %d", machine.GetName(), int(index), int(row),
                    int(static_cast<const int32*>(notes)[row]));
        const char* name = nullptr;
        for (int32 k = 0; values.FindString("name", k, &name) == B_OK; k++) {
            const void* data = nullptr;
            ssize_t bytes = 0;
            if (values.FindData("val", B_FLOAT_TYPE, k, &data, &bytes) == B_OK && row * 4 < bytes)
                std::printf(" %s %.1f", name, double(static_cast<const float*>(data)[row]));
        }
        std::printf("\n");
    }
}

void PrintTracks(Machine& machine) {
    BMessage saved;
    machine.Save(&saved);
    BMessage track;
    for (int32 i = 0; saved.FindMessage("track", i, &track) == B_OK; i++)
        PrintNotes(machine, i, track);
}

void PrintMachine(Machine& machine) {
    std::printf("machine %s at %.0f %.0f mute %d\n", machine.GetName(), machine.position.x,
                machine.position.y, int(machine.mute.load()));
    for (int32 j = 0; j < machine.num_in_machines; j++) {
        const Machine* source = song->MachineAt(machine.in_machine[j]);
        std::printf("connection %s -> %s %.2f %.2f\n", source ? source->GetName() : "?",
                    machine.GetName(), machine.in_vol_left[j].load(),
                    machine.in_vol_right[j].load());
    }
    PrintEffects(machine);
    PrintTracks(machine);
}

int Summary(const char* path) {
    if (song->Open(path) != 1 || errorsShown > 0) return 1;
    for (int32 i = 0; i < Song::kMachineSlots; i++)
        if (Machine* machine = song->MachineAt(i)) PrintMachine(*machine);
    return 0;
}

int LoopingSong(const char* from, const char* to) {
    if (song->Open(from) != 1) return 1;
    song->loop = 1;
    return song->Save(to) == 1 ? 0 : 1;
}

int NewMelodySong(const char* path) {
    auto* piano = dynamic_cast<Instrument*>(instrument_roster.Create("Midi"));
    if (piano == nullptr) return 1;
    BMessage settings;
    settings.AddString("Instrument::name", "Piano");
    settings.AddString("port_name", "Internal Synth");
    settings.AddInt32("channel", 1);
    piano->Open(&settings);
    song->instruments[0] = piano;
    Machine* melody = song->MachineAt(song->AddMachine("Gridloom"));
    if (melody == nullptr) return 1;
    const int32 firstPage[512] = {1};
    BMessage record, track;
    record.AddData("status", B_INT32_TYPE, firstPage, sizeof firstPage);
    record.AddInt32("step_per_measure", 4);
    record.AddInt32("num_tracks", 1);
    track.AddInt16("instr", 0);
    record.AddMessage("track", &track);
    melody->Open(&record);
    melody->SetName("Melody");
    melody->position = BPoint(10, 10);
    return song->Save(path) == 1 && errorsShown == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool make = argc == 3 && std::strcmp(argv[1], "--new") == 0;
    const bool looping = argc == 4 && std::strcmp(argv[1], "--looping") == 0;
    if (argc != 2 && !make && !looping) {
        std::fprintf(stderr,
                     "usage: song_summary SONG | song_summary --new OUT | "
                     "song_summary --looping SONG OUT\n");
        return 2;
    }
    const std::string song_path = std::filesystem::absolute(argv[argc - 1]).string();
    const std::string from = std::filesystem::absolute(argv[argc > 2 ? 2 : 1]).string();
    if (chdir(BUILD_ROOT) != 0) return 1;
    setenv("VELLORAN_AUDIO", "null", 1);
    SetErrorPresenter(PrintError);
    instrument_roster.Scan("instruments");
    machine_roster.Scan("machines");
    new Song(PlayerDrive::kOffline);
    if (looping) return LoopingSong(from.c_str(), song_path.c_str());
    return make ? NewMelodySong(song_path.c_str()) : Summary(song_path.c_str());
}
