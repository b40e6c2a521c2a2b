#include "ui/progress_bar_view.h"

#include <algorithm>

ProgressBarView::ProgressBarView(BRect frame, const char* name)
    : BView(frame, name, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW) {
    SetViewColor(255, 255, 255);
}

void ProgressBarView::SetDone(float done) {
    fDone = std::clamp(done, 0.0f, 1.0f);
    Invalidate();
}

void ProgressBarView::Draw(BRect) {
    const BRect frame = Bounds();
    SetHighColor(80, 80, 80);
    StrokeRect(frame);
    if (fDone <= 0) return;
    BRect filled = frame.InsetByCopy(2, 2);
    filled.right = filled.left + float(int(filled.Width() * fDone));
    SetHighColor(50, 100, 200);
    FillRect(filled);
}
