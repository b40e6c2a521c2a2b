// Values from files and add-ons made safe before arithmetic relies on them.
#pragma once

#include <cmath>

#include "message/support_defs.h"

// fallback for NaN and infinity.
inline float FiniteOr(float value, float fallback) {
    return std::isfinite(value) ? value : fallback;
}

// fallback when not finite, else held to lo .. hi. Bounds that are not ordered hold nothing.
inline float FiniteIn(float value, float lo, float hi, float fallback) {
    if (!std::isfinite(value)) return fallback;
    if (!(lo <= hi)) return value;
    return value < lo ? lo : value > hi ? hi : value;
}

// Held to lo .. hi before converting, which is undefined for values int32 cannot hold; NaN
// gives lo.
inline int32 ClampToInt(double value, int32 lo, int32 hi) {
    if (!(value > lo)) return lo;
    if (!(value < hi)) return hi;
    return int32(value);
}
