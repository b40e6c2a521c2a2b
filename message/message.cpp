#include "message/message.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <type_traits>

#include "message/flat_message_reader.h"

// Pointers mean nothing outside the process that made them, so a flattened message leaves
// pointer fields out and a reader skips any it finds. A flattened file reference holds its
// path as a NUL-terminated text.

struct BMessage::Field {
    std::string name;
    type_code type = 0;
    bool fixed = true;
    uint32 itemSize = 0;          // fixed fields: every item has this size
    std::vector<uint8> data;      // the items back to back
    std::vector<uint32> offsets;  // variable fields: where each item starts, then the end

    int32 Count() const {
        return fixed ? int32(data.size() / itemSize) : int32(offsets.size() - 1);
    }

    const uint8* Item(int32 index, size_t* size) const {
        if (index < 0 || index >= Count()) return nullptr;
        if (fixed) {
            *size = itemSize;
            return data.data() + size_t(index) * itemSize;
        }
        *size = offsets[size_t(index) + 1] - offsets[size_t(index)];
        return data.data() + offsets[size_t(index)];
    }

    void Append(const void* bytes, size_t size) {
        auto p = static_cast<const uint8*>(bytes);
        data.insert(data.end(), p, p + size);
        if (!fixed) offsets.push_back(uint32(data.size()));
    }

    size_t FlatDataSize() const {
        if (fixed) return data.size();
        size_t total = 0;
        for (size_t i = 0; i + 1 < offsets.size(); i++) {
            total += flat::Padded(offsets[i + 1] - offsets[i]);
        }
        return total;
    }

    bool Small(size_t dataSize) const { return Count() <= 255 && dataSize <= 255; }

    size_t FlatSize() const {
        if (type == B_POINTER_TYPE) return 0;
        size_t dataSize = FlatDataSize();
        bool small = Small(dataSize);
        size_t countBytes = Count() == 1 ? 0 : (small ? 1 : 4);
        return 1 + 4 + countBytes + (small ? 1 : 4) + 1 + name.size() + dataSize;
    }

    uint8* Write(uint8* out) const;
    bool ItemsEqual(const Field& other) const;
};

uint8* BMessage::Field::Write(uint8* out) const {
    if (type == B_POINTER_TYPE) return out;
    size_t dataSize = FlatDataSize();
    bool small = Small(dataSize);
    bool single = Count() == 1;
    *out++ = uint8(flat::kFieldValid | (small ? flat::kFieldSmall : 0) |
                   (fixed ? flat::kFieldFixed : 0) | (single ? flat::kFieldSingle : 0));
    WriteLE32(out, type);
    out += 4;
    if (!single) {
        if (small) {
            *out++ = uint8(Count());
        } else {
            WriteLE32(out, uint32(Count()));
            out += 4;
        }
    }
    if (small) {
        *out++ = uint8(dataSize);
    } else {
        WriteLE32(out, uint32(dataSize));
        out += 4;
    }
    *out++ = uint8(name.size());
    out = std::copy(name.begin(), name.end(), out);
    if (fixed) return std::copy(data.begin(), data.end(), out);
    for (int32 i = 0; i < Count(); i++) {
        size_t size = 0;
        const uint8* item = Item(i, &size);
        WriteLE32(out, uint32(size));
        std::memcpy(out + 4, item, size);
        size_t padded = flat::Padded(size);
        std::memset(out + 4 + size, 0, padded - 4 - size);
        out += padded;
    }
    return out;
}

bool BMessage::Field::ItemsEqual(const Field& other) const {
    if (type != B_MESSAGE_TYPE) return data == other.data && offsets == other.offsets;
    if (Count() != other.Count()) return false;
    for (int32 i = 0; i < Count(); i++) {
        size_t size = 0, otherSize = 0;
        const uint8* item = Item(i, &size);
        const uint8* otherItem = other.Item(i, &otherSize);
        BMessage a, b;
        a.Unflatten(reinterpret_cast<const char*>(item), ssize_t(size));
        b.Unflatten(reinterpret_cast<const char*>(otherItem), ssize_t(otherSize));
        if (!(a == b)) return false;
    }
    return true;
}

BMessage::BMessage() = default;
BMessage::BMessage(uint32 command) : what(command) {}
BMessage::BMessage(BMessage&& other) noexcept = default;
BMessage& BMessage::operator=(BMessage&& other) noexcept = default;
BMessage::~BMessage() = default;

