// Reads a KeyVal envelope frame by frame, remembering the segment it is in so that a frame
// costs a comparison and an interpolation.
#pragma once

#include "engine/key_val.h"

class EnvelopeCursor {
  public:
    // The level at time frames since the note started: straight lines between the points, the
    // first point's level before it and the last's after it.
    float LevelAt(const KeyVal& envelope, double time) {
        const BPoint* p = envelope.points;
        const int32 n = envelope.num_points;
        if (n <= 0) return 0.0f;
        if (fSegment >= n || time < p[fSegment].x) fSegment = 0;
        while (fSegment + 1 < n && p[fSegment + 1].x <= time) fSegment++;
        const BPoint a = p[fSegment];
        if (fSegment + 1 >= n || time < a.x) return a.y;
        const BPoint b = p[fSegment + 1];
        return a.y + (b.y - a.y) * float((time - a.x) / (b.x - a.x));
    }

    // Past the last point, at a level of zero: nothing more will sound.
    static bool Ended(const KeyVal& envelope, double time);

  private:
    int32 fSegment = 0;
};
