#include "app/machine_map_seam.h"

#include <atomic>

namespace {

std::atomic<MachineMapLink*> gMap{nullptr};

}  // namespace

void AttachMachineMap(MachineMapLink* map) {
    gMap = map;
}

void UpdateMachineMap() {
    if (MachineMapLink* map = gMap) map->Update();
}

void ShowMachineMap() {
    if (MachineMapLink* map = gMap) map->Show();
}
