// Song::Save and Song::Open: a 4-byte little-endian length and one flattened message.
#include <algorithm>
#include <vector>

#include "engine/diagnostics.h"
#include "engine/graph_repair.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "message/byte_order.h"
#include "platform/storage/entry.h"
#include "platform/storage/file.h"

namespace {

bool WriteAll(const std::string& path, const std::vector<char>& bytes) {
    BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
    return file.InitCheck() == B_OK &&
           file.Write(bytes.data(), bytes.size()) == ssize_t(bytes.size()) && file.Sync() == B_OK;
}

// The whole file, or an error text naming what is wrong with it.
bool ReadSong(const char* path, BMessage* message, std::string* problem) {
    BFile file(path, B_READ_ONLY);
    off_t size = 0;
    if (file.InitCheck() != B_OK || file.GetSize(&size) != B_OK) {
        *problem =
            std::string("Can't open the song ") + path + ": " + strerror_status(file.InitCheck());
        return false;
    }
    uint8 word[4];
    if (size < 4 || file.ReadAt(0, word, 4) != 4) {
        *problem = std::string("The song ") + path + " is too short to be a song.";
        return false;
    }
    uint32 length = ReadLE32(word);
    if (off_t(length) != size - 4) {
        *problem = std::string("The song ") + path + " is damaged: it should hold " +
                   std::to_string(length) + " bytes after its length but holds " +
                   std::to_string(size - 4) + ".";
        return false;
    }
    std::vector<char> bytes(length);
    if (file.ReadAt(4, bytes.data(), length) != ssize_t(length) ||
        message->Unflatten(bytes.data(), ssize_t(length)) != B_OK) {
        *problem = std::string("The song ") + path + " is damaged and can't be read.";
        return false;
    }
    // Every step starts at machine 0, so a song without its master there cannot play.
    int32 machines = 0;
    std::string first;
    if (message->FindInt32("num_machines", &machines) == B_OK &&
        (machines < 1 || message->FindString("machine_name", &first) != B_OK ||
         first != "Master")) {
        *problem = std::string("The song ") + path + " is damaged: it has no master machine.";
        return false;
    }
    return true;
}

int32 FindInt32Or(const BMessage& message, const char* key, int32 fallback) {
    message.FindInt32(key, &fallback);
    return fallback;
}

}  // namespace

void Song::SaveSettings(BMessage* file) {
    file->AddString("title", title);
    file->AddString("details", details);
    file->AddBool("showdetailswindow", show_details_window);
    file->AddInt32("solo", solo);
    file->AddInt32("solo_machine", solo_machine);
    file->AddInt32("loop", loop);
    file->AddInt32("start_pos", start_pos);
    file->AddInt32("stop_pos", stop_pos);
    file->AddInt32("main_tempo", main_tempo);
}

void Song::SaveInto(BMessage* file) {
    SaveSettings(file);
    for (int32 k = 0; k < kInstrumentSlots; k++) {
        Instrument* instrument = instruments[k];
        if (instrument == nullptr) continue;
        BMessage scratch;
        instrument->Save(&scratch);
        file->AddInt16("instrnr", int16(k));
        file->AddMessage("instr", &scratch);
        file->AddString("instrument_name", instrument->addon_name);
    }
    file->AddInt32("num_machines", num_machines);
    for (int32 i = 0; i < num_machines; i++) {
        BMessage scratch;
        machines[i]->Save(&scratch);
        file->AddMessage("machine", &scratch);
        file->AddString("machine_name", machines[i]->addon_name);
    }
}

std::vector<char> SongFileBytes(const BMessage& file) {
    const ssize_t size = file.FlattenedSize();
    if (size < 0) return {};
    std::vector<char> bytes(size_t(size) + 4);
    WriteLE32(reinterpret_cast<uint8*>(bytes.data()), uint32(size));
    file.Flatten(bytes.data() + 4, size);
    return bytes;
}

std::vector<char> Song::FileBytes() {
    BMessage file;
    SaveInto(&file);
    return SongFileBytes(file);
}

int Song::Save(const char* path) {
    Diagnostic("Saving...\n");
    if (path == nullptr) return 0;
    const std::vector<char> bytes = FileBytes();
    if (bytes.empty()) return 0;
    // The old file stays until every byte of the new one is on disk.
    std::string temporary = std::string(path) + ".saving";
    if (!WriteAll(temporary, bytes) || BEntry(temporary.c_str()).Rename(path, true) != B_OK) {
        BEntry(temporary.c_str()).Remove();
        return 0;
    }
    return 1;
}

