// Finds the file of a loaded library or program.
#pragma once

#include "message/support_defs.h"
#include "platform/storage/path.h"

// Any thread. The file of the library or program whose code or data holds address;
// B_ENTRY_NOT_FOUND when no loaded file holds it.
status_t get_image_path(const void* address, BPath* path);
