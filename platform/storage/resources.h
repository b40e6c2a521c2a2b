// The resources a program or library file carries in its .velloran.rsrc section.
#pragma once

#include <vector>

#include "message/support_defs.h"
#include "platform/storage/resource_archive.h"

// Any thread; once set, the resources may be read from several threads at once.
class BResources {
  public:
    // Any thread.
    BResources() = default;
    BResources(const BResources&) = delete;
    BResources& operator=(const BResources&) = delete;

    // Any thread. Reads the file's bytes; the file is never loaded as code. B_BAD_DATA for a
    // file that is not a sound ELF64 file or whose archive is damaged, B_NAME_NOT_FOUND when
    // it carries no resources.
    status_t SetTo(const char* path);
    // Any thread.
    status_t InitCheck() const { return fStatus; }

    // Any thread. The bytes live as long as the resources are not set again; null when absent.
    const void* LoadResource(type_code type, const char* name, size_t* size) const;
    // Any thread.
    bool HasResource(type_code type, const char* name) const;
    // Any thread.
    int32 CountResources() const { return int32(fEntries.size()); }

  private:
    const resource_archive::Entry* Find(type_code type, const char* name) const;

    std::vector<uint8> fBytes;
    std::vector<resource_archive::Entry> fEntries;
    status_t fStatus = B_BAD_VALUE;
};
