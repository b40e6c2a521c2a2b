// What the hostile test plug-in was asked, read back and steered by the tests.
#pragma once

#include <cstdint>

struct HostileState {
    static constexpr int kMostParams = 64;
    float values[kMostParams];  // what getParameter answers, NaN and beyond 0..1 included
    int outOfRange;             // calls for an index at or beyond the count at that moment
    int sets;                   // setParameter calls
    int32_t lastIndex;
    float lastValue;
    int switchedOff;
    int closed;
};

using HostileStateFunc = HostileState* (*)();
