// What the test source plays at a frame of a step: tests compute the same value.
#pragma once

#include "message/support_defs.h"

inline float TestSignal(int32 position, int32 step, int32 frame) {
    return float(position) + 0.125f * float(step) + 1e-6f * float(frame);
}
