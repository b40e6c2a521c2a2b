#include "app/connection_volume.h"

#include "engine/finite_values.h"
#include "engine/song.h"

namespace {

Machine* Destination(int32 id, int32 input) {
    Machine* machine = song->MachineAt(id);
    return machine != nullptr && input >= 0 && input < machine->num_in_machines ? machine : nullptr;
}

}  // namespace

ConnectionVolume::ConnectionVolume(int32 destination, int32 input)
    : fDestination(destination), fInput(input), fSource(-1) {
    if (Machine* machine = ::Destination(destination, input)) fSource = machine->in_machine[input];
}

bool ConnectionVolume::Valid() const {
    Machine* machine = ::Destination(fDestination, fInput);
    return machine != nullptr && fSource >= 0 && machine->in_machine[fInput] == fSource;
}

float ConnectionVolume::Get(Side side) const {
    if (!Valid()) return 1.0f;
    Machine* machine = song->MachineAt(fDestination);
    const float value =
        side == kLeft ? machine->in_vol_left[fInput].load() : machine->in_vol_right[fInput].load();
    return FiniteIn(value, 0.0f, Machine::kMaxVolume, 1.0f);
}

bool ConnectionVolume::Set(Side side, float value) const {
    if (!Valid()) return false;
    Machine* machine = song->MachineAt(fDestination);
    (side == kLeft ? machine->in_vol_left : machine->in_vol_right)[fInput] = value;
    return true;
}
