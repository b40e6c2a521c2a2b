// An importer for a made-up file type: it names the song after the file.
#include "engine/addon_entry.h"
#include "engine/importer.h"
#include "engine/song.h"

namespace {

class TestImporter : public Importer {
  public:
    void Open(const char* path) override { song->title = path; }
};

}  // namespace

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new TestImporter;
}
VELLORAN_ADDON_EXPORT BMessage* GetInfo() {
    static BMessage info = [] {
        BMessage m;
        m.AddString("info", "Test importer");
        m.AddString("developer", "Velloran tests");
        m.AddString("canimport", "audio/x-velloran-test");
        m.AddString("canimport", "audio/x-velloran-other");
        return m;
    }();
    return &info;
}
VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {
    return 1;
}
