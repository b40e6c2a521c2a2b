// The MIDI file importer's entry points.
#include "addons/MidiFile/midi_importer.h"
#include "addons/common/standard_info.h"
#include "engine/addon_entry.h"

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new MidiImporter;
}

VELLORAN_ADDON_EXPORT BMessage* GetInfo() {
    // The shipped add-ons' description, and the types read.
    static BMessage* info = [] {
        auto* message = new BMessage(*StandardInfo());
        message->AddString("canimport", "audio/midi");
        message->AddString("canimport", "audio/x-midi");
        return message;
    }();
    return info;
}

VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {
    return 1;
}
