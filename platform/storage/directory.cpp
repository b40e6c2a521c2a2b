#include "platform/storage/directory.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/storage/errno_status.h"

BDirectory::BDirectory(const char* path) {
    SetTo(path);
}

BDirectory::BDirectory(const entry_ref* ref) {
    SetTo(ref);
}

BDirectory::~BDirectory() {
    if (fWalk != nullptr) closedir(fWalk);
}

status_t BDirectory::SetTo(const char* path) {
    if (status_t status = Open(path, O_RDONLY); status != B_OK) return status;
    struct stat info;
    status_t status = GetStat(&info);
    if (status == B_OK && !S_ISDIR(info.st_mode)) status = B_BAD_TYPE;
    if (status == B_OK && (fWalk = OpenWalk()) == nullptr) status = status_from_errno(errno);
    return status == B_OK ? B_OK : Fail(status);
}

status_t BDirectory::SetTo(const entry_ref* ref) {
    return SetTo(ref == nullptr ? nullptr : ref->path.c_str());
}

void BDirectory::Unset() {
    if (fWalk != nullptr) closedir(fWalk);
    fWalk = nullptr;
    BNode::Unset();
}

DIR* BDirectory::OpenWalk() const {
    int fd = openat(FD(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    DIR* walk = fdopendir(fd);
    if (walk == nullptr) {
        int error = errno;
        close(fd);
        errno = error;
    }
    return walk;
}

status_t BDirectory::NextName(DIR* walk, std::string* name) {
    if (walk == nullptr) return B_BAD_VALUE;
    for (;;) {
        errno = 0;
        const dirent* found = readdir(walk);
        if (found == nullptr) return errno == 0 ? B_ENTRY_NOT_FOUND : status_from_errno(errno);
        if (std::strcmp(found->d_name, ".") == 0 || std::strcmp(found->d_name, "..") == 0) {
            continue;
        }
        *name = found->d_name;
        return B_OK;
    }
}

status_t BDirectory::GetNextEntry(BEntry* entry) {
    entry_ref ref;
    if (entry == nullptr) return B_BAD_VALUE;
    if (status_t status = GetNextRef(&ref); status != B_OK) return status;
    return entry->SetTo(&ref);
}

status_t BDirectory::GetNextRef(entry_ref* ref) {
    std::string name;
    if (ref == nullptr) return B_BAD_VALUE;
    if (status_t status = NextName(fWalk, &name); status != B_OK) return status;
    ref->path = BPath(NodePath().Path(), name.c_str()).Path();
    return B_OK;
}

status_t BDirectory::Rewind() {
    if (fWalk == nullptr) return B_BAD_VALUE;
    rewinddir(fWalk);
    return B_OK;
}

int32 BDirectory::CountEntries() const {
    if (InitCheck() != B_OK) return InitCheck();
    DIR* walk = OpenWalk();
    if (walk == nullptr) return status_from_errno(errno);
    int32 count = 0;
    std::string name;
    status_t status;
    while ((status = NextName(walk, &name)) == B_OK) count++;
    closedir(walk);
    return status == B_ENTRY_NOT_FOUND ? count : status;
}
