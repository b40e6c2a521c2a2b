// The left and right volume of one connection, found again by its machines before each use,
// since the graph may change while a window holds on to it.
#pragma once

#include "message/support_defs.h"

class ConnectionVolume {
  public:
    enum Side : int32 { kLeft = 0, kRight = 1 };

    ConnectionVolume(int32 destination, int32 input);

    // The window thread. Whether input `input` of the destination still comes from the source
    // it came from when this was made.
    bool Valid() const;
    // The window thread. The stored volume held to 0 .. kMaxVolume; 1 when no longer valid.
    float Get(Side side) const;
    // The window thread. Writes only while Valid; false otherwise.
    bool Set(Side side, float value) const;
    int32 Destination() const { return fDestination; }
    int32 Input() const { return fInput; }

  private:
    int32 fDestination;
    int32 fInput;
    int32 fSource;
};
