#include "platform/storage/errno_status.h"

#include <cerrno>

status_t status_from_errno(int error) {
    switch (error) {
        case 0:
            return B_OK;
        case ENOENT:
        case ENOTDIR:
        case ENODATA:
            return B_ENTRY_NOT_FOUND;
        case EEXIST:
            return B_FILE_EXISTS;
        case EACCES:
        case EPERM:
        case EROFS:
        case ENOTEMPTY:
        case EXDEV:
            return B_NOT_ALLOWED;
        case EISDIR:
            return B_BAD_TYPE;
        case ENOMEM:
            return B_NO_MEMORY;
        case EINVAL:
        case EBADF:
        case ENAMETOOLONG:
        case ERANGE:
        case E2BIG:
        case ELOOP:
            return B_BAD_VALUE;
        case EIO:
        case ENOSPC:
        case EDQUOT:
            return B_IO_ERROR;
        case ENOTSUP:
            return B_NOT_SUPPORTED;
        case EINTR:
            return B_INTERRUPTED;
        case ETIMEDOUT:
            return B_TIMED_OUT;
        default:
            return B_ERROR;
    }
}
