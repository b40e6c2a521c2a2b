// The Tempo add-on's entry points.
#include "addons/Tempo/controller_tempo.h"
#include "addons/Tempo/tempo_view.h"
#include "addons/common/standard_info.h"
#include "engine/addon_entry.h"

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    auto* machine = new ControllerTempo;
    machine->view = new TempoView(machine);
    return machine;
}

VELLORAN_ADDON_EXPORT BMessage* GetInfo() {
    return StandardInfo();
}

VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {
    return 1;
}
