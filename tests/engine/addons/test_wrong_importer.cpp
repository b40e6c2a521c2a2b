// An importer add-on that makes something else: the program must refuse it before it clears
// the song.
#include "engine/addon_entry.h"
#include "engine/importer.h"

namespace {

class NotAnImporter : public Addon {};

}  // namespace

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new NotAnImporter;
}
VELLORAN_ADDON_EXPORT BMessage* GetInfo() {
    static BMessage info = [] {
        BMessage m;
        m.AddString("info", "Makes no importer");
        m.AddString("canimport", "audio/x-velloran-wrong");
        return m;
    }();
    return &info;
}
VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {
    return 1;
}
