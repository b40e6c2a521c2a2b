#include "platform/storage/node.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "platform/storage/errno_status.h"

BNode::BNode(const char* path) {
    SetTo(path);
}

BNode::BNode(const entry_ref* ref) {
    SetTo(ref);
}

BNode::~BNode() {
    if (fFD >= 0) close(fFD);
}

status_t BNode::SetTo(const char* path) {
    return Open(path, O_RDONLY);
}

status_t BNode::SetTo(const entry_ref* ref) {
    return SetTo(ref == nullptr ? nullptr : ref->path.c_str());
}

void BNode::Unset() {
    if (fFD >= 0) close(fFD);
    fFD = -1;
    fStatus = B_BAD_VALUE;
    fPath.Unset();
}

status_t BNode::Open(const char* path, int flags, mode_t mode) {
    Unset();
    if (fPath.SetTo(path) != B_OK) return Fail(B_BAD_VALUE);
    fFD = open(fPath.Path(), flags | O_CLOEXEC, mode);
    if (fFD < 0) return Fail(status_from_errno(errno));
    return fStatus = B_OK;
}

status_t BNode::Fail(status_t status) {
    Unset();
    return fStatus = status;
}

status_t BNode::GetStat(struct stat* info) const {
    if (info == nullptr) return B_BAD_VALUE;
    return fstat(fFD, info) == 0 ? B_OK : status_from_errno(errno);
}

ssize_t BNode::ReadAttr(const char* name, void* buffer, size_t size) const {
    if (name == nullptr || (buffer == nullptr && size > 0)) return B_BAD_VALUE;
    ssize_t length = fgetxattr(fFD, name, buffer, size);
    // A zero size asks for the value's size, which is not what the caller means.
    if (length > 0 && size == 0) return B_BAD_VALUE;
    return length >= 0 ? length : status_from_errno(errno);
}

status_t BNode::ReadAttrString(const char* name, std::string* value) const {
    if (name == nullptr || value == nullptr) return B_BAD_VALUE;
    // The value may grow between asking for its size and reading it.
    for (;;) {
        ssize_t size = fgetxattr(fFD, name, nullptr, 0);
        if (size < 0) return status_from_errno(errno);
        std::string bytes(size_t(size), '\0');
        ssize_t length = fgetxattr(fFD, name, bytes.data(), bytes.size());
        if (length < 0 && errno == ERANGE) continue;
        if (length < 0) return status_from_errno(errno);
        bytes.resize(size_t(length));
        *value = std::move(bytes);
        return B_OK;
    }
}

ssize_t BNode::WriteAttr(const char* name, const void* buffer, size_t size) {
    if (name == nullptr || (buffer == nullptr && size > 0)) return B_BAD_VALUE;
    if (fsetxattr(fFD, name, buffer, size, 0) != 0) return status_from_errno(errno);
    return ssize_t(size);
}

status_t BNode::RemoveAttr(const char* name) {
    if (name == nullptr) return B_BAD_VALUE;
    return fremovexattr(fFD, name) == 0 ? B_OK : status_from_errno(errno);
}
