// The Sampler add-on's entry points.
#include "addons/Sampler/instrument_sampler.h"
#include "addons/common/standard_info.h"
#include "engine/addon_entry.h"

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new InstrumentSampler;
}

VELLORAN_ADDON_EXPORT BMessage* GetInfo() {
    return StandardInfo();
}

VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {
    return 1;
}
