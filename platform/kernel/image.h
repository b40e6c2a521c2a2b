// Add-ons: shared libraries loaded while the program runs.
#pragma once

#include "message/support_defs.h"

using image_id = int32;

enum : int32 {
    B_SYMBOL_TYPE_DATA = 1,
    B_SYMBOL_TYPE_TEXT = 2,
    B_SYMBOL_TYPE_ANY = 5,
};

// Any thread. Binds every symbol at once; a negative result is an error, explained by
// add_on_error(). Loading one file twice gives two ids for one image.
image_id load_add_on(const char* path);
// Any thread. The image goes away once every id for it is unloaded.
status_t unload_add_on(image_id image);
// Any thread. The type is only checked to be one of the B_SYMBOL_TYPE_ values.
status_t get_image_symbol(image_id image, const char* name, int32 symbolType, void** location);
// The calling thread: why its last add-on call failed, in the loader's words where it gave
// some; empty after a success. Valid until its next add-on call.
const char* add_on_error();
