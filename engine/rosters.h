// The program's three rosters, constructed before main and filled at start-up.
#pragma once

#include <memory>

#include "engine/importer.h"
#include "engine/roster.h"

extern Roster instrument_roster;
extern Roster machine_roster;
extern Roster importer_roster;

// Window thread. The first importer that reads files of the MIME type, or -1.
int FindImporter(const char* type);

// Window thread. The importer for files of the MIME type, made and prepared on the file at
// path; null when none reads the type, it cannot be made, or the file is refused, each
// reported through ShowError.
std::unique_ptr<Importer> PreparedImporter(const char* path, const char* type);
