#include "bench/build_tree_song.h"

#include <unistd.h>

#include <cstdlib>

#include "engine/rosters.h"
#include "engine/song.h"

void BuildTreeSong(PlayerDrive drive) {
    static const bool loaded = [drive] {
        if (chdir(BUILD_ROOT) != 0) std::abort();
        setenv("VELLORAN_AUDIO", "null", 1);
        instrument_roster.Scan("instruments");
        machine_roster.Scan("machines");
        new Song(drive);
        return true;
    }();
    (void)loaded;
}
