#include "engine/rosters.h"

#include "engine/show_error.h"

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

std::unique_ptr<Importer> PreparedImporter(const char* path, const char* type) {
    const int index = FindImporter(type);
    if (index < 0) {
        ShowError("Couldn't find any importer\nfor the selected type of file!\n");
        return nullptr;
    }
    const char* name = importer_roster.GetName(index);
    std::unique_ptr<Addon> made(importer_roster.Create(name));
    auto* importer = dynamic_cast<Importer*>(made.get());
    if (importer == nullptr) {
        ShowError("The importer %s could not be started.", name);
        return nullptr;
    }
    made.release();
    std::unique_ptr<Importer> prepared(importer);
    if (!prepared->Prepare(path)) return nullptr;
    return prepared;
}
