#include "platform/storage/elf_section.h"

#include <cstring>

#include "message/byte_order.h"
#include "platform/storage/file.h"

namespace elf {

namespace {

constexpr size_t kFileHeaderSize = 64;
constexpr size_t kSectionHeaderSize = 64;
constexpr uint8 kClass64 = 2;
constexpr uint8 kLittleEndian = 1;
constexpr uint8 kCurrentVersion = 1;
constexpr uint32 kNoBits = 8;
// Section numbers this large live in the first section header instead.
constexpr uint16 kExtendedIndex = 0xffff;

struct Section {
    uint32 name = 0;
    uint32 type = 0;
    uint64 offset = 0;
    uint64 size = 0;
    uint32 link = 0;
};

Section ParseSection(const uint8* p) {
    return Section{ReadLE32(p), ReadLE32(p + 4), ReadLE64(p + 24), ReadLE64(p + 32),
                   ReadLE32(p + 40)};
}

class Reader {
  public:
    explicit Reader(const char* path) : fFile(path, B_READ_ONLY) {
        if (fFile.InitCheck() == B_OK) fFile.GetSize(&fSize);
    }

    status_t InitCheck() const { return fFile.InitCheck(); }

    // Reads size bytes at offset, which must lie inside the file.
    status_t Read(uint64 offset, uint64 size, std::vector<uint8>* bytes) const {
        uint64 fileSize = uint64(fSize);
        if (offset > fileSize || size > fileSize - offset) return B_BAD_DATA;
        bytes->resize(size_t(size));
        ssize_t got = fFile.ReadAt(off_t(offset), bytes->data(), bytes->size());
        if (got < 0) return status_t(got);
        return uint64(got) == size ? B_OK : B_BAD_DATA;
    }

  private:
    BFile fFile;
    off_t fSize = 0;
};

status_t CheckIdent(const std::vector<uint8>& header) {
    bool sound = std::memcmp(header.data(),
                             "\x7f"
                             "ELF",
                             4) == 0 &&
                 header[4] == kClass64 && header[5] == kLittleEndian &&
                 header[6] == kCurrentVersion;
    return sound ? B_OK : B_BAD_DATA;
}

status_t ReadSections(const Reader& reader, std::vector<Section>* sections, size_t* names) {
    std::vector<uint8> header;
    if (status_t status = reader.Read(0, kFileHeaderSize, &header); status != B_OK) return status;
    if (status_t status = CheckIdent(header); status != B_OK) return status;
    uint64 tableOffset = ReadLE64(&header[0x28]);
    uint16 entrySize = ReadLE16(&header[0x3a]);
    uint64 count = ReadLE16(&header[0x3c]);
    uint32 namesIndex = ReadLE16(&header[0x3e]);
    if (tableOffset == 0) return B_NAME_NOT_FOUND;
    if (entrySize < kSectionHeaderSize) return B_BAD_DATA;
    std::vector<uint8> first;
    if (status_t status = reader.Read(tableOffset, entrySize, &first); status != B_OK) {
        return status;
    }
    Section zero = ParseSection(first.data());
    if (count == 0) count = zero.size;
    if (namesIndex == kExtendedIndex) namesIndex = zero.link;
    if (namesIndex >= count) return B_BAD_DATA;
    // The table must fit in the file before anything is made of that size.
    if (count > UINT64_MAX / entrySize) return B_BAD_DATA;
    std::vector<uint8> table;
    if (status_t status = reader.Read(tableOffset, count * entrySize, &table); status != B_OK) {
        return status;
    }
    sections->clear();
    sections->reserve(size_t(count));
    for (uint64 i = 0; i < count; i++) sections->push_back(ParseSection(&table[i * entrySize]));
    *names = namesIndex;
    return B_OK;
}

bool NameIs(const std::vector<uint8>& names, uint32 offset, std::string_view name) {
    if (offset >= names.size()) return false;
    auto start = reinterpret_cast<const char*>(names.data()) + offset;
    size_t length = strnlen(start, names.size() - offset);
    return length < names.size() - offset && std::string_view(start, length) == name;
}

}  // namespace

status_t ReadSection(const char* path, std::string_view name, std::vector<uint8>* bytes) {
    if (bytes == nullptr) return B_BAD_VALUE;
    Reader reader(path);
    if (reader.InitCheck() != B_OK) return reader.InitCheck();
    std::vector<Section> sections;
    size_t namesIndex = 0;
    if (status_t status = ReadSections(reader, &sections, &namesIndex); status != B_OK) {
        return status;
    }
    const Section& namesSection = sections[namesIndex];
    std::vector<uint8> names;
    if (namesSection.type == kNoBits) return B_BAD_DATA;
    if (status_t status = reader.Read(namesSection.offset, namesSection.size, &names);
        status != B_OK) {
        return status;
    }
    for (const Section& section : sections) {
        if (!NameIs(names, section.name, name)) continue;
        if (section.type == kNoBits) return B_BAD_DATA;
        return reader.Read(section.offset, section.size, bytes);
    }
    return B_NAME_NOT_FOUND;
}

}  // namespace elf
