// A named place in the file system, which may or may not hold a file or folder.
#pragma once

#include <string>

#include "message/entry_ref.h"
#include "message/support_defs.h"
#include "platform/storage/path.h"

class BEntry {
  public:
    // Any thread.
    BEntry() = default;
    // Any thread. See SetTo; InitCheck() tells whether it worked.
    explicit BEntry(const char* path);
    // Any thread.
    explicit BEntry(const entry_ref* ref);

    // Any thread. The entry need not exist.
    status_t SetTo(const char* path);
    // Any thread.
    status_t SetTo(const entry_ref* ref);
    // Any thread.
    void Unset() { fPath.Unset(); }
    // Any thread.
    status_t InitCheck() const { return fPath.InitCheck(); }

    // Any thread. A dangling link exists too.
    bool Exists() const;
    // Any thread. Follows links.
    bool IsFile() const;
    // Any thread. Follows links.
    bool IsDirectory() const;

    // Any thread.
    status_t GetRef(entry_ref* ref) const;
    // Any thread.
    status_t GetPath(BPath* path) const;
    // Any thread. B_BAD_VALUE when the name and its NUL do not fit in size bytes.
    status_t GetName(char* buffer, size_t size) const;
    // Any thread.
    status_t GetName(std::string* name) const;
    // Any thread. B_ENTRY_NOT_FOUND for the root.
    status_t GetParent(BEntry* parent) const;

    // Any thread. Removes a file, a link or an empty folder; the entry keeps its path.
    status_t Remove();
    // Any thread. A relative path starts at the entry's folder; afterwards the entry names the
    // new place. Without clobber an existing target fails with B_FILE_EXISTS.
    status_t Rename(const char* path, bool clobber = false);

  private:
    BPath fPath;
};
