#include "engine/song_snapshot.h"

#include <algorithm>
#include <cstring>

#include "engine/song.h"

namespace {

using Part = SongSnapshot::Part;

// The record's bytes in scratch, whose room outlives one part: most parts equal what they
// were, and are then compared without being allocated and copied again.
const std::vector<char>& Flattened(const BMessage& record, std::vector<char>* scratch) {
    scratch->resize(size_t(std::max(record.FlattenedSize(), ssize_t(0))));
    if (!scratch->empty()) record.Flatten(scratch->data(), ssize_t(scratch->size()));
    return *scratch;
}

// The part of parts with key, looked for first where it stood in the other snapshot.
const Part* Find(const std::vector<Part>& parts, uint64 key, size_t hint) {
    if (hint < parts.size() && parts[hint].key == key) return &parts[hint];
    for (const Part& part : parts)
        if (part.key == key) return &part;
    return nullptr;
}

bool SameBytes(const SongSnapshot::Bytes& a, const SongSnapshot::Bytes& b) {
    return a == b || *a == *b;
}

// Equal bytes are kept once: the earlier snapshot's.
SongSnapshot::Bytes Kept(const std::vector<char>& made, const SongSnapshot::Bytes* earlier) {
    return earlier != nullptr && **earlier == made
               ? *earlier
               : std::make_shared<const std::vector<char>>(made);
}

Part Made(uint64 key, const std::string& addon, const std::string& label, const BMessage& record,
          const std::vector<Part>* before, size_t hint, std::vector<char>* scratch) {
    const Part* earlier = before != nullptr ? Find(*before, key, hint) : nullptr;
    return {key, addon, label,
            Kept(Flattened(record, scratch), earlier ? &earlier->bytes : nullptr)};
}

bool SameField(const BMessage& a, const BMessage& b, const char* name) {
    type_code type = 0;
    if (a.GetInfo(name, &type) != B_OK) return b.GetInfo(name, &type) != B_OK;
    const void* first = nullptr;
    const void* second = nullptr;
    ssize_t firstSize = 0, secondSize = 0;
    if (a.FindData(name, type, &first, &firstSize) != B_OK ||
        b.FindData(name, type, &second, &secondSize) != B_OK)
        return false;
    return firstSize == secondSize && std::memcmp(first, second, size_t(firstSize)) == 0;
}

// The labels of the parts whose bytes differ; empty when the lists hold other keys.
std::vector<std::string> ChangedLabels(const std::vector<Part>& now,
                                       const std::vector<Part>& before) {
    std::vector<std::string> labels;
    for (size_t i = 0; i < now.size(); i++)
        if (!(now[i] == before[i])) labels.push_back(now[i].label);
    return labels;
}

bool SameKeys(const std::vector<Part>& a, const std::vector<Part>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Part& x, const Part& y) { return x.key == y.key; });
}

}  // namespace

bool SongSnapshot::Part::operator==(const Part& other) const {
    return key == other.key && addon == other.addon && SameBytes(bytes, other.bytes);
}

SongSnapshot SongSnapshot::Take(Song& from, const SongSnapshot* previous) {
    SongSnapshot taken;
    std::vector<char> scratch;
    BMessage record;
    from.SaveSettings(&record);
    if (from.solo == 0) record.RemoveName("solo_machine");
    taken.fSettings = Kept(Flattened(record, &scratch), previous ? &previous->fSettings : nullptr);
    for (int32 slot = 0; slot < Song::kInstrumentSlots; slot++) {
        Instrument* instrument = from.instruments[slot];
        if (instrument == nullptr) continue;
        record.MakeEmpty();
        instrument->Save(&record);
        taken.fInstruments.push_back(Made(
            uint64(slot), instrument->addon_name, instrument->GetName(), record,
            previous ? &previous->fInstruments : nullptr, taken.fInstruments.size(), &scratch));
    }
    for (int32 i = 0; i < from.num_machines; i++) {
        Machine* machine = from.machines[i];
        record.MakeEmpty();
        machine->Save(&record);
        taken.fMachines.push_back(Made(machine->serial, machine->addon_name, machine->GetName(),
                                       record, previous ? &previous->fMachines : nullptr, size_t(i),
                                       &scratch));
    }
    return taken;
}

bool SongSnapshot::operator==(const SongSnapshot& other) const {
    return SameSettings(other) && fInstruments == other.fInstruments &&
           fMachines == other.fMachines;
}

bool SongSnapshot::SameSettings(const SongSnapshot& other) const {
    return SameBytes(fSettings, other.fSettings);
}

BMessage SongSnapshot::Settings() const {
    return Record(fSettings);
}

BMessage SongSnapshot::Record(const Bytes& bytes) {
    BMessage record;
    record.Unflatten(bytes->data(), ssize_t(bytes->size()));
    return record;
}

void SongSnapshot::ForEachBuffer(const std::function<void(const std::vector<char>&)>& visit) const {
    visit(*fSettings);
    for (const Part& part : fInstruments) visit(*part.bytes);
    for (const Part& part : fMachines) visit(*part.bytes);
}

std::string SongSnapshot::Describe(const SongSnapshot& before) const {
    if (!SameKeys(fMachines, before.fMachines)) return DescribeMachines(before);
    std::vector<std::string> machines = ChangedLabels(fMachines, before.fMachines);
    std::vector<std::string> instruments;
    if (SameKeys(fInstruments, before.fInstruments))
        instruments = ChangedLabels(fInstruments, before.fInstruments);
    else
        instruments.push_back("Instruments");
    const bool settings = !SameSettings(before);
    if (settings + !machines.empty() + !instruments.empty() != 1) return "Changes";
    if (settings) return DescribeSettings(before);
    const std::vector<std::string>& labels = machines.empty() ? instruments : machines;
    if (labels.size() == 1) return "Changes to " + labels[0];
    return "Changes to " + std::to_string(labels.size()) +
           (machines.empty() ? " Instruments" : " Machines");
}

std::string SongSnapshot::DescribeMachines(const SongSnapshot& before) const {
    std::vector<const Part*> added, removed;
    for (const Part& part : fMachines)
        if (Find(before.fMachines, part.key, 0) == nullptr) added.push_back(&part);
    for (const Part& part : before.fMachines)
        if (Find(fMachines, part.key, 0) == nullptr) removed.push_back(&part);
    if (added.size() == 1 && removed.empty()) return "Add " + added[0]->addon;
    if (removed.size() == 1 && added.empty()) return "Remove " + removed[0]->label;
    return "Machines";
}

std::string SongSnapshot::DescribeSettings(const SongSnapshot& before) const {
    const BMessage now = Settings();
    const BMessage then = before.Settings();
    const auto same = [&](std::initializer_list<const char*> names) {
        return std::all_of(names.begin(), names.end(),
                           [&](const char* name) { return SameField(now, then, name); });
    };
    const bool tempo = !same({"main_tempo"});
    const bool loop = !same({"loop", "start_pos", "stop_pos"});
    const bool details = !same({"title", "details", "showdetailswindow"});
    const bool solo = !same({"solo", "solo_machine"});
    if (tempo + loop + details + solo != 1) return "Song Settings";
    if (tempo) return "Tempo";
    if (loop) return "Loop";
    return details ? "Song Details" : "Solo";
}
