// The resource archive: named, typed blocks of bytes, as a program carries them in its
// .velloran.rsrc section. All words are little-endian:
//   header: magic "VRSC", uint32 entry count
//   entry:  uint32 type code, uint32 name length (1-255), uint32 data size, the name (no NUL),
//           zeros to a multiple of 8, the data, zeros to a multiple of 8
// Offsets count from the start of the archive, so data stays 8-aligned when the archive is.
#pragma once

#include <string_view>
#include <vector>

#include "message/support_defs.h"

namespace resource_archive {

constexpr char kMagic[4] = {'V', 'R', 'S', 'C'};
constexpr size_t kHeaderSize = 8;
constexpr size_t kEntryHeaderSize = 12;
constexpr size_t kAlignment = 8;
constexpr size_t kMaxNameLength = 255;
// The name of the ELF section that holds a program's archive.
constexpr const char* kSectionName = ".velloran.rsrc";

// Views the name and data; whoever fills it keeps them alive.
struct Entry {
    type_code type = 0;
    std::string_view name;
    const uint8* data = nullptr;
    size_t size = 0;
};

// Any thread. Checks every size, the padding and repeated type-name pairs; entries view bytes.
status_t Parse(const uint8* bytes, size_t size, std::vector<Entry>* entries);
// Any thread. B_BAD_VALUE for a name that is empty, too long or holds a NUL, B_NAME_IN_USE for
// a repeated type-name pair.
status_t Serialise(const std::vector<Entry>& entries, std::vector<uint8>* archive);

}  // namespace resource_archive
