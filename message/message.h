// The keyed message: a command code and an ordered list of named, typed fields.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "message/entry_ref.h"
#include "message/geometry.h"
#include "message/support_defs.h"

class FlatMessageReader;

// Any thread; one message is not shared between threads without a lock.
class BMessage {
  public:
    BMessage();
    explicit BMessage(uint32 command);
    BMessage(const BMessage& other);
    BMessage(BMessage&& other) noexcept;
    BMessage& operator=(const BMessage& other);
    BMessage& operator=(BMessage&& other) noexcept;
    ~BMessage();

    uint32 what = 0;

    // Each Add appends one item to the named field, creating the field; a field keeps one type.
    status_t AddInt64(const char* name, int64 value);
    status_t AddInt32(const char* name, int32 value);
    status_t AddInt16(const char* name, int16 value);
    status_t AddFloat(const char* name, float value);
    status_t AddBool(const char* name, bool value);
    status_t AddString(const char* name, const char* text);
    status_t AddString(const char* name, const std::string& text);
    status_t AddPoint(const char* name, BPoint point);
    status_t AddRect(const char* name, BRect rect);
    status_t AddColor(const char* name, rgb_color color);
    status_t AddPointer(const char* name, const void* pointer);
    status_t AddRef(const char* name, const entry_ref* ref);
    status_t AddMessage(const char* name, const BMessage* message);
    // Fixed-size items of one field all have the same size; numItems only reserves room.
    status_t AddData(const char* name, type_code type, const void* data, ssize_t size,
                     bool fixedSize = true, int32 numItems = 1);

    // Each Find leaves the destination unchanged when it fails.
    status_t FindInt64(const char* name, int64* value) const { return FindInt64(name, 0, value); }
    status_t FindInt64(const char* name, int32 index, int64* value) const;
    status_t FindInt32(const char* name, int32* value) const { return FindInt32(name, 0, value); }
    status_t FindInt32(const char* name, int32 index, int32* value) const;
    status_t FindInt16(const char* name, int16* value) const { return FindInt16(name, 0, value); }
    status_t FindInt16(const char* name, int32 index, int16* value) const;
    status_t FindFloat(const char* name, float* value) const { return FindFloat(name, 0, value); }
    status_t FindFloat(const char* name, int32 index, float* value) const;
    status_t FindBool(const char* name, bool* value) const { return FindBool(name, 0, value); }
    status_t FindBool(const char* name, int32 index, bool* value) const;
    // The text stays owned by the message and lives until the field changes.
    status_t FindString(const char* name, const char** text) const {
        return FindString(name, 0, text);
    }
    status_t FindString(const char* name, int32 index, const char** text) const;
    status_t FindString(const char* name, std::string* text) const {
        return FindString(name, 0, text);
    }
    status_t FindString(const char* name, int32 index, std::string* text) const;
    status_t FindPoint(const char* name, BPoint* point) const { return FindPoint(name, 0, point); }
    status_t FindPoint(const char* name, int32 index, BPoint* point) const;
    status_t FindRect(const char* name, BRect* rect) const { return FindRect(name, 0, rect); }
    status_t FindRect(const char* name, int32 index, BRect* rect) const;
    status_t FindColor(const char* name, rgb_color* color) const {
        return FindColor(name, 0, color);
    }
    status_t FindColor(const char* name, int32 index, rgb_color* color) const;
    status_t FindPointer(const char* name, void** pointer) const {
        return FindPointer(name, 0, pointer);
    }
    status_t FindPointer(const char* name, int32 index, void** pointer) const;
    status_t FindRef(const char* name, entry_ref* ref) const { return FindRef(name, 0, ref); }
    status_t FindRef(const char* name, int32 index, entry_ref* ref) const;
    status_t FindMessage(const char* name, BMessage* message) const {
        return FindMessage(name, 0, message);
    }
    status_t FindMessage(const char* name, int32 index, BMessage* message) const;
    // The bytes stay owned by the message and live until the field changes.
    status_t FindData(const char* name, type_code type, const void** data, ssize_t* size) const {
        return FindData(name, type, 0, data, size);
    }
    status_t FindData(const char* name, type_code type, int32 index, const void** data,
                      ssize_t* size) const;

    bool HasFloat(const char* name, int32 index = 0) const;
    bool HasData(const char* name, type_code type, int32 index = 0) const;
    status_t GetInfo(const char* name, type_code* type, int32* count = nullptr) const;
    // Walks the fields of one type (B_ANY_TYPE for all) in insertion order.
    status_t GetInfo(type_code type, int32 index, const char** name, type_code* foundType,
                     int32* count = nullptr) const;
    int32 CountNames(type_code type = B_ANY_TYPE) const;
    bool IsEmpty() const;
    status_t MakeEmpty();
    status_t RemoveName(const char* name);

    ssize_t FlattenedSize() const;
    // Writes FlattenedSize() bytes; fails when size is smaller.
    status_t Flatten(char* buffer, ssize_t size) const;
    // Reads one message from at most size bytes. On failure the message is left empty.
    status_t Unflatten(const char* buffer, ssize_t size);

    // Same command, same fields in the same order with the same items (nested ones compared
    // by content).
    bool operator==(const BMessage& other) const;

    // Set by the interface kit on a message dropped by the user; never flattened.
    bool WasDropped() const { return fDropped; }
    BPoint DropPoint(BPoint* offset = nullptr) const {
        if (offset) *offset = fDropOffset;
        return fDropPoint;
    }
    void SetDropped(BPoint screenPoint, BPoint offset) {
        fDropped = true;
        fDropPoint = screenPoint;
        fDropOffset = offset;
    }

  private:
    struct Field;
    Field* FindField(std::string_view name) const;
    Field* FindField(const char* name, type_code type) const;
    const void* ItemData(const char* name, type_code type, int32 index, size_t* size) const;
    template <typename T>
    status_t FindFixed(const char* name, type_code type, int32 index, T* value) const;
    status_t AddItem(const char* name, type_code type, const void* data, size_t size, bool fixed);
    Field* NewField(std::string_view name, type_code type, bool fixed);
    Field* Adopt(std::unique_ptr<Field> field);
    void Build(FlatMessageReader& reader);

    std::vector<std::unique_ptr<Field>> fFields;
    bool fDropped = false;
    BPoint fDropPoint;
    BPoint fDropOffset;
    // Built once a message has more fields than a scan finds quickly; keys view the names
    // held by the fields themselves.
    std::unordered_map<std::string_view, Field*> fIndex;
};
