// song_summary SONG: what the desktop test edits in a song, read back through the real loader
// and add-ons of the build tree, one fact per line: machines and their places, connections
// with their volumes, and each pipe's effects with their parameters.
#include <unistd.h>

#include <cstdio>

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
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: song_summary SONG\n");
        return 2;
    }
    char song_path[4096];
    if (realpath(argv[1], song_path) == nullptr || chdir(BUILD_ROOT) != 0) return 1;
    setenv("VELLORAN_AUDIO", "null", 1);
    SetErrorPresenter(PrintError);
    instrument_roster.Scan("instruments");
    machine_roster.Scan("machines");
    new Song(PlayerDrive::kOffline);
    if (song->Open(song_path) != 1 || errorsShown > 0) return 1;
    for (int32 i = 0; i < Song::kMachineSlots; i++)
        if (Machine* machine = song->MachineAt(i)) PrintMachine(*machine);
    return 0;
}
