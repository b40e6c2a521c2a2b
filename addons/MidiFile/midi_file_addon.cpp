// The MIDI file importer's entry points.
#include "addons/MidiFile/midi_importer.h"
#include "engine/addon_entry.h"

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new MidiImporter;
}

VELLORAN_ADDON_EXPORT BMessage* GetInfo() {
    static BMessage* info = [] {
        auto* message = new BMessage;
        message->AddString("info", "Standard component");
        message->AddString("developer", "The Velloran developers");
        message->AddString("canimport", "audio/midi");
        message->AddString("canimport", "audio/x-midi");
        return message;
    }();
    return info;
}

VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {
    return 1;
}
