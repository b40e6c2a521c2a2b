// The state of one sounding note, handed to its instrument on every call.
#pragma once

#include "message/support_defs.h"

class Modifiers;

struct NoteInfo {
    int32 note = 0;
    float pitch = 0;
    int32 sounding = 0;
    Modifiers* modifiers = nullptr;  // not owned
    int32 offset = 0;                // frames from the step's start to this sub-block
    float time = 0;                  // frames rendered since the note started
};
