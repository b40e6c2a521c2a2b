// Reading a saved number into a field that window threads share with the player.
#pragma once

#include <algorithm>
#include <atomic>

#include "message/message.h"

// A missing key leaves the field as it is.
inline void FindInto(BMessage* msg, const char* key, std::atomic<int32>* field) {
    int32 value;
    if (msg->FindInt32(key, &value) == B_OK) *field = value;
}

// The same, kept to lo .. hi: fields that positions, tempi or counts are computed from.
inline void FindInto(BMessage* msg, const char* key, std::atomic<int32>* field, int32 lo,
                     int32 hi) {
    int32 value;
    if (msg->FindInt32(key, &value) == B_OK) *field = std::clamp(value, lo, hi);
}
