#include "engine/graph_repair.h"

#include <algorithm>

namespace {

int32 Occurrences(const int32* ids, int32 count, int32 id) {
    return int32(std::count(ids, ids + count, id));
}

}  // namespace

bool GraphRepair::Renumber(Machine* m, int32 self, const std::vector<int32>& savedToNew) {
    auto mapped = [&](int32 saved) {
        if (saved < 0 || size_t(saved) >= savedToNew.size()) return int32(-1);
        int32 now = savedToNew[size_t(saved)];
        return now == self ? int32(-1) : now;
    };
    bool dropped = false;
    int32 kept = 0;
    for (int32 i = 0; i < m->num_in_machines; i++) {
        int32 now = mapped(m->in_machine[i]);
        if (now < 0) {
            dropped = true;
            continue;
        }
        m->in_machine[kept] = now;
        m->in_vol_left[kept] = m->in_vol_left[i].load();
        m->in_vol_right[kept] = m->in_vol_right[i].load();
        kept++;
    }
    m->num_in_machines = kept;
    kept = 0;
    for (int32 i = 0; i < m->num_out_machines; i++) {
        int32 now = mapped(m->out_machine[i]);
        dropped |= now < 0;
        if (now >= 0) m->out_machine[kept++] = now;
    }
    m->num_out_machines = kept;
    return dropped;
}

bool GraphRepair::Consistent(Machine** machines, int32 count) {
    for (int32 id = 0; id < count; id++) {
        const Machine* m = machines[id];
        for (int32 i = 0; i < m->num_out_machines; i++) {
            const Machine* target = machines[m->out_machine[i]];
            if (Occurrences(m->out_machine, m->num_out_machines, target->ID) !=
                Occurrences(target->in_machine, target->num_in_machines, id)) {
                return false;
            }
        }
        for (int32 i = 0; i < m->num_in_machines; i++) {
            const Machine* source = machines[m->in_machine[i]];
            if (Occurrences(source->out_machine, source->num_out_machines, id) == 0) return false;
        }
    }
    return true;
}

void GraphRepair::RebuildOutputs(Machine** machines, int32 count) {
    for (int32 id = 0; id < count; id++) machines[id]->num_out_machines = 0;
    for (int32 id = 0; id < count; id++) {
        const Machine* m = machines[id];
        for (int32 i = 0; i < m->num_in_machines; i++) {
            Machine* source = machines[m->in_machine[i]];
            if (source->num_out_machines < Machine::kMaxConnections) {
                source->out_machine[source->num_out_machines++] = id;
            }
        }
    }
}

// Depth first along the inputs, as a step pulls; an input that leads back is dropped.
bool GraphRepair::Visit(Machine** machines, int32 id, std::vector<char>& state) {
    enum : char { kNew, kOpen, kDone };
    state[size_t(id)] = kOpen;
    bool dropped = false;
    Machine* m = machines[id];
    for (int32 i = 0; i < m->num_in_machines;) {
        int32 source = m->in_machine[i];
        if (state[size_t(source)] == kOpen) {
            std::copy(m->in_machine + i + 1, m->in_machine + m->num_in_machines, m->in_machine + i);
            for (int32 k = i; k + 1 < m->num_in_machines; k++) {
                m->in_vol_left[k] = m->in_vol_left[k + 1].load();
                m->in_vol_right[k] = m->in_vol_right[k + 1].load();
            }
            m->num_in_machines--;
            dropped = true;
            continue;
        }
        if (state[size_t(source)] == kNew) dropped |= Visit(machines, source, state);
        i++;
    }
    state[size_t(id)] = kDone;
    return dropped;
}

bool GraphRepair::DropLoops(Machine** machines, int32 count) {
    std::vector<char> state(size_t(count), 0);
    bool dropped = false;
    for (int32 id = 0; id < count; id++) {
        if (state[size_t(id)] == 0) dropped |= Visit(machines, id, state);
    }
    return dropped;
}

bool GraphRepair::Repair(Machine** machines, int32 count, const std::vector<int32>& savedToNew) {
    bool changed = false;
    for (int32 id = 0; id < count; id++) changed |= Renumber(machines[id], id, savedToNew);
    bool loops = DropLoops(machines, count);
    if (loops || !Consistent(machines, count)) {
        RebuildOutputs(machines, count);
        changed = true;
    }
    return changed;
}
