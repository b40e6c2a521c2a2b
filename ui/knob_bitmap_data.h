// The knob strip RoundSlider draws: 33 frames of 32 x 32 pixels side by side (1056 x 32), bytes
// R, G, B, drawn on the panel grey (216, 216, 216). Frame 0 is the minimum, 32 the maximum.
#pragma once

constexpr int kKnobFrames = 33;
constexpr int kKnobSize = 32;
extern const unsigned char bitmap_data[101376];
