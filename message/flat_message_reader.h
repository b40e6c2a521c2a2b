// Walks the flattened form of a keyed message without building anything.
#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

#include "message/byte_order.h"
#include "message/support_defs.h"

namespace flat {

constexpr size_t kHeaderSize = 17;
constexpr uint8 kMessageValid = 0x01;
constexpr uint8 kFieldValid = 0x01;
constexpr uint8 kFieldSmall = 0x02;
constexpr uint8 kFieldFixed = 0x04;
constexpr uint8 kFieldSingle = 0x08;
// Deeper nesting than any stored object needs; bounds the reader's recursion.
constexpr int kMaxDepth = 64;

constexpr size_t Padded(size_t itemLength) {
    return (4 + itemLength + 7) & ~size_t(7);
}
uint32 Checksum(uint32 flattenedSize, uint32 what, uint8 flags);

struct Field {
    uint8 flags = 0;
    type_code type = 0;
    int32 count = 0;
    std::string_view name;
    const uint8* data = nullptr;
    size_t size = 0;

    bool Fixed() const { return flags & kFieldFixed; }
};

}  // namespace flat

class FlatMessageReader {
  public:
    // Reads the header of the message at buffer; Status() says whether it is one.
    FlatMessageReader(const char* buffer, size_t available);

    status_t Status() const { return fStatus; }
    uint32 What() const { return fWhat; }

    // The next field, checked for sizes and counts; false at the end or on a fault.
    bool Next(flat::Field* field);

    // Calls visit(bytes, length) for every item of a variable-size field.
    template <typename Visit>
    static status_t ForEachItem(const flat::Field& field, Visit&& visit);

    // Checks the whole message, nested messages included, and the field names for repeats.
    static status_t Validate(const char* buffer, size_t available);

  private:
    static status_t Validate(const char* buffer, size_t available, int depth,
                             std::vector<std::string_view>& names);
    static status_t ValidateItems(const flat::Field& field, int depth,
                                  std::vector<std::string_view>& names);
    bool Fail(status_t status);

    const uint8* fBytes;
    size_t fEnd = 0;
    size_t fPos = flat::kHeaderSize;
    uint32 fWhat = 0;
    status_t fStatus = B_OK;
};

template <typename Visit>
status_t FlatMessageReader::ForEachItem(const flat::Field& field, Visit&& visit) {
    size_t pos = 0;
    for (int32 i = 0; i < field.count; i++) {
        if (field.size - pos < 4) return B_BAD_DATA;
        auto length = int32(ReadLE32(field.data + pos));
        if (length < 0 || size_t(length) > field.size - pos - 4) return B_BAD_DATA;
        status_t status = visit(field.data + pos + 4, size_t(length));
        if (status != B_OK) return status;
        // The last item's padding may be cut short by the end of the field.
        pos += std::min(flat::Padded(size_t(length)), field.size - pos);
    }
    return pos == field.size ? B_OK : B_BAD_DATA;
}
