// How raw audio is laid out in a buffer.
#pragma once

#include "message/support_defs.h"

// Sample formats.
enum : uint32 {
    B_AUDIO_FLOAT = 0x24,
};

// Byte orders.
enum : uint32 {
    B_MEDIA_BIG_ENDIAN = 1,
    B_MEDIA_LITTLE_ENDIAN = 2,
};

// Any thread; a plain value.
struct media_raw_audio_format {
    float frame_rate = 0;
    uint32 channel_count = 0;
    uint32 format = 0;
    uint32 byte_order = 0;
    // Bytes per buffer; 0 takes whatever the device offers.
    size_t buffer_size = 0;
};
