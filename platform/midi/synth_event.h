// One channel message on its way to the synthesizer.
#pragma once

#include "message/support_defs.h"

// Any thread; a plain value.
struct synth_event {
    // Frames into the next rendered buffer when atFrame, else a message time (B_NOW: at once).
    int64 due = 0;
    bool atFrame = false;
    // A raw MIDI channel message: the status byte holds the channel less one.
    uint8 status = 0;
    uint8 data1 = 0;
    uint8 data2 = 0;
};
