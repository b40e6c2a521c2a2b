// The program's three rosters, constructed before main and filled at start-up.
#pragma once

#include "engine/roster.h"

extern Roster instrument_roster;
extern Roster machine_roster;
extern Roster importer_roster;

// Window thread. The first importer that reads files of the MIME type, or -1.
int FindImporter(const char* type);
