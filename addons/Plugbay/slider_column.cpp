#include "addons/Plugbay/slider_column.h"

SliderColumn::SliderColumn(BRect frame, float height)
    : BView(frame, "sliders", B_FOLLOW_ALL, B_WILL_DRAW), fHeight(height) {
    SetViewColor(216, 216, 216);
}

void SliderColumn::GetPreferredSize(float* width, float* height) {
    if (width != nullptr) *width = Bounds().Width();
    if (height != nullptr) *height = fHeight - 1;
}
