#include "engine/machine.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "engine/diagnostics.h"
#include "engine/finite_values.h"
#include "engine/show_error.h"
#include "engine/song.h"

namespace {

std::atomic<uint64> gSerials{0};

}  // namespace

Machine::Machine()
    : ID(song != nullptr ? song->num_machines : 0),
      serial(++gSerials),
      buffer_left(new float[kBufferFrames]),
      buffer_right(new float[kBufferFrames]) {
    position = BPoint(float(100 * ((ID - 1) % 5) + 10), float(40 * ((ID - 1) / 5) + 10));
    name = "Machine " + std::to_string(ID);
}

Machine::~Machine() {
    DisconnectAll();
    delete[] buffer_left;
    delete[] buffer_right;
}

void Machine::DisconnectAll() {
    if (num_out_machines == 0 && num_in_machines == 0) return;
    lock->Lock();
    while (num_out_machines > 0) {
        Diagnostic("Disconnecting %d to %d\n", ID, out_machine[0]);
        Disconnect(out_machine[0]);
    }
    while (num_in_machines > 0) {
        int32 source = in_machine[0];
        Diagnostic("Disconnecting %d to %d\n", source, ID);
        Machine* from = song != nullptr ? song->MachineAt(source) : nullptr;
        if (from == nullptr) break;
        from->Disconnect(ID);
    }
    lock->Unlock();
}

void Machine::ShowWindow() {}

void Machine::Process() {}

void Machine::Mix(const Machine& source, float left, float right, bool first) {
    const float* __restrict sl = source.buffer_left;
    const float* __restrict sr = source.buffer_right;
    float* __restrict dl = buffer_left;
    float* __restrict dr = buffer_right;
    // The first input is written rather than added, which spares clearing the buffers.
    if (first) {
        for (int32 f = 0; f < buffer_length; f++) dl[f] = sl[f] * left;
        for (int32 f = 0; f < buffer_length; f++) dr[f] = sr[f] * right;
        return;
    }
    for (int32 f = 0; f < buffer_length; f++) dl[f] += sl[f] * left;
    for (int32 f = 0; f < buffer_length; f++) dr[f] += sr[f] * right;
}

void Machine::RunProcess() {
    if (processed || mute) return;
    for (int32 i = 0; i < num_in_machines; i++) song->machines[in_machine[i]]->RunProcess();
    bool silent = true;
    for (int32 i = 0; i < num_in_machines; i++) {
        const Machine& source = *song->machines[in_machine[i]];
        if (source.mute) continue;
        Mix(source, in_vol_left[i], in_vol_right[i], silent);
        silent = false;
    }
    if (silent) {
        std::fill(buffer_left, buffer_left + buffer_length, 0.0f);
        std::fill(buffer_right, buffer_right + buffer_length, 0.0f);
    }
    if (song->solo && num_in_machines == 0 && ID != song->solo_machine) return;
    Diagnostic("Processing machine %d\n", ID);
    Process();
    processed = 1;
}

bool Machine::Refuse(int id) const {
    Machine* target = song->MachineAt(id);
    if (id == ID || target == nullptr) return true;
    if (!has_output) {
        ShowError("%s has no Output!", GetName());
        return true;
    }
    if (!target->has_input) {
        ShowError("%s has no Input!", target->GetName());
        return true;
    }
    bool loop = target == this;
    for (int32 i = 0; i < target->num_out_machines && !loop; i++) {
        loop = CheckForLoopErrors(this, song->MachineAt(target->out_machine[i])) != 0;
    }
    if (loop) {
        ShowError("Eternal loop error encountered!\nCircular connections cant be solved!");
        return true;
    }
    const Machine* full = num_out_machines >= kMaxConnections          ? this
                          : target->num_in_machines >= kMaxConnections ? target
                                                                       : nullptr;
    if (full != nullptr) {
        ShowError("%s already has %d connections!", full->GetName(), int(kMaxConnections));
        return true;
    }
    return false;
}

int Machine::Connect(int id) {
    if (song == nullptr || Refuse(id)) return 0;
    Machine* target = song->machines[id];
    // The step reads both lists: change them as one.
    lock->Lock();
    out_machine[num_out_machines++] = id;
    int32 at = target->num_in_machines++;
    target->in_machine[at] = ID;
    target->in_vol_left[at] = 1.0f;
    target->in_vol_right[at] = 1.0f;
    lock->Unlock();
    return 1;
}

