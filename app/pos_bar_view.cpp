#include "app/pos_bar_view.h"

#include <cstdio>

#include "engine/finite_values.h"
#include "engine/song.h"
#include "platform/interface/bitmap.h"
#include "ui/resource_to_bitmap.h"

namespace {

constexpr float kPixelsPerMeasure = 4;
constexpr float kMarkTop = 6;
constexpr rgb_color kTick = {130, 130, 130, 255};
constexpr rgb_color kLoop = {0, 0, 0, 60};

std::unique_ptr<BBitmap> LoadImage(const char* name, int32* width, int32* height) {
    BBitmap* bitmap = nullptr;
    ResourceToBitmap(name, &bitmap, width, height);
    return std::unique_ptr<BBitmap>(bitmap);
}

}  // namespace

PosBarView::PosBarView(BRect frame)
    : PosEventView(frame, "PosBar", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
      fBar(LoadImage("PosBar", &fBarWidth, &fBarHeight)),
      fMark(LoadImage("PosMark", &fMarkWidth, &fMarkHeight)) {
    SetViewColor(B_TRANSPARENT_COLOR);
    // Small enough to stay below the cell's dark top edge.
    const BFont labels("DejaVu Sans", 10);
    SetFont(&labels);
}

PosBarView::~PosBarView() {
    StopPositions();
}

void PosBarView::Draw(BRect updateRect) {
    DrawRuler(updateRect);
    DrawLoop();
    if (!fMarkLeft) return;
    // The image's clear colour leaves the ruler showing around the mark.
    SetDrawingMode(B_OP_OVER);
    DrawBitmap(fMark.get(), BPoint(float(*fMarkLeft), kMarkTop));
    SetDrawingMode(B_OP_COPY);
}

void PosBarView::DrawRuler(BRect updateRect) {
    const float cell = float(fBarWidth);
    // One cell more on the left, whose label reaches into the rectangle.
    const int32 first = ClampToInt(updateRect.left / cell - 1, -1, INT32_MAX);
    const int32 end = ClampToInt(updateRect.right / cell + 1, -1, INT32_MAX);
    for (int32 i = first; i < end; ++i) DrawBitmap(fBar.get(), BPoint(float(i) * cell, 0));
    // Labels after all the cells, so that the next cell does not cut a long one.
    SetHighColor(kTick);
    for (int32 i = first; i < end; ++i) {
        if (i < 0 || (i & 3) != 0) continue;
        const float x = float(i) * cell;
        StrokeLine(BPoint(x, 4), BPoint(x, float(fBarHeight)));
        char label[16];
        std::snprintf(label, sizeof label, "%d", int(i));
        DrawString(label, BPoint(x + 2, 9));
    }
}

void PosBarView::DrawLoop() {
    const float start = float(song->start_pos) * kPixelsPerMeasure;
    const float stop = float(song->stop_pos) * kPixelsPerMeasure;
    SetDrawingMode(B_OP_ALPHA);
    SetBlendingMode(B_CONSTANT_ALPHA, B_ALPHA_OVERLAY);
    SetHighColor(kLoop);
    FillRect(BRect(start, 0, stop, 1));
    FillRect(BRect(start, 0, start, 4));
    FillRect(BRect(stop, 0, stop, 4));
    SetDrawingMode(B_OP_COPY);
}

void PosBarView::MouseDown(BPoint where) {
    BPoint pointer;
    uint32 buttons = 0;
    GetMouse(&pointer, &buttons);
    const int32 measure = MeasureAt(where);
    if (buttons & B_PRIMARY_MOUSE_BUTTON) song->start_pos = measure;
    if (buttons & B_SECONDARY_MOUSE_BUTTON) song->stop_pos = measure;
    Invalidate();
}

int32 PosBarView::MarkLeft(float position) const {
    return ClampToInt(double(position) * kPixelsPerMeasure - fMarkWidth / 2, -fMarkWidth,
                      int32(Bounds().right) + 1);
}

int32 PosBarView::MeasureAt(BPoint where) {
    return ClampToInt((double(where.x) + 2) / kPixelsPerMeasure, 0, Song::kLastPosition);
}

void PosBarView::UpdateLocked(float, float to, float**, long) {
    const int32 left = MarkLeft(to);
    if (fMarkLeft == left) return;
    if (fMarkLeft) Invalidate(MarkRect(*fMarkLeft));
    fMarkLeft = left;
    Invalidate(MarkRect(left));
}

BRect PosBarView::MarkRect(int32 left) const {
    return BRect(float(left), kMarkTop, float(left + fMarkWidth - 1),
                 kMarkTop + float(fMarkHeight - 1));
}
