#include "platform/storage/entry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/storage/errno_status.h"

namespace {

bool StatMode(const char* path, mode_t* mode) {
    struct stat info;
    if (path == nullptr || stat(path, &info) != 0) return false;
    *mode = info.st_mode;
    return true;
}

}  // namespace

BEntry::BEntry(const char* path) {
    SetTo(path);
}

BEntry::BEntry(const entry_ref* ref) {
    SetTo(ref);
}

status_t BEntry::SetTo(const char* path) {
    return fPath.SetTo(path);
}

status_t BEntry::SetTo(const entry_ref* ref) {
    return fPath.SetTo(ref);
}

bool BEntry::Exists() const {
    struct stat info;
    return InitCheck() == B_OK && lstat(fPath.Path(), &info) == 0;
}

bool BEntry::IsFile() const {
    mode_t mode;
    return StatMode(fPath.Path(), &mode) && S_ISREG(mode);
}

bool BEntry::IsDirectory() const {
    mode_t mode;
    return StatMode(fPath.Path(), &mode) && S_ISDIR(mode);
}

status_t BEntry::GetRef(entry_ref* ref) const {
    if (ref == nullptr || InitCheck() != B_OK) return B_BAD_VALUE;
    ref->path = fPath.Path();
    return B_OK;
}

status_t BEntry::GetPath(BPath* path) const {
    if (path == nullptr || InitCheck() != B_OK) return B_BAD_VALUE;
    *path = fPath;
    return B_OK;
}

status_t BEntry::GetName(char* buffer, size_t size) const {
    if (buffer == nullptr || InitCheck() != B_OK) return B_BAD_VALUE;
    size_t length = std::strlen(fPath.Leaf());
    if (length >= size) return B_BAD_VALUE;
    std::memcpy(buffer, fPath.Leaf(), length + 1);
    return B_OK;
}

status_t BEntry::GetName(std::string* name) const {
    if (name == nullptr || InitCheck() != B_OK) return B_BAD_VALUE;
    *name = fPath.Leaf();
    return B_OK;
}

status_t BEntry::GetParent(BEntry* parent) const {
    if (parent == nullptr || InitCheck() != B_OK) return B_BAD_VALUE;
    return fPath.GetParent(&parent->fPath);
}

status_t BEntry::Remove() {
    if (InitCheck() != B_OK) return B_BAD_VALUE;
    if (unlink(fPath.Path()) == 0) return B_OK;
    if (errno != EISDIR) return status_from_errno(errno);
    return rmdir(fPath.Path()) == 0 ? B_OK : status_from_errno(errno);
}

status_t BEntry::Rename(const char* path, bool clobber) {
    if (path == nullptr || path[0] == '\0' || InitCheck() != B_OK) return B_BAD_VALUE;
    BPath target;
    status_t status = path[0] == '/' ? target.SetTo(path) : fPath.GetParent(&target);
    if (status == B_OK && path[0] != '/') status = target.Append(path);
    if (status != B_OK) return status;
    unsigned flags = clobber ? 0 : RENAME_NOREPLACE;
    if (renameat2(AT_FDCWD, fPath.Path(), AT_FDCWD, target.Path(), flags) != 0) {
        return status_from_errno(errno);
    }
    fPath = target;
    return B_OK;
}
