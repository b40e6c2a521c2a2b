// The raised box that marks a note start or a filled slot in the tracker's views.
#pragma once

#include "message/geometry.h"

class BView;

// Window threads, with the view's window (or bitmap) locked. Draws inside cell, one pixel in.
void DrawTrackerBox(BView* view, BRect cell, rgb_color base);
