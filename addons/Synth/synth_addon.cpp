// The Synth add-on's entry points.
#include "addons/Synth/instrument_synth.h"
#include "addons/common/standard_info.h"
#include "engine/addon_entry.h"

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new InstrumentSynth;
}

VELLORAN_ADDON_EXPORT BMessage* GetInfo() {
    return StandardInfo();
}

VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {
    return 1;
}
