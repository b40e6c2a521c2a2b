// Command codes the application services send and understand.
#pragma once

#include "message/support_defs.h"

enum : uint32 {
    B_QUIT_REQUESTED = four_cc("_QRQ"),
    B_ABOUT_REQUESTED = four_cc("_ABR"),
    B_READY_TO_RUN = four_cc("_RTR"),
    B_REFS_RECEIVED = four_cc("RREF"),
    B_ARGV_RECEIVED = four_cc("_ARG"),
    B_PULSE = four_cc("_PUL"),
    B_SIMPLE_DATA = four_cc("DATA"),
    B_SAVE_REQUESTED = four_cc("_SVR"),
    B_CANCEL = four_cc("_CNC"),
};
