// What the recording test add-ons keep of their calls.
#pragma once

#include "message/support_defs.h"

class Instrument;

struct ControllerCall {
    int32 id;
    int32 position;
    int32 step;
    int32 next_position;
    int32 next_tempo;
};

struct SourceStep {
    int32 id;
    int32 position;
    int32 step;
    int32 frames;
};

struct InstrumentCall {
    const Instrument* instrument;
    long frames;
    int32 note;
    int32 offset;
    float time;
    int32 sounding;
};
