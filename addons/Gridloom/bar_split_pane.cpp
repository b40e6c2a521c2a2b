#include "addons/Gridloom/bar_split_pane.h"

#include <cmath>
#include <cstdio>

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/tracker_globals.h"

namespace {

constexpr rgb_color kMark = {130, 130, 130, 255};
constexpr rgb_color kPanel = {216, 216, 216, 255};

}  // namespace

BarSplitPane::BarSplitPane(BRect frame, BView* one, BView* two, uint32 resizingMode)
    : SplitPane(frame, one, two, resizingMode) {}

void BarSplitPane::Draw(BRect update) {
    SplitPane::Draw(update);
    if (currpat == nullptr) return;
    const int32 steps = currpat->step_per_measure;
    const float width = Bounds().Width();
    const float top = BarFrame().top;
    // Every measure start the grids show, scrolled like them; columns scrolled off to the
    // left are not the ruler's to draw.
    for (int32 column = 0;; column += steps) {
        const float x = std::round(kGridLeft + (float(column) - xofs) * kColumnWidth);
        if (x > width) break;
        if (x >= kGridLeft) DrawMeasure(x, column / steps, top);
    }
}

void BarSplitPane::DrawMeasure(float x, int32 measure, float top) {
    SetHighColor(kMark);
    SetLowColor(kPanel);
    StrokeLine(BPoint(x, top + 2), BPoint(x, top + 11));
    char number[16];
    std::snprintf(number, sizeof number, "%d", int(measure));
    DrawString(number, BPoint(x + 2, top + 10));
}
