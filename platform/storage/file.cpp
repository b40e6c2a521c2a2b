#include "platform/storage/file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "platform/storage/errno_status.h"

namespace {

constexpr uint32 kAccessMask = 0x0003;
constexpr uint32 kKnownModes =
    kAccessMask | B_CREATE_FILE | B_ERASE_FILE | B_FAIL_IF_EXISTS | B_OPEN_AT_END;

bool OpenFlags(uint32 openMode, int* flags) {
    uint32 access = openMode & kAccessMask;
    if ((openMode & ~kKnownModes) != 0 || access > B_READ_WRITE) return false;
    // Linux would truncate even a file opened for reading only.
    if ((openMode & B_ERASE_FILE) && access == B_READ_ONLY) return false;
    *flags = access == B_READ_ONLY ? O_RDONLY : access == B_WRITE_ONLY ? O_WRONLY : O_RDWR;
    if (openMode & B_CREATE_FILE) *flags |= O_CREAT;
    if (openMode & B_ERASE_FILE) *flags |= O_TRUNC;
    if (openMode & B_FAIL_IF_EXISTS) *flags |= O_CREAT | O_EXCL;
    if (openMode & B_OPEN_AT_END) *flags |= O_APPEND;
    return true;
}

// Repeats short or interrupted transfers until size bytes have moved or the file ends.
template <typename Transfer>
ssize_t Repeat(size_t size, Transfer&& transfer) {
    if (size > size_t(std::numeric_limits<ssize_t>::max())) return B_BAD_VALUE;
    size_t done = 0;
    while (done < size) {
        ssize_t moved = transfer(done);
        if (moved < 0 && errno == EINTR) continue;
        if (moved < 0) return done > 0 ? ssize_t(done) : ssize_t(status_from_errno(errno));
        if (moved == 0) break;
        done += size_t(moved);
    }
    return ssize_t(done);
}

}  // namespace

BFile::BFile(const char* path, uint32 openMode) {
    SetTo(path, openMode);
}

BFile::BFile(const entry_ref* ref, uint32 openMode) {
    SetTo(ref, openMode);
}

status_t BFile::SetTo(const char* path, uint32 openMode) {
    int flags;
    if (!OpenFlags(openMode, &flags)) return Fail(B_BAD_VALUE);
    if (status_t status = Open(path, flags, 0666); status != B_OK) return status;
    struct stat info;
    if (GetStat(&info) == B_OK && S_ISDIR(info.st_mode)) return Fail(B_BAD_TYPE);
    return B_OK;
}

status_t BFile::SetTo(const entry_ref* ref, uint32 openMode) {
    return SetTo(ref == nullptr ? nullptr : ref->path.c_str(), openMode);
}

ssize_t BFile::Read(void* buffer, size_t size) {
    auto bytes = static_cast<char*>(buffer);
    return Repeat(size, [&](size_t done) { return read(FD(), bytes + done, size - done); });
}

ssize_t BFile::Write(const void* buffer, size_t size) {
    auto bytes = static_cast<const char*>(buffer);
    return Repeat(size, [&](size_t done) { return write(FD(), bytes + done, size - done); });
}

ssize_t BFile::ReadAt(off_t position, void* buffer, size_t size) const {
    if (position < 0) return B_BAD_VALUE;
    auto bytes = static_cast<char*>(buffer);
    return Repeat(size, [&](size_t done) {
        return pread(FD(), bytes + done, size - done, position + off_t(done));
    });
}

ssize_t BFile::WriteAt(off_t position, const void* buffer, size_t size) {
    if (position < 0) return B_BAD_VALUE;
    auto bytes = static_cast<const char*>(buffer);
    return Repeat(size, [&](size_t done) {
        return pwrite(FD(), bytes + done, size - done, position + off_t(done));
    });
}

off_t BFile::Seek(off_t position, uint32 seekMode) {
    if (seekMode != SEEK_SET && seekMode != SEEK_CUR && seekMode != SEEK_END) return B_BAD_VALUE;
    off_t result = lseek(FD(), position, int(seekMode));
    return result >= 0 ? result : off_t(status_from_errno(errno));
}

off_t BFile::Position() const {
    off_t result = lseek(FD(), 0, SEEK_CUR);
    return result >= 0 ? result : off_t(status_from_errno(errno));
}

status_t BFile::GetSize(off_t* size) const {
    struct stat info;
    if (size == nullptr) return B_BAD_VALUE;
    if (status_t status = GetStat(&info); status != B_OK) return status;
    *size = info.st_size;
    return B_OK;
}

status_t BFile::SetSize(off_t size) {
    if (size < 0) return B_BAD_VALUE;
    return ftruncate(FD(), size) == 0 ? B_OK : status_from_errno(errno);
}

status_t BFile::Sync() {
    return fsync(FD()) == 0 ? B_OK : status_from_errno(errno);
}
