// A loaded add-on library.
#pragma once

#include <string>

#include "message/support_defs.h"

class SharedObject {
  public:
    virtual ~SharedObject() = default;
    // Any thread. Looks a code symbol up; false (and *out unchanged) when it is not there.
    virtual bool GetObject(const char* symbol, void** out) = 0;

    std::string path;
    int32 handle = 0;  // image id; 0 or less when loading failed
};

// Any thread. Loads path (with ".so" appended when suffix is set); relative paths are inside
// the add-on folder. Returns the object even when loading failed.
SharedObject* CreateSharedObject(const char* path, bool suffix);
