// The screen windows appear on.
#pragma once

#include "platform/interface/interface_defs.h"

class BScreen {
  public:
    // Any thread. The primary screen; 1024 x 768 with no display.
    BRect Frame() const;
    bool IsValid() const { return true; }
};
