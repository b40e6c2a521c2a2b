// The description every test add-on gives.
#pragma once

#include "engine/addon_entry.h"

#define VELLORAN_TEST_ADDON_INFO(description)           \
    VELLORAN_ADDON_EXPORT BMessage* GetInfo() {         \
        static BMessage info = [] {                     \
            BMessage m;                                 \
            m.AddString("info", description);           \
            m.AddString("developer", "Velloran tests"); \
            return m;                                   \
        }();                                            \
        return &info;                                   \
    }                                                   \
    VELLORAN_ADDON_EXPORT int32 GetAddonVersion() {     \
        return 1;                                       \
    }
