// What views draw into: a window's image or an off-screen bitmap's.
#pragma once

#include "message/geometry.h"

class QImage;

class DrawingSurface {
  public:
    virtual ~DrawingSurface() = default;
    // Under the owner's lock. The image views draw into, made on first use.
    virtual QImage& Image() = 0;
    // Under the owner's lock: pixels changed outside an update and must reach the screen.
    virtual void Damaged(BRect surfaceRect) = 0;
    // Where surface pixel (0,0) is on the screen.
    virtual BPoint ScreenOrigin() const = 0;
};
