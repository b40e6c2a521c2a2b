#include "engine/rosters.h"

Roster instrument_roster;
Roster machine_roster;
Roster importer_roster;

int FindImporter(const char* type) {
    if (type == nullptr) return -1;
    for (int32 i = 0; i < importer_roster.count; i++) {
        BMessage* info = importer_roster.GetInfo(i);
        std::string canImport;
        for (int32 k = 0; info != nullptr && info->FindString("canimport", k, &canImport) == B_OK;
             k++) {
            if (canImport == type) return i;
        }
    }
    return -1;
}
