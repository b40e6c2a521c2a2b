#include "message/support_defs.h"

const char* strerror_status(status_t status) {
    switch (status) {
        case B_OK:
            return "no error";
        case B_NO_MEMORY:
            return "out of memory";
        case B_BAD_VALUE:
            return "bad value";
        case B_BAD_TYPE:
            return "wrong type";
        case B_BAD_INDEX:
            return "index out of range";
        case B_NAME_NOT_FOUND:
            return "name not found";
        case B_NAME_IN_USE:
            return "name in use";
        case B_BAD_DATA:
            return "malformed data";
        case B_MISMATCHED_VALUES:
            return "mismatched values";
        case B_ENTRY_NOT_FOUND:
            return "no such file or folder";
        case B_FILE_EXISTS:
            return "file exists";
        case B_NOT_ALLOWED:
            return "not allowed";
        case B_IO_ERROR:
            return "input/output error";
        case B_BAD_THREAD_ID:
            return "no such thread";
        case B_BAD_IMAGE_ID:
            return "no such add-on image";
        case B_NOT_SUPPORTED:
            return "not supported";
        case B_TIMED_OUT:
            return "timed out";
        case B_INTERRUPTED:
            return "interrupted";
        case B_BAD_PORT_ID:
            return "the receiver has gone";
        case B_WOULD_BLOCK:
            return "would block";
        case B_CANCELED:
            return "canceled";
        default:
            return "general error";
    }
}