int Song::Open(const char* path) {
    Diagnostic("Loading...\n");
    BMessage file;
    std::string problem;
    // A damaged file is refused before the song is cleared, so nothing of the user's is lost.
    if (path == nullptr || !ReadSong(path, &file, &problem)) {
        ShowError("%s", problem.c_str());
        return 0;
    }
    DeferredErrors errors;
    New();
    lock->Lock();
    Load(file, path);
    lock->Unlock();
    return 1;
}

void Song::OpenSettings(const BMessage& file) {
    file.FindString("title", &title);
    file.FindString("details", &details);
    file.FindBool("showdetailswindow", &show_details_window);
    solo = FindInt32Or(file, "solo", 0);
    loop = FindInt32Or(file, "loop", 0);
    start_pos = std::clamp(FindInt32Or(file, "start_pos", 0), 0, kLastPosition);
    stop_pos = std::clamp(FindInt32Or(file, "stop_pos", 16), 0, kLastPosition);
    main_tempo = std::clamp(FindInt32Or(file, "main_tempo", 120), kMinTempo, kMaxTempo);
}

void Song::Load(const BMessage& file, const char* path) {
    OpenSettings(file);
    Diagnostic("%s\n%s\n", path, title.c_str());
    LoadReport report;
    LoadInstruments(file, &report);
    int32 count = 0;
    if (file.FindInt32("num_patterns", &count) == B_OK) {
        LoadMachines(file, "num_patterns", "pattern", "pattern_name", &report);
    }
    int32 soloed = FindInt32Or(file, "solo_machine", 0);
    if (file.FindInt32("num_machines", &count) == B_OK) {
        RemoveMachine(0);
        std::vector<int32> savedToNew =
            LoadMachines(file, "num_machines", "machine", "machine_name", &report);
        bool known = soloed >= 0 && size_t(soloed) < savedToNew.size();
        soloed = known ? std::max(savedToNew[size_t(soloed)], int32(0)) : 0;
    }
    // Set last: removing the first master renumbers it.
    solo_machine = soloed;
    report.Show();
}

void Song::LoadInstruments(const BMessage& file, LoadReport* report) {
    BMessage saved;
    for (int32 k = 0; file.FindMessage("instr", k, &saved) == B_OK; k++) {
        int16 slot = -1;
        std::string name;
        file.FindInt16("instrnr", k, &slot);
        file.FindString("instrument_name", k, &name);
        Diagnostic("loading instrument %d\n", int(slot));
        if (slot < 0 || slot >= kInstrumentSlots) continue;
        Addon* made = instrument_roster.Create(name.c_str());
        auto* instrument = dynamic_cast<Instrument*>(made);
        if (instrument == nullptr) {
            delete made;
            report->Missing("instrument", name);
            continue;
        }
        delete instruments[slot].exchange(instrument);
        instrument->Open(&saved);
    }
}

std::vector<int32> Song::LoadMachines(const BMessage& file, const char* countKey,
                                      const char* machineKey, const char* nameKey,
                                      LoadReport* report) {
    // Only what the file holds is read, however many it says there are.
    const int32 said = FindInt32Or(file, countKey, 0);
    int32 held = 0, names = 0;
    file.GetInfo(machineKey, nullptr, &held);
    file.GetInfo(nameKey, nullptr, &names);
    held = std::max(held, names);
    if (said != held) report->CountMismatch("machine", said, held);
    int32 saved = std::clamp(std::min(said, held), int32(0), kMachineSlots);
    // Saved IDs name item indices; machines that cannot be made shift the later ones down.
    int32 first = num_machines;
    std::vector<int32> savedToNew(size_t(saved), -1);
    BMessage stored;
    for (int32 i = 0; i < saved; i++) {
        Diagnostic("loading machine %d\n", int(i));
        std::string name;
        file.FindString(nameKey, i, &name);
        if (file.FindMessage(machineKey, i, &stored) != B_OK) stored.MakeEmpty();
        int index = AddMachine(name.c_str());
        if (index < 0) {
            report->Missing("machine", name);
            continue;
        }
        savedToNew[size_t(i)] = index;
        machines[index]->Open(&stored);
    }
    // Machines of the older layout connected themselves to the master by index.
    if (first > 0) {
        savedToNew.resize(size_t(num_machines));
        for (int32 i = 0; i < num_machines; i++) savedToNew[size_t(i)] = i;
    }
    GraphRepair::Repair(machines, num_machines, savedToNew);
    return savedToNew;
}
