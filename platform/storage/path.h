// An absolute path, kept in normal form: no ".", "..", repeated or trailing slashes.
#pragma once

#include <string>

#include "message/entry_ref.h"
#include "message/support_defs.h"

class BPath {
  public:
    // Any thread.
    BPath() = default;
    // Any thread. See SetTo; InitCheck() tells whether it worked.
    explicit BPath(const char* path, const char* leaf = nullptr);
    // Any thread.
    explicit BPath(const entry_ref* ref);

    // Any thread. A relative path starts at the current folder; leaf, when given, is a relative
    // path appended to path. The entry need not exist.
    status_t SetTo(const char* path, const char* leaf = nullptr);
    // Any thread.
    status_t SetTo(const entry_ref* ref);
    // Any thread.
    void Unset();
    // Any thread.
    status_t InitCheck() const { return fStatus; }

    // Any thread. Null when no path is set.
    const char* Path() const { return fStatus == B_OK ? fPath.c_str() : nullptr; }
    // Any thread. The last component; "" for the root and null when no path is set.
    const char* Leaf() const;
    // Any thread. B_ENTRY_NOT_FOUND for the root.
    status_t GetParent(BPath* parent) const;
    // Any thread. Appends a relative path.
    status_t Append(const char* path);

    // Any thread.
    bool operator==(const BPath& other) const;
    // Any thread.
    bool operator==(const char* path) const;

  private:
    std::string fPath;
    status_t fStatus = B_BAD_VALUE;
};
