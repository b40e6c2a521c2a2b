#include "engine/song.h"

#include <algorithm>
#include <climits>

#include "engine/out_machine.h"
#include "engine/player.h"
#include "engine/preview_note.h"
#include "engine/rosters.h"

Song* song = nullptr;
BLocker* lock = nullptr;

Song::Song(PlayerDrive drive) : title("Unnamed"), details("Created by:") {
    song = this;
    lock = new BLocker("song lock");
    InitPlayer(drive);
    New();
}

Song::~Song() = default;

Machine* Song::MachineAt(int32 id) const {
    return id >= 0 && id < num_machines ? machines[id] : nullptr;
}

void Song::Clear() {
    // The preview may be playing through one of them on the sound thread.
    preview.Silence();
    for (auto& instrument : instruments) delete instrument.exchange(nullptr);
    for (Machine*& machine : machines) {
        delete machine;
        machine = nullptr;
    }
    num_machines = 0;
}

void Song::New() {
    Stop();
    lock->Lock();
    Clear();
    show_details_window = false;
    solo = 0;
    solo_machine = 0;
    loop = 0;
    start_pos = 0;
    stop_pos = 16;
    main_tempo = 120;
    tempo = 120;
    position = 0;
    step = 0;
    title = "Unnamed";
    details = "Created by:";
    AddMachine("Master");
    lock->Unlock();
}

Machine* Song::MakeMachine(const char* name) {
    if (std::string_view(name) == "Master") {
        Machine* machine = CreateMasterMachine();
        machine->addon_name = name;
        return machine;
    }
    Addon* made = machine_roster.Create(name);
    auto* machine = dynamic_cast<Machine*>(made);
    // Something else in the machines folder is no machine.
    if (machine == nullptr) delete made;
    return machine;
}

int Song::AddMachine(const char* name) {
    if (name == nullptr || num_machines >= kMachineSlots) return -1;
    Machine* machine = MakeMachine(name);
    if (machine == nullptr) return -1;
    lock->Lock();
    machines[num_machines] = machine;
    int index = num_machines++;
    lock->Unlock();
    return index;
}

// The player reads the slot inside a step, under the song lock, and the sound thread through
// the preview.
void Song::PutInstrument(int32 slot, Instrument* instrument) {
    lock->Lock();
    Instrument* old = instruments[slot].exchange(instrument);
    lock->Unlock();
    if (old == nullptr) return;
    preview.Silence();
    delete old;
}

void Song::RemoveMachine(int id) {
    if (id < 0 || id >= num_machines) return;
    lock->Lock();
    delete machines[id];
    std::copy(machines + id + 1, machines + num_machines, machines + id);
    machines[--num_machines] = nullptr;
    Settle(id);
    lock->Unlock();
}

// Renumbers IDs, connections and the soloed machine after machine `removed` went.
void Song::Settle(int32 removed) {
    for (int32 i = 0; i < num_machines; i++) {
        Machine* m = machines[i];
        m->ID = i;
        for (int32 c = 0; c < m->num_in_machines; c++)
            m->in_machine[c] -= m->in_machine[c] > removed;
        for (int32 c = 0; c < m->num_out_machines; c++) {
            m->out_machine[c] -= m->out_machine[c] > removed;
        }
    }
    if (solo_machine == removed) {
        solo_machine = 0;
    } else if (solo_machine > removed) {
        solo_machine--;
    }
}

void Song::Play() {
    if (is_playing) return;
    // Lets a step still running end first.
    lock->Lock();
    lock->Unlock();
    position = loop ? int32(start_pos) : 0;
    tempo = int32(main_tempo);
    step = 0;
    is_playing = 1;
    StartPlayer();
}

void Song::Stop() {
    if (!is_playing) return;
    StopPlayer();
    is_playing = 0;
}

void Song::ResetControllers() {
    for (int32 i = 0; i < num_machines; i++) {
        Machine* m = machines[i];
        if (m->has_input || m->has_output) continue;
        BMessage saved;
        m->Save(&saved);
        m->Open(&saved);
    }
}

void Song::CallControllers() {
    for (int32 i = 0; i < num_machines; i++) {
        Machine* m = machines[i];
        if (!m->mute && !m->has_input && !m->has_output) m->Process();
    }
}

void Song::Process() {
    lock->Lock();
    const int32 length = BeginPlayerStep();
    for (int32 i = 0; i < num_machines; i++) {
        machines[i]->processed = 0;
        machines[i]->buffer_length = length;
    }
    // A controller may have sent the song anywhere; the count stops rather than wrapping.
    const int32 now = position;
    const bool last = step + 1 >= STEPS_PER_MEASURE;
    next_position = !last || now == INT32_MAX ? now : now + 1;
    next_tempo = tempo;
    if (next_position != position) CallControllers();
    if (loop && next_position == stop_pos) next_position = start_pos;
    RenderMaster(length);
    position = next_position;
    step = last ? 0 : step + 1;
    // The step just rendered plays as long as it was laid out; the new tempo starts with the
    // first step of the measure the controllers named.
    if (next_tempo != tempo) {
        tempo = next_tempo;
        UpdatePlayerTempo();
    }
    lock->Unlock();
}

void Song::RenderMaster(int32 length) {
    Machine* master = machines[0];
    master->RunProcess();
    // A muted master writes nothing; play silence rather than the last step's sound.
    if (!master->processed) {
        int32 half = bigbufnr;
        std::fill(bigbuf1[half], bigbuf1[half] + length, 0.0f);
        std::fill(bigbuf2[half], bigbuf2[half] + length, 0.0f);
    }
}
