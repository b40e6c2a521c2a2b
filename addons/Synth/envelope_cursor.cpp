#include "addons/Synth/envelope_cursor.h"

bool EnvelopeCursor::Ended(const KeyVal& envelope, double time) {
    const int32 n = envelope.num_points;
    if (n <= 0) return true;
    const BPoint last = envelope.points[n - 1];
    return time >= last.x && last.y == 0.0f;
}
