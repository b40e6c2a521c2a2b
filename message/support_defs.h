// Basic types, status codes and type codes shared by every layer.
#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>

using int8 = int8_t;
using uint8 = uint8_t;
using int16 = int16_t;
using uint16 = uint16_t;
using int32 = int32_t;
using uint32 = uint32_t;
using int64 = int64_t;
using uint64 = uint64_t;
using status_t = int32;
using type_code = uint32;
using bigtime_t = int64;

// Four-character codes read the way they are written: 'LONG' == four_cc("LONG").
constexpr uint32 four_cc(const char (&c)[5]) {
    return (uint32(uint8(c[0])) << 24) | (uint32(uint8(c[1])) << 16) | (uint32(uint8(c[2])) << 8) |
           uint32(uint8(c[3]));
}

enum : status_t {
    B_OK = 0,
    B_ERROR = -1,
    B_NO_MEMORY = INT32_MIN,
    B_BAD_VALUE,
    B_BAD_TYPE,
    B_BAD_INDEX,
    B_NAME_NOT_FOUND,
    B_NAME_IN_USE,
    B_BAD_DATA,
    B_MISMATCHED_VALUES,
    B_ENTRY_NOT_FOUND,
    B_FILE_EXISTS,
    B_NOT_ALLOWED,
    B_IO_ERROR,
    B_BAD_THREAD_ID,
    B_BAD_IMAGE_ID,
    B_NOT_SUPPORTED,
    B_TIMED_OUT,
    B_INTERRUPTED,
    B_BAD_PORT_ID,
    B_WOULD_BLOCK,
    B_CANCELED,
};

enum : type_code {
    B_INT64_TYPE = four_cc("LLNG"),
    B_INT32_TYPE = four_cc("LONG"),
    B_INT16_TYPE = four_cc("SHRT"),
    B_INT8_TYPE = four_cc("BYTE"),
    B_FLOAT_TYPE = four_cc("FLOT"),
    B_BOOL_TYPE = four_cc("BOOL"),
    B_STRING_TYPE = four_cc("CSTR"),
    B_MESSAGE_TYPE = four_cc("MSGG"),
    B_POINT_TYPE = four_cc("BPNT"),
    B_RECT_TYPE = four_cc("RECT"),
    B_RGB_COLOR_TYPE = four_cc("RGBC"),
    B_RAW_TYPE = four_cc("RAWT"),
    B_POINTER_TYPE = four_cc("PNTR"),
    B_REF_TYPE = four_cc("RREF"),
    B_ANY_TYPE = four_cc("ANYT"),
};

// Text for a status code, for diagnostics.
const char* strerror_status(status_t status);
