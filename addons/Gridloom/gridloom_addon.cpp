// The entry points through which the program makes pattern trackers.
#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/tracker_view.h"
#include "addons/common/standard_info.h"
#include "engine/addon_entry.h"

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    auto* tracker = new PatternTracker;
    tracker->view = new TrackerView(tracker);
    return tracker;
}

VELLORAN_ADDON_EXPORT BMessage* GetInfo() {
    return StandardInfo();
}

VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {
    return 1;
}
