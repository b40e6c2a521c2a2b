#include "app/scope_view.h"

#include <algorithm>
#include <cmath>

#include "engine/finite_values.h"

namespace {

constexpr rgb_color kBackground = {0, 0, 0, 255};
constexpr rgb_color kTrace = {32, 154, 232, 255};
constexpr double kRowsPerFullScale = 13;
constexpr int32 kMiddleRow = 16;
constexpr int32 kLastRow = 31;

}  // namespace

ScopeView::ScopeView(BRect frame)
    : PosEventView(frame, "ScopeView", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW) {
    SetViewColor(kBackground);
}

ScopeView::~ScopeView() {
    StopPositions();
}

void ScopeView::Draw(BRect) {
    SetHighColor(kTrace);
    if (fColumns > 0) MovePenTo(0, float(fRows[0]));
    for (int32 column = 0; column < fColumns; ++column)
        StrokeLine(BPoint(float(column), float(fRows[size_t(column)])));
}

int32 ScopeView::RowOf(float sample) {
    if (std::isnan(sample)) return kMiddleRow;
    return ClampToInt(double(sample) * kRowsPerFullScale + kMiddleRow, 0, kLastRow);
}

void ScopeView::UpdateLocked(float, float, float** buffers, long count) {
    if (!buffers || !buffers[0]) return;
    const long points = (std::max(count, 0L) + kFramesPerColumn - 1) / kFramesPerColumn;
    fColumns = int32(std::min<long>(points, kColumns));
    for (int32 column = 0; column < fColumns; ++column)
        fRows[size_t(column)] = RowOf(buffers[0][column * kFramesPerColumn]);
    Invalidate();
}
