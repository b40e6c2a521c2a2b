// Status codes for the errno values the file system calls report.
#pragma once

#include "message/support_defs.h"

// Any thread.
status_t status_from_errno(int error);
