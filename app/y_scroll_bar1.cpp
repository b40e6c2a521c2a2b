#include "app/y_scroll_bar1.h"

#include "app/pattern_container.h"

YScrollBar1::YScrollBar1(BRect frame, PatternContainer* grid)
    : BScrollBar(frame, "YScrollBar", nullptr, 0, 100, B_VERTICAL), fGrid(grid) {}

void YScrollBar1::ValueChanged(float value) {
    BScrollBar::ValueChanged(value);
    fGrid->ScrollLanes();
}
