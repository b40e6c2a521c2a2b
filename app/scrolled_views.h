// Views that fill a host view from a layout inside a scroll view "scrollview".
#pragma once

#include "platform/interface/view.h"

class BTextView;

// The thread that holds the host's window. The frame to make a view with before AddScrolled.
BRect ScrolledFrame(const BView* host);
// The thread that holds the host's window. Wraps target in a scroll view with a vertical bar,
// which fills host and follows all its sides.
void AddScrolled(BView* host, BView* target);
// The thread that holds the host's window. A text view "text" filling host. Its native
// widget brings its own frame and scroll bar, so the scroll view adds neither.
BTextView* AddScrolledText(BView* host);
