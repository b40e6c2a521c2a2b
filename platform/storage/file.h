// A regular file opened for reading, writing or both.
#pragma once

#include "platform/storage/node.h"

// Open modes: one access mode, then any of the flags.
enum : uint32 {
    B_READ_ONLY = 0x0000,
    B_WRITE_ONLY = 0x0001,
    B_READ_WRITE = 0x0002,
    B_CREATE_FILE = 0x0100,
    B_ERASE_FILE = 0x0200,
    // Creates the file and fails with B_FILE_EXISTS when it is there already.
    B_FAIL_IF_EXISTS = 0x0400,
    B_OPEN_AT_END = 0x0800,
};

// Any thread; one file is not shared between threads without a lock.
class BFile : public BNode {
  public:
    // Any thread.
    BFile() = default;
    // Any thread. See SetTo; InitCheck() tells whether it worked.
    BFile(const char* path, uint32 openMode);
    // Any thread.
    BFile(const entry_ref* ref, uint32 openMode);

    // Any thread. Folders fail with B_BAD_TYPE.
    status_t SetTo(const char* path, uint32 openMode);
    // Any thread.
    status_t SetTo(const entry_ref* ref, uint32 openMode);

    // Any thread. Each returns the count moved, short only at the end of the file, or an error.
    ssize_t Read(void* buffer, size_t size);
    // Any thread.
    ssize_t Write(const void* buffer, size_t size);
    // Any thread. Leaves the position alone.
    ssize_t ReadAt(off_t position, void* buffer, size_t size) const;
    // Any thread. Leaves the position alone; a file opened at its end is appended to.
    ssize_t WriteAt(off_t position, const void* buffer, size_t size);

    // Any thread. seekMode is SEEK_SET, SEEK_CUR or SEEK_END; returns the new position.
    off_t Seek(off_t position, uint32 seekMode);
    // Any thread.
    off_t Position() const;
    // Any thread.
    status_t GetSize(off_t* size) const;
    // Any thread. Cuts the file short or extends it with zeros.
    status_t SetSize(off_t size);
    // Any thread. Returns once the data is on the disk.
    status_t Sync();
};
