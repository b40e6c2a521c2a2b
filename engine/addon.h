// The common base of everything an add-on makes: machines, instruments and importers.
#pragma once

#include <string>

class Addon {
  public:
    // Virtual so the program can check what an add-on really made before it uses the object.
    virtual ~Addon() = default;
    // Window thread. Open ran again on this live object, as undo does: bring whatever shows it
    // up to date.
    virtual void Reopened() {}

    // The roster entry the object came from ("Master" for the master machine).
    std::string addon_name;
};
