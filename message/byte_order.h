// Little- and big-endian words at unaligned addresses.
#pragma once

#include <cstring>

#include "message/support_defs.h"

inline uint16 ReadLE16(const uint8* p) {
    return uint16(p[0] | (p[1] << 8));
}

inline uint32 ReadLE32(const uint8* p) {
    return uint32(p[0]) | (uint32(p[1]) << 8) | (uint32(p[2]) << 16) | (uint32(p[3]) << 24);
}

inline uint64 ReadLE64(const uint8* p) {
    return ReadLE32(p) | (uint64(ReadLE32(p + 4)) << 32);
}

inline uint32 ReadBE32(const uint8* p) {
    return (uint32(p[0]) << 24) | (uint32(p[1]) << 16) | (uint32(p[2]) << 8) | uint32(p[3]);
}

inline void WriteLE32(uint8* p, uint32 v) {
    p[0] = uint8(v);
    p[1] = uint8(v >> 8);
    p[2] = uint8(v >> 16);
    p[3] = uint8(v >> 24);
}
