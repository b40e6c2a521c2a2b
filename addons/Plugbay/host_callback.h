// What the host tells its plug-ins when they ask.
#pragma once

#include "effect_plugin_interface.h"

// Any thread a plug-in calls from. Answers only with plain numbers, never with anything a
// plug-in would take for a pointer.
intptr_t Hej(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
