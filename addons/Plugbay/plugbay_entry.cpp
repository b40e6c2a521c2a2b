// The add-on's three entry points.
#include "addons/Plugbay/machine_plugbay.h"
#include "addons/Plugbay/machine_view.h"
#include "addons/common/standard_info.h"
#include "engine/addon_entry.h"

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    auto* machine = new MachinePlugbay;
    machine->view = new MachineView;
    return machine;
}

VELLORAN_ADDON_EXPORT BMessage* GetInfo() {
    return StandardInfo();
}

VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {
    return 1;
}
