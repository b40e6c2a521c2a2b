#include "bench/full_tracker.h"

#include <unistd.h>

#include <cstdlib>

#include "addons/Gridloom/pattern_tracker.h"
#include "engine/instrument.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/song.h"

PatternTracker* FullTracker(int32 rows) {
    if (chdir(ADDON_TEST_ROOT) != 0) std::abort();
    machine_roster.Scan("machines");
    new Song(PlayerDrive::kCaller);
    song->instruments[0] = new Instrument;
    const int index = song->AddMachine("Gridloom");
    if (index < 0) std::abort();
    // The benches do not bind to the add-on's type information, so there is nothing to check by.
    auto* tracker = static_cast<PatternTracker*>(song->machines[index]);
    for (int32 t = 0; t < PatternTracker::kMaxTracks; t++) {
        TrackPage& page = tracker->tracks[tracker->AddTrack()]->pages[0];
        for (int32 row = 0; row < rows; row++) {
            page.setstatus(row, 1);
            page.setnote(row, 40 + (row + t) % 48);
        }
    }
    return tracker;
}