BMessage::BMessage(const BMessage& other) {
    *this = other;
}

BMessage& BMessage::operator=(const BMessage& other) {
    if (this == &other) return *this;
    MakeEmpty();
    what = other.what;
    fDropped = other.fDropped;
    fDropPoint = other.fDropPoint;
    fDropOffset = other.fDropOffset;
    fFields.reserve(other.fFields.size());
    for (const auto& field : other.fFields) {
        Adopt(std::make_unique<Field>(*field));
    }
    return *this;
}

namespace {

constexpr size_t kScanLimit = 8;

}  // namespace

BMessage::Field* BMessage::FindField(std::string_view name) const {
    if (fIndex.empty()) {
        for (const auto& field : fFields) {
            if (field->name == name) return field.get();
        }
        return nullptr;
    }
    auto found = fIndex.find(name);
    return found == fIndex.end() ? nullptr : found->second;
}

BMessage::Field* BMessage::FindField(const char* name, type_code type) const {
    if (name == nullptr) return nullptr;
    Field* field = FindField(std::string_view(name));
    return field != nullptr && (type == B_ANY_TYPE || field->type == type) ? field : nullptr;
}

BMessage::Field* BMessage::NewField(std::string_view name, type_code type, bool fixed) {
    auto field = std::make_unique<Field>();
    field->name = name;
    field->type = type;
    field->fixed = fixed;
    if (!fixed) field->offsets.push_back(0);
    return Adopt(std::move(field));
}

BMessage::Field* BMessage::Adopt(std::unique_ptr<Field> field) {
    Field* raw = field.get();
    fFields.push_back(std::move(field));
    if (!fIndex.empty()) {
        fIndex.emplace(raw->name, raw);
    } else if (fFields.size() > kScanLimit) {
        for (const auto& each : fFields) fIndex.emplace(each->name, each.get());
    }
    return raw;
}

status_t BMessage::AddItem(const char* name, type_code type, const void* data, size_t size,
                           bool fixed) {
    if (name == nullptr || data == nullptr) return B_BAD_VALUE;
    size_t nameLength = std::strlen(name);
    if (nameLength == 0 || nameLength > 255 || (fixed && size == 0)) return B_BAD_VALUE;
    if (size > std::numeric_limits<int32>::max()) return B_BAD_VALUE;
    Field* field = FindField(std::string_view(name, nameLength));
    if (field == nullptr) {
        field = NewField(std::string_view(name, nameLength), type, fixed);
        if (fixed) field->itemSize = uint32(size);
    } else {
        if (field->type != type) return B_BAD_TYPE;
        if (field->fixed != fixed || (fixed && field->itemSize != size)) return B_BAD_VALUE;
    }
    field->Append(data, size);
    return B_OK;
}

status_t BMessage::AddInt64(const char* name, int64 value) {
    uint8 bytes[8];
    WriteLE32(bytes, uint32(uint64(value)));
    WriteLE32(bytes + 4, uint32(uint64(value) >> 32));
    return AddItem(name, B_INT64_TYPE, bytes, 8, true);
}

status_t BMessage::AddInt32(const char* name, int32 value) {
    uint8 bytes[4];
    WriteLE32(bytes, uint32(value));
    return AddItem(name, B_INT32_TYPE, bytes, 4, true);
}

status_t BMessage::AddInt16(const char* name, int16 value) {
    uint8 bytes[2] = {uint8(value), uint8(uint16(value) >> 8)};
    return AddItem(name, B_INT16_TYPE, bytes, 2, true);
}

status_t BMessage::AddFloat(const char* name, float value) {
    uint32 bits;
    std::memcpy(&bits, &value, 4);
    uint8 bytes[4];
    WriteLE32(bytes, bits);
    return AddItem(name, B_FLOAT_TYPE, bytes, 4, true);
}

status_t BMessage::AddBool(const char* name, bool value) {
    uint8 byte = value ? 1 : 0;
    return AddItem(name, B_BOOL_TYPE, &byte, 1, true);
}

status_t BMessage::AddString(const char* name, const char* text) {
    if (text == nullptr) return B_BAD_VALUE;
    return AddItem(name, B_STRING_TYPE, text, std::strlen(text) + 1, false);
}

status_t BMessage::AddString(const char* name, const std::string& text) {
    return AddString(name, text.c_str());
}

