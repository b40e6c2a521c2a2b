// Base of importer add-ons: each reads one kind of foreign file into the song.
#pragma once

#include "engine/addon.h"

class Importer : public Addon {
  public:
    // Window thread. Reads the file at path into the song, which has just been cleared.
    virtual void Open(const char* path) = 0;
};
