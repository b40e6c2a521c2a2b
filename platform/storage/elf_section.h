// Reads one section of an ELF64 little-endian file from its bytes on disk, without loading it.
#pragma once

#include <string_view>
#include <vector>

#include "message/support_defs.h"

namespace elf {

// Any thread. B_BAD_DATA for anything but a sound ELF64 little-endian file, B_NAME_NOT_FOUND
// when it has no section of that name.
status_t ReadSection(const char* path, std::string_view name, std::vector<uint8>* bytes);

}  // namespace elf
