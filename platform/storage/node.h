// An open file or folder and its extended attributes.
#pragma once

#include <sys/stat.h>

#include <string>

#include "message/entry_ref.h"
#include "message/support_defs.h"
#include "platform/storage/path.h"

// Any thread; one node is not shared between threads without a lock.
class BNode {
  public:
    // Any thread.
    BNode() = default;
    // Any thread. See SetTo; InitCheck() tells whether it worked.
    explicit BNode(const char* path);
    // Any thread.
    explicit BNode(const entry_ref* ref);
    BNode(const BNode&) = delete;
    BNode& operator=(const BNode&) = delete;
    // Any thread.
    virtual ~BNode();

    // Any thread. Opens a file or folder for reading, following links.
    status_t SetTo(const char* path);
    // Any thread.
    status_t SetTo(const entry_ref* ref);
    // Any thread.
    virtual void Unset();
    // Any thread.
    status_t InitCheck() const { return fStatus; }
    // Any thread.
    status_t GetStat(struct stat* info) const;

    // Any thread. Attribute names are given in full ("user.mime_type"). Returns the size read;
    // B_ENTRY_NOT_FOUND when there is no such attribute, B_BAD_VALUE when size is too small.
    ssize_t ReadAttr(const char* name, void* buffer, size_t size) const;
    // Any thread. The whole value, whatever its size.
    status_t ReadAttrString(const char* name, std::string* value) const;
    // Any thread. Replaces the value; returns the size written.
    ssize_t WriteAttr(const char* name, const void* buffer, size_t size);
    // Any thread.
    status_t RemoveAttr(const char* name);

  protected:
    // Opens path with open(2) flags; creation uses mode.
    status_t Open(const char* path, int flags, mode_t mode = 0);
    // Closes the node and keeps status for InitCheck().
    status_t Fail(status_t status);
    int FD() const { return fFD; }
    const BPath& NodePath() const { return fPath; }

  private:
    friend class BNodeInfo;

    int fFD = -1;
    status_t fStatus = B_BAD_VALUE;
    BPath fPath;
};
