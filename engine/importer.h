// Base of importer add-ons: each reads one kind of foreign file into the song.
#pragma once

#include "engine/addon.h"

class Importer : public Addon {
  public:
    // Window thread, before the song is cleared. Reads and checks the file; false, with an
    // error shown that names the file, leaves the song as it is and Open is not called.
    virtual bool Prepare(const char*) { return true; }
    // Window thread. Reads the file at path into the song, which has just been cleared.
    virtual void Open(const char* path) = 0;
};
