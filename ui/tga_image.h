// Reads the uncompressed 24-bit true-colour TGA images the resources carry.
#pragma once

#include <cstddef>
#include <vector>

#include "message/support_defs.h"

struct TgaImage {
    int32 width = 0;
    int32 height = 0;
    // Rows top to bottom, bytes R, G, B.
    std::vector<uint8> rgb;
};

// Largest side accepted: far beyond any widget image, small enough that w * h * 3 never
// overflows.
constexpr int32 kTgaMaxSide = 8192;

// Any thread. False, leaving out untouched, for anything but a whole image of type 2 at 24
// bits per pixel; bytes after the pixels are ignored.
bool ParseTga(const void* data, size_t size, TgaImage* out);
