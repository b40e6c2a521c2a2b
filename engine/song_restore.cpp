// Song::Restore: brings the live song to a snapshot by opening again only what differs.
#include <algorithm>

#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"

namespace {

using Part = SongSnapshot::Part;

struct Reopening {
    Machine* machine;
    BMessage record;
};

const Part* PartWithKey(const std::vector<Part>& parts, uint64 key) {
    const auto found =
        std::find_if(parts.begin(), parts.end(), [key](const Part& p) { return p.key == key; });
    return found != parts.end() ? &*found : nullptr;
}

// A machine's record names its connections by ID. The machine goes without touching the
// others: each keeps the connections its own restored record names.
void Discard(Machine* machine) {
    machine->num_in_machines = 0;
    machine->num_out_machines = 0;
    delete machine;
}

}  // namespace

void Song::Restore(const SongSnapshot& target, const SongSnapshot& live) {
    // Errors wait until the windows show the restored song.
    DeferredErrors errors;
    std::vector<Addon*> reopened;
    lock->Lock();
    if (!target.SameSettings(live)) {
        const BMessage settings = target.Settings();
        OpenSettings(settings);
        int32 selected = 0;
        if (settings.FindInt32("solo_machine", &selected) == B_OK) solo_machine = selected;
        tempo = int32(main_tempo);
        if (is_playing) UpdatePlayerTempo();
    }
    RestoreInstruments(target, live, &reopened);
    RestoreMachines(target, live, &reopened);
    if (solo_machine >= num_machines) solo_machine = 0;
    lock->Unlock();
    for (Addon* addon : reopened) addon->Reopened();
}

void Song::RestoreInstruments(const SongSnapshot& target, const SongSnapshot& live,
                              std::vector<Addon*>* reopened) {
    for (int32 slot = 0; slot < kInstrumentSlots; slot++) {
        const Part* wanted = PartWithKey(target.Instruments(), uint64(slot));
        const Part* now = PartWithKey(live.Instruments(), uint64(slot));
        Instrument* instrument = instruments[slot];
        if (wanted == nullptr) {
            if (instrument != nullptr) PutInstrument(slot, nullptr);
            continue;
        }
        if (now != nullptr && *now == *wanted && instrument != nullptr) continue;
        BMessage record = SongSnapshot::Record(wanted->bytes);
        if (instrument != nullptr && instrument->addon_name == wanted->addon) {
            instrument->Open(&record);
            reopened->push_back(instrument);
            continue;
        }
        auto* made = dynamic_cast<Instrument*>(instrument_roster.Create(wanted->addon.c_str()));
        if (made != nullptr) made->Open(&record);
        PutInstrument(slot, made);
    }
}

void Song::RestoreMachines(const SongSnapshot& target, const SongSnapshot& live,
                           std::vector<Addon*>* reopened) {
    std::vector<Machine*> order;
    std::vector<Reopening> opening;
    std::vector<bool> kept(size_t(num_machines), false);
    for (const Part& wanted : target.Machines()) {
        auto* found = std::find_if(machines, machines + num_machines,
                                   [&](const Machine* m) { return m->serial == wanted.key; });
        Machine* machine = nullptr;
        if (found != machines + num_machines) {
            machine = *found;
            kept[size_t(found - machines)] = true;
            const Part* now = PartWithKey(live.Machines(), wanted.key);
            if (now != nullptr && *now == wanted) {
                order.push_back(machine);
                continue;
            }
            reopened->push_back(machine);
        } else {
            machine = MakeMachine(wanted.addon.c_str());
            if (machine == nullptr) continue;
            machine->serial = wanted.key;
        }
        order.push_back(machine);
        opening.push_back({machine, SongSnapshot::Record(wanted.bytes)});
    }
    for (int32 i = 0; i < num_machines; i++)
        if (!kept[size_t(i)]) Discard(machines[i]);
    std::fill(machines, machines + kMachineSlots, nullptr);
    num_machines = int32(order.size());
    for (int32 i = 0; i < num_machines; i++) {
        machines[i] = order[size_t(i)];
        machines[i]->ID = i;
    }
    for (Reopening& r : opening) r.machine->Open(&r.record);
}
