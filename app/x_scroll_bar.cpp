#include "app/x_scroll_bar.h"

#include "app/pattern_container.h"

XScrollBar::XScrollBar(BRect frame, PatternContainer* grid)
    : BScrollBar(frame, "XScrollBar", nullptr, 0, 100, B_HORIZONTAL), fGrid(grid) {}

void XScrollBar::ValueChanged(float value) {
    BScrollBar::ValueChanged(value);
    fGrid->ScrollLanes();
    float min = 0;
    float max = 0;
    GetRange(&min, &max);
    if (value >= max) SetRange(min, max + 1);
}
