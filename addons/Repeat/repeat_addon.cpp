// The Repeat add-on's entry points.
#include "addons/Repeat/controller_repeat.h"
#include "addons/Repeat/repeat_view.h"
#include "addons/common/standard_info.h"
#include "engine/addon_entry.h"

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    auto* machine = new ControllerRepeat;
    machine->view = new RepeatView(machine);
    return machine;
}

VELLORAN_ADDON_EXPORT BMessage* GetInfo() {
    return StandardInfo();
}

VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {
    return 1;
}