namespace {

void WriteFloats(uint8* out, std::initializer_list<float> values) {
    for (float v : values) {
        uint32 bits;
        std::memcpy(&bits, &v, 4);
        WriteLE32(out, bits);
        out += 4;
    }
}

float ReadFloat(const uint8* p) {
    uint32 bits = ReadLE32(p);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

}  // namespace

status_t BMessage::AddPoint(const char* name, BPoint point) {
    uint8 bytes[8];
    WriteFloats(bytes, {point.x, point.y});
    return AddItem(name, B_POINT_TYPE, bytes, 8, true);
}

status_t BMessage::AddRect(const char* name, BRect rect) {
    uint8 bytes[16];
    WriteFloats(bytes, {rect.left, rect.top, rect.right, rect.bottom});
    return AddItem(name, B_RECT_TYPE, bytes, 16, true);
}

status_t BMessage::AddColor(const char* name, rgb_color color) {
    uint8 bytes[4] = {color.red, color.green, color.blue, color.alpha};
    return AddItem(name, B_RGB_COLOR_TYPE, bytes, 4, true);
}

status_t BMessage::AddPointer(const char* name, const void* pointer) {
    return AddItem(name, B_POINTER_TYPE, &pointer, sizeof pointer, true);
}

status_t BMessage::AddRef(const char* name, const entry_ref* ref) {
    if (ref == nullptr) return B_BAD_VALUE;
    return AddItem(name, B_REF_TYPE, ref->path.c_str(), ref->path.size() + 1, false);
}

status_t BMessage::AddMessage(const char* name, const BMessage* message) {
    if (message == nullptr) return B_BAD_VALUE;
    ssize_t size = message->FlattenedSize();
    if (size < 0) return B_BAD_VALUE;
    std::vector<char> bytes(static_cast<size_t>(size));
    if (status_t status = message->Flatten(bytes.data(), size); status != B_OK) return status;
    return AddItem(name, B_MESSAGE_TYPE, bytes.data(), bytes.size(), false);
}

status_t BMessage::AddData(const char* name, type_code type, const void* data, ssize_t size,
                           bool fixedSize, int32 /*numItems*/) {
    if (size < 0) return B_BAD_VALUE;
    // Texts, nested messages and references keep the shape a reader demands of them.
    auto bytes = static_cast<const uint8*>(data);
    bool text = type == B_STRING_TYPE || type == B_REF_TYPE;
    if ((text || type == B_MESSAGE_TYPE) && fixedSize) return B_BAD_VALUE;
    if (text && (data == nullptr || size == 0 || bytes[size - 1] != 0)) return B_BAD_VALUE;
    if (type == B_MESSAGE_TYPE &&
        FlatMessageReader::Validate(static_cast<const char*>(data), size_t(size)) != B_OK) {
        return B_BAD_VALUE;
    }
    if (type == B_POINTER_TYPE && (!fixedSize || size != sizeof(void*))) return B_BAD_VALUE;
    return AddItem(name, type, data, size_t(size), fixedSize);
}

const void* BMessage::ItemData(const char* name, type_code type, int32 index, size_t* size) const {
    Field* field = FindField(name, type);
    return field == nullptr ? nullptr : field->Item(index, size);
}

template <typename T>
status_t BMessage::FindFixed(const char* name, type_code type, int32 index, T* value) const {
    if (value == nullptr) return B_BAD_VALUE;
    Field* field = FindField(name, B_ANY_TYPE);
    if (field == nullptr) return B_NAME_NOT_FOUND;
    if (field->type != type) return B_BAD_TYPE;
    size_t size;
    auto item = field->Item(index, &size);
    if (item == nullptr) return B_BAD_INDEX;
    if (size != sizeof(T)) return B_BAD_DATA;
    if constexpr (std::is_same_v<T, int64>) {
        *value = int64(ReadLE64(item));
    } else if constexpr (std::is_same_v<T, int32>) {
        *value = int32(ReadLE32(item));
    } else if constexpr (std::is_same_v<T, int16>) {
        *value = int16(uint16(item[0] | (item[1] << 8)));
    } else if constexpr (std::is_same_v<T, float>) {
        *value = ReadFloat(item);
    } else if constexpr (std::is_same_v<T, bool>) {
        *value = item[0] != 0;
    } else if constexpr (std::is_same_v<T, BPoint>) {
        *value = BPoint(ReadFloat(item), ReadFloat(item + 4));
    } else if constexpr (std::is_same_v<T, BRect>) {
        *value =
            BRect(ReadFloat(item), ReadFloat(item + 4), ReadFloat(item + 8), ReadFloat(item + 12));
    } else if constexpr (std::is_same_v<T, rgb_color>) {
        *value = rgb_color{item[0], item[1], item[2], item[3]};
    } else {
        std::memcpy(value, item, sizeof(T));
    }
    return B_OK;
}

status_t BMessage::FindInt64(const char* name, int32 index, int64* value) const {
    return FindFixed(name, B_INT64_TYPE, index, value);
}

status_t BMessage::FindInt32(const char* name, int32 index, int32* value) const {
    return FindFixed(name, B_INT32_TYPE, index, value);
}

status_t BMessage::FindInt16(const char* name, int32 index, int16* value) const {
    return FindFixed(name, B_INT16_TYPE, index, value);
}

status_t BMessage::FindFloat(const char* name, int32 index, float* value) const {
    return FindFixed(name, B_FLOAT_TYPE, index, value);
}

status_t BMessage::FindBool(const char* name, int32 index, bool* value) const {
    return FindFixed(name, B_BOOL_TYPE, index, value);
}

status_t BMessage::FindPoint(const char* name, int32 index, BPoint* point) const {
    return FindFixed(name, B_POINT_TYPE, index, point);
}

status_t BMessage::FindRect(const char* name, int32 index, BRect* rect) const {
    return FindFixed(name, B_RECT_TYPE, index, rect);
}

status_t BMessage::FindColor(const char* name, int32 index, rgb_color* color) const {
    return FindFixed(name, B_RGB_COLOR_TYPE, index, color);
}

status_t BMessage::FindPointer(const char* name, int32 index, void** pointer) const {
    return FindFixed(name, B_POINTER_TYPE, index, pointer);
}

status_t BMessage::FindData(const char* name, type_code type, int32 index, const void** data,
                            ssize_t* size) const {
    if (data == nullptr || size == nullptr) return B_BAD_VALUE;
    Field* field = FindField(name, B_ANY_TYPE);
    if (field == nullptr) return B_NAME_NOT_FOUND;
    if (type != B_ANY_TYPE && field->type != type) return B_BAD_TYPE;
    size_t itemSize;
    const uint8* item = field->Item(index, &itemSize);
    if (item == nullptr) return B_BAD_INDEX;
    *data = item;
    *size = ssize_t(itemSize);
    return B_OK;
}

status_t BMessage::FindString(const char* name, int32 index, const char** text) const {
    const void* data;
    ssize_t size;
    if (text == nullptr) return B_BAD_VALUE;
    if (status_t status = FindData(name, B_STRING_TYPE, index, &data, &size); status != B_OK) {
        return status;
    }
    *text = static_cast<const char*>(data);
    return B_OK;
}

status_t BMessage::FindString(const char* name, int32 index, std::string* text) const {
    const char* found;
    if (text == nullptr) return B_BAD_VALUE;
    if (status_t status = FindString(name, index, &found); status != B_OK) return status;
    *text = found;
    return B_OK;
}

status_t BMessage::FindRef(const char* name, int32 index, entry_ref* ref) const {
    const void* data;
    ssize_t size;
    if (ref == nullptr) return B_BAD_VALUE;
    if (status_t status = FindData(name, B_REF_TYPE, index, &data, &size); status != B_OK) {
        return status;
    }
    ref->path = static_cast<const char*>(data);
    return B_OK;
}

status_t BMessage::FindMessage(const char* name, int32 index, BMessage* message) const {
    const void* data;
    ssize_t size;
    if (message == nullptr) return B_BAD_VALUE;
    if (status_t status = FindData(name, B_MESSAGE_TYPE, index, &data, &size); status != B_OK) {
        return status;
    }
    // Stored nested messages were checked when they were added or read.
    FlatMessageReader reader(static_cast<const char*>(data), size_t(size));
    message->MakeEmpty();
    message->Build(reader);
    return B_OK;
}

bool BMessage::HasFloat(const char* name, int32 index) const {
    return HasData(name, B_FLOAT_TYPE, index);
}

bool BMessage::HasData(const char* name, type_code type, int32 index) const {
    size_t size;
    return ItemData(name, type, index, &size) != nullptr;
}

status_t BMessage::GetInfo(const char* name, type_code* type, int32* count) const {
    Field* field = FindField(name, B_ANY_TYPE);
    if (field == nullptr) return B_NAME_NOT_FOUND;
    if (type != nullptr) *type = field->type;
    if (count != nullptr) *count = field->Count();
    return B_OK;
}

status_t BMessage::GetInfo(type_code type, int32 index, const char** name, type_code* foundType,
                           int32* count) const {
    if (index < 0) return B_BAD_INDEX;
    for (const auto& field : fFields) {
        if (type != B_ANY_TYPE && field->type != type) continue;
        if (index-- > 0) continue;
        if (name != nullptr) *name = field->name.c_str();
        if (foundType != nullptr) *foundType = field->type;
        if (count != nullptr) *count = field->Count();
        return B_OK;
    }
    return B_BAD_INDEX;
}

int32 BMessage::CountNames(type_code type) const {
    int32 count = 0;
    for (const auto& field : fFields) count += type == B_ANY_TYPE || field->type == type;
    return count;
}

bool BMessage::IsEmpty() const {
    return fFields.empty();
}

status_t BMessage::MakeEmpty() {
    fIndex.clear();
    fFields.clear();
    return B_OK;
}

status_t BMessage::RemoveName(const char* name) {
    Field* field = FindField(name, B_ANY_TYPE);
    if (field == nullptr) return B_NAME_NOT_FOUND;
    if (!fIndex.empty()) fIndex.erase(std::string_view(field->name));
    std::erase_if(fFields, [field](const auto& f) { return f.get() == field; });
    return B_OK;
}

ssize_t BMessage::FlattenedSize() const {
    size_t size = flat::kHeaderSize + 1;
    for (const auto& field : fFields) size += field->FlatSize();
    return size > size_t(std::numeric_limits<int32>::max()) ? ssize_t(B_BAD_VALUE) : ssize_t(size);
}

status_t BMessage::Flatten(char* buffer, ssize_t size) const {
    ssize_t needed = FlattenedSize();
    if (needed < 0) return status_t(needed);
    if (buffer == nullptr || size < needed) return B_BAD_VALUE;
    auto out = reinterpret_cast<uint8*>(buffer);
    std::memcpy(out, "1BOF", 4);
    WriteLE32(out + 4, flat::Checksum(uint32(needed), what, flat::kMessageValid));
    WriteLE32(out + 8, uint32(needed));
    WriteLE32(out + 12, what);
    out[16] = flat::kMessageValid;
    uint8* p = out + flat::kHeaderSize;
    for (const auto& field : fFields) p = field->Write(p);
    *p = 0;
    return B_OK;
}

status_t BMessage::Unflatten(const char* buffer, ssize_t size) {
    MakeEmpty();
    what = 0;
    if (size < 0) return B_BAD_VALUE;
    if (status_t status = FlatMessageReader::Validate(buffer, size_t(size)); status != B_OK) {
        return status;
    }
    FlatMessageReader reader(buffer, size_t(size));
    Build(reader);
    return B_OK;
}

void BMessage::Build(FlatMessageReader& reader) {
    what = reader.What();
    flat::Field flatField;
    while (reader.Next(&flatField)) {
        if (flatField.type == B_POINTER_TYPE) continue;
        Field* field = NewField(flatField.name, flatField.type, flatField.Fixed());
        if (field->fixed) {
            field->itemSize = uint32(flatField.size / uint32(flatField.count));
            field->data.assign(flatField.data, flatField.data + flatField.size);
            continue;
        }
        field->data.reserve(flatField.size);
        field->offsets.reserve(size_t(flatField.count) + 1);
        FlatMessageReader::ForEachItem(flatField, [field](const uint8* item, size_t length) {
            field->Append(item, length);
            return B_OK;
        });
    }
}

bool BMessage::operator==(const BMessage& other) const {
    if (what != other.what || fFields.size() != other.fFields.size()) return false;
    for (size_t i = 0; i < fFields.size(); i++) {
        const Field& a = *fFields[i];
        const Field& b = *other.fFields[i];
        if (a.name != b.name || a.type != b.type || a.fixed != b.fixed ||
            a.itemSize != b.itemSize || !a.ItemsEqual(b)) {
            return false;
        }
    }
    return true;
}
