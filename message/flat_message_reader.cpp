#include "message/flat_message_reader.h"

namespace {

constexpr uint8 kKnownFieldFlags =
    flat::kFieldValid | flat::kFieldSmall | flat::kFieldFixed | flat::kFieldSingle;

}  // namespace

uint32 flat::Checksum(uint32 flattenedSize, uint32 what, uint8 flags) {
    uint8 bytes[8];
    WriteLE32(bytes, flattenedSize);
    WriteLE32(bytes + 4, what);
    return ReadBE32(bytes) + ReadBE32(bytes + 4) + flags;
}

FlatMessageReader::FlatMessageReader(const char* buffer, size_t available)
    : fBytes(reinterpret_cast<const uint8*>(buffer)) {
    if (buffer == nullptr || available < flat::kHeaderSize || std::memcmp(fBytes, "1BOF", 4) != 0) {
        Fail(B_BAD_DATA);
        return;
    }
    uint32 size = ReadLE32(fBytes + 8);
    fWhat = ReadLE32(fBytes + 12);
    uint8 flags = fBytes[16];
    if (size < flat::kHeaderSize || size > available || flags != flat::kMessageValid ||
        ReadLE32(fBytes + 4) != flat::Checksum(size, fWhat, flags)) {
        Fail(B_BAD_DATA);
        return;
    }
    fEnd = size;
}

bool FlatMessageReader::Fail(status_t status) {
    fStatus = status;
    fPos = fEnd;
    return false;
}

bool FlatMessageReader::Next(flat::Field* field) {
    if (fStatus != B_OK || fPos >= fEnd) return false;
    const uint8* p = fBytes + fPos;
    size_t left = fEnd - fPos;
    field->flags = p[0];
    if (!(field->flags & flat::kFieldValid)) {
        fPos = fEnd;
        return false;
    }
    if (field->flags & ~kKnownFieldFlags) return Fail(B_BAD_DATA);
    bool small = field->flags & flat::kFieldSmall;
    bool single = field->flags & flat::kFieldSingle;
    size_t countBytes = single ? 0 : (small ? 1 : 4);
    size_t sizeBytes = small ? 1 : 4;
    size_t head = 1 + 4 + countBytes + sizeBytes + 1;
    if (left < head) return Fail(B_BAD_DATA);
    field->type = ReadLE32(p + 1);
    const uint8* q = p + 5;
    field->count = single ? 1 : (small ? int32(*q) : int32(ReadLE32(q)));
    q += countBytes;
    auto size = int64(small ? int32(*q) : int32(ReadLE32(q)));
    q += sizeBytes;
    size_t nameLength = *q++;
    if (field->count < 1 || size < 0 || nameLength == 0 || left - head < nameLength ||
        uint64(size) > left - head - nameLength) {
        return Fail(B_BAD_DATA);
    }
    field->name = std::string_view(reinterpret_cast<const char*>(q), nameLength);
    field->data = q + nameLength;
    field->size = size_t(size);
    if (field->Fixed() && (field->size == 0 || field->size % uint32(field->count) != 0)) {
        return Fail(B_BAD_DATA);
    }
    fPos += head + nameLength + field->size;
    return true;
}

status_t FlatMessageReader::Validate(const char* buffer, size_t available) {
    std::vector<std::string_view> names;
    return Validate(buffer, available, 0, names);
}

status_t FlatMessageReader::Validate(const char* buffer, size_t available, int depth,
                                     std::vector<std::string_view>& names) {
    if (depth > flat::kMaxDepth) return B_BAD_DATA;
    FlatMessageReader reader(buffer, available);
    size_t first = names.size();
    flat::Field field;
    while (reader.Next(&field)) {
        names.push_back(field.name);
        if (status_t status = ValidateItems(field, depth, names); status != B_OK) return status;
    }
    if (reader.Status() != B_OK) return reader.Status();
    // Names are compared per message level only; nested levels have been popped again.
    std::sort(names.begin() + ptrdiff_t(first), names.end());
    bool repeated =
        std::adjacent_find(names.begin() + ptrdiff_t(first), names.end()) != names.end();
    names.resize(first);
    return repeated ? B_BAD_DATA : B_OK;
}

status_t FlatMessageReader::ValidateItems(const flat::Field& field, int depth,
                                          std::vector<std::string_view>& names) {
    bool text = field.type == B_STRING_TYPE || field.type == B_REF_TYPE;
    bool nested = field.type == B_MESSAGE_TYPE;
    if (field.Fixed()) return text || nested ? B_BAD_DATA : B_OK;
    return ForEachItem(field, [&](const uint8* item, size_t length) -> status_t {
        if (text) return length > 0 && item[length - 1] == 0 ? B_OK : B_BAD_DATA;
        if (nested) {
            return Validate(reinterpret_cast<const char*>(item), length, depth + 1, names);
        }
        return B_OK;
    });
}
