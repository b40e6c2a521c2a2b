// A folder and a walk over its entries in the file system's own order.
#pragma once

#include <dirent.h>

#include <string>

#include "message/entry_ref.h"
#include "platform/storage/entry.h"
#include "platform/storage/node.h"

// Any thread; one folder is not shared between threads without a lock.
class BDirectory : public BNode {
  public:
    // Any thread.
    BDirectory() = default;
    // Any thread. See SetTo; InitCheck() tells whether it worked.
    explicit BDirectory(const char* path);
    // Any thread.
    explicit BDirectory(const entry_ref* ref);
    // Any thread.
    ~BDirectory() override;

    // Any thread. Anything but a folder fails with B_BAD_TYPE.
    status_t SetTo(const char* path);
    // Any thread.
    status_t SetTo(const entry_ref* ref);
    // Any thread.
    void Unset() override;

    // Any thread. "." and ".." are left out; B_ENTRY_NOT_FOUND after the last entry.
    status_t GetNextEntry(BEntry* entry);
    // Any thread.
    status_t GetNextRef(entry_ref* ref);
    // Any thread. Starts the walk again.
    status_t Rewind();
    // Any thread. Leaves the walk where it is; returns the count or an error.
    int32 CountEntries() const;

  private:
    // A walk of its own, independent of any other.
    DIR* OpenWalk() const;
    static status_t NextName(DIR* walk, std::string* name);

    DIR* fWalk = nullptr;
};
