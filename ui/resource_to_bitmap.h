// Turns a TGA image stored in resources into a bitmap.
#pragma once

#include "message/support_defs.h"

class BBitmap;
class BResources;

// Any thread. Finds the 'RAWT' resource of that name (resources null: the program's own) and
// makes a B_RGB32 bitmap of its size. 1 when loaded; 0 with *bitmap null otherwise, leaving the
// sizes untouched. The caller owns the bitmap.
int32 ResourceToBitmap(const char* name, BBitmap** bitmap, int32* width, int32* height,
                       BResources* resources = nullptr);
