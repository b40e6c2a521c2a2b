#include "platform/storage/resource_archive.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "message/byte_order.h"

namespace resource_archive {

namespace {

constexpr size_t Padded(size_t size) {
    return (size + kAlignment - 1) & ~(kAlignment - 1);
}
constexpr size_t kMinEntrySize = Padded(kEntryHeaderSize + 1);

bool ValidName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxNameLength &&
           name.find('\0') == std::string_view::npos;
}

bool Repeats(std::vector<std::pair<type_code, std::string_view>> keys) {
    std::sort(keys.begin(), keys.end());
    return std::adjacent_find(keys.begin(), keys.end()) != keys.end();
}

bool AllZero(const uint8* bytes, size_t size) {
    return std::all_of(bytes, bytes + size, [](uint8 b) { return b == 0; });
}

// Reads one entry at pos; on success pos is past its padding.
bool ParseEntry(const uint8* bytes, size_t size, size_t* pos, Entry* entry) {
    if (size - *pos < kEntryHeaderSize) return false;
    const uint8* p = bytes + *pos;
    entry->type = ReadLE32(p);
    size_t nameLength = ReadLE32(p + 4);
    size_t dataSize = ReadLE32(p + 8);
    size_t nameEnd = *pos + kEntryHeaderSize + nameLength;
    if (nameLength > kMaxNameLength || Padded(nameEnd) > size) return false;
    size_t dataStart = Padded(nameEnd);
    if (Padded(dataSize) > size - dataStart) return false;
    entry->name = std::string_view(reinterpret_cast<const char*>(p + kEntryHeaderSize), nameLength);
    entry->data = bytes + dataStart;
    entry->size = dataSize;
    size_t end = dataStart + Padded(dataSize);
    if (!ValidName(entry->name) || !AllZero(bytes + nameEnd, dataStart - nameEnd) ||
        !AllZero(bytes + dataStart + dataSize, end - dataStart - dataSize)) {
        return false;
    }
    *pos = end;
    return true;
}

void Append32(std::vector<uint8>* out, uint32 value) {
    uint8 word[4];
    WriteLE32(word, value);
    out->insert(out->end(), word, word + 4);
}

void AppendPadded(std::vector<uint8>* out, const uint8* bytes, size_t size) {
    out->insert(out->end(), bytes, bytes + size);
    out->resize(Padded(out->size()), 0);
}

}  // namespace

status_t Parse(const uint8* bytes, size_t size, std::vector<Entry>* entries) {
    if (entries == nullptr) return B_BAD_VALUE;
    entries->clear();
    if (bytes == nullptr || size < kHeaderSize || std::memcmp(bytes, kMagic, 4) != 0) {
        return B_BAD_DATA;
    }
    uint32 count = ReadLE32(bytes + 4);
    // A damaged count must not make us reserve more than the bytes could hold.
    if (count > (size - kHeaderSize) / kMinEntrySize) return B_BAD_DATA;
    std::vector<Entry> found(count);
    std::vector<std::pair<type_code, std::string_view>> keys;
    size_t pos = kHeaderSize;
    for (Entry& entry : found) {
        if (!ParseEntry(bytes, size, &pos, &entry)) return B_BAD_DATA;
        keys.emplace_back(entry.type, entry.name);
    }
    if (pos != size || Repeats(std::move(keys))) return B_BAD_DATA;
    *entries = std::move(found);
    return B_OK;
}

status_t Serialise(const std::vector<Entry>& entries, std::vector<uint8>* archive) {
    if (archive == nullptr) return B_BAD_VALUE;
    std::vector<std::pair<type_code, std::string_view>> keys;
    for (const Entry& entry : entries) {
        if (!ValidName(entry.name) || entry.size > UINT32_MAX ||
            (entry.data == nullptr && entry.size > 0)) {
            return B_BAD_VALUE;
        }
        keys.emplace_back(entry.type, entry.name);
    }
    if (entries.size() > UINT32_MAX) return B_BAD_VALUE;
    if (Repeats(std::move(keys))) return B_NAME_IN_USE;
    std::vector<uint8> out(kMagic, kMagic + 4);
    Append32(&out, uint32(entries.size()));
    for (const Entry& entry : entries) {
        Append32(&out, entry.type);
        Append32(&out, uint32(entry.name.size()));
        Append32(&out, uint32(entry.size));
        AppendPadded(&out, reinterpret_cast<const uint8*>(entry.name.data()), entry.name.size());
        AppendPadded(&out, entry.data, entry.size);
    }
    *archive = std::move(out);
    return B_OK;
}

}  // namespace resource_archive
