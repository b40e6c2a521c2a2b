// The General MIDI Level 1 sound set: program names in program order, in families of eight.
#pragma once

#include "engine/addon_entry.h"

constexpr int kGmFamilies = 16;
constexpr int kGmPrograms = 128;

// Exported under plain names so that whoever holds the image can read them.
VELLORAN_ADDON_EXPORT const char* const gm_nametitles[kGmFamilies];
VELLORAN_ADDON_EXPORT const char* const gm_names[kGmPrograms];
