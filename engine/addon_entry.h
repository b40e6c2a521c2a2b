// The three functions every add-on exports under their plain names.
#pragma once

#include "engine/addon.h"
#include "message/message.h"

// A new object of the add-on's kind, owned by the caller.
using CreateAddonFunc = Addon* (*)(int32 image);
// A description the add-on keeps: "info", "developer", and "canimport" for importers.
using GetInfoFunc = BMessage* (*)();
using GetAddonVersionFunc = int32 (*)();

#define VELLORAN_ADDON_EXPORT extern "C" __attribute__((visibility("default")))
