#include "fuzz/fuzz_song.h"

#include <unistd.h>

#include <cstdlib>

#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"

namespace {

void Ignore(const char*) {}

}  // namespace

std::string StartFuzzSong(const char* root, const char* stem) {
    if (chdir(root) != 0) return {};
    SetErrorPresenter(Ignore);
    instrument_roster.Scan("instruments");
    machine_roster.Scan("machines");
    importer_roster.Scan("importers");
    setenv("VELLORAN_AUDIO", "null", 1);
    new Song(PlayerDrive::kCaller);
    return std::string("/dev/shm/") + stem + "-" + std::to_string(getpid()) + ".vel";
}
