// The resources of the program, which libvelloran's own file carries.
#pragma once

#include "platform/storage/resources.h"

// Any thread. Never null; InitCheck() tells whether libvelloran carries resources.
BResources* program_resources();