void Machine::RemoveEntries(int32* ids, int32* count, int32 id, std::atomic<float>* left,
                            std::atomic<float>* right) {
    int32 kept = 0;
    for (int32 i = 0; i < *count; i++) {
        if (ids[i] == id) continue;
        ids[kept] = ids[i];
        if (left != nullptr) {
            left[kept] = left[i].load();
            right[kept] = right[i].load();
        }
        kept++;
    }
    *count = kept;
}

void Machine::Disconnect(int id) {
    lock->Lock();
    RemoveEntries(out_machine, &num_out_machines, id, nullptr, nullptr);
    Machine* target = song != nullptr ? song->MachineAt(id) : nullptr;
    if (target != nullptr) {
        RemoveEntries(target->in_machine, &target->num_in_machines, ID, target->in_vol_left,
                      target->in_vol_right);
    }
    lock->Unlock();
}

void Machine::Save(BMessage* msg) {
    msg->AddPoint("Machine::position", position);
    msg->AddString("Machine::name", name);
    msg->AddInt32("Machine::ID", ID);
    msg->AddInt32("Machine::mute", mute);
    msg->AddInt32("Machine::num_in_machines", num_in_machines);
    for (int32 i = 0; i < num_in_machines; i++) {
        msg->AddInt32("Machine::in_machine", in_machine[i]);
        msg->AddFloat("Machine::in_vol_left", in_vol_left[i]);
        msg->AddFloat("Machine::in_vol_right", in_vol_right[i]);
    }
    msg->AddInt32("Machine::num_out_machines", num_out_machines);
    for (int32 i = 0; i < num_out_machines; i++) {
        msg->AddInt32("Machine::out_machine", out_machine[i]);
    }
}

namespace {

// Lists longer than the table keep their first entries.
int32 SavedCount(BMessage* msg, const char* key) {
    int32 count = 0;
    msg->FindInt32(key, &count);
    return std::clamp(count, int32(0), Machine::kMaxConnections);
}

}  // namespace

void Machine::Open(BMessage* msg) {
    if (msg->FindPoint("Machine::position", &position) != B_OK) {
        Connect(0);
        return;
    }
    position.x = FiniteIn(position.x, -kMapExtent, kMapExtent, 0.0f);
    position.y = FiniteIn(position.y, -kMapExtent, kMapExtent, 0.0f);
    msg->FindString("Machine::name", &name);
    int32 muted = mute;
    msg->FindInt32("Machine::mute", &muted);
    mute = muted;
    lock->Lock();
    num_in_machines = SavedCount(msg, "Machine::num_in_machines");
    for (int32 i = 0; i < num_in_machines; i++) {
        float left = 1.0f, right = 1.0f;
        in_machine[i] = -1;
        msg->FindInt32("Machine::in_machine", i, &in_machine[i]);
        msg->FindFloat("Machine::in_vol_left", i, &left);
        msg->FindFloat("Machine::in_vol_right", i, &right);
        // A volume that is not a number would make the whole mix NaN.
        in_vol_left[i] = FiniteIn(left, 0.0f, kMaxVolume, 1.0f);
        in_vol_right[i] = FiniteIn(right, 0.0f, kMaxVolume, 1.0f);
    }
    num_out_machines = SavedCount(msg, "Machine::num_out_machines");
    for (int32 i = 0; i < num_out_machines; i++) {
        out_machine[i] = -1;
        msg->FindInt32("Machine::out_machine", i, &out_machine[i]);
    }
    lock->Unlock();
}

int32 Machine::ContentEnd() const {
    return 0;
}

int CheckForLoopErrors(const Machine* a, const Machine* b) {
    if (a == b) return 1;
    if (b == nullptr || song == nullptr) return 0;
    // Each machine is followed once: lists read from a file may hold a loop that a does not
    // close, which a plain walk would follow for ever.
    std::vector<char> seen(size_t(Song::kMachineSlots), 0);
    std::vector<const Machine*> waiting = {b};
    while (!waiting.empty()) {
        const Machine* m = waiting.back();
        waiting.pop_back();
        if (m == a) return 1;
        if (m == nullptr || m->ID < 0 || m->ID >= Song::kMachineSlots || seen[size_t(m->ID)]) {
            continue;
        }
        seen[size_t(m->ID)] = 1;
        for (int32 i = 0; i < m->num_out_machines; i++) {
            waiting.push_back(song->MachineAt(m->out_machine[i]));
        }
    }
    return 0;
}
