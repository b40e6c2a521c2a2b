#include "platform/interface/box.h"

#include <algorithm>
#include <cmath>

REGISTER_ARCHIVABLE(BBox)

namespace {

constexpr float kLabelIndent = 8;

rgb_color Scaled(rgb_color color, float factor) {
    auto channel = [factor](uint8 c) { return uint8(std::min(255.f, std::round(c * factor))); };
    return {channel(color.red), channel(color.green), channel(color.blue), 255};
}

border_style BorderFrom(int32 style) {
    return style == B_PLAIN_BORDER || style == B_NO_BORDER ? border_style(style) : B_FANCY_BORDER;
}

}  // namespace

BBox::BBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags, border_style border)
    : BView(frame, name, resizingMode, flags), fBorder(BorderFrom(border)) {}

BBox::BBox(BMessage* archive) : BView(archive) {
    archive->FindString("_label", &fLabel);
    int32 style = B_FANCY_BORDER;
    archive->FindInt32("_style", &style);
    fBorder = BorderFrom(style);
}

BArchivable* BBox::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BBox") ? new BBox(archive) : nullptr;
}

status_t BBox::Archive(BMessage* archive, bool deep) const {
    BView::Archive(archive, deep);
    archive_class_name(archive, "BBox");
    if (!fLabel.empty()) archive->AddString("_label", fLabel);
    archive->AddInt32("_style", fBorder);
    return B_OK;
}

void BBox::SetLabel(const char* label) {
    fLabel = label ? label : "";
    Invalidate();
}

void BBox::SetBorder(border_style border) {
    fBorder = BorderFrom(border);
    Invalidate();
}

float BBox::TopEdge() const {
    if (fLabel.empty()) return Bounds().top;
    font_height height;
    GetFontHeight(&height);
    return Bounds().top + std::floor((height.ascent + height.descent) / 2);
}

void BBox::Draw(BRect) {
    BRect frame = Bounds();
    frame.top = TopEdge();
    const rgb_color high = HighColor();
    if (fBorder == B_FANCY_BORDER) {
        // Etched: a shadow line with a highlight just inside and below it.
        SetHighColor(Scaled(ViewColor(), 1.3f));
        StrokeRect(BRect(frame.left + 1, frame.top + 1, frame.right, frame.bottom));
        SetHighColor(Scaled(ViewColor(), 0.6f));
        StrokeRect(BRect(frame.left, frame.top, frame.right - 1, frame.bottom - 1));
    } else if (fBorder == B_PLAIN_BORDER) {
        SetHighColor(Scaled(ViewColor(), 0.6f));
        StrokeRect(frame);
    }
    SetHighColor(high);
    DrawLabel();
}

void BBox::DrawLabel() {
    if (fLabel.empty()) return;
    font_height height;
    GetFontHeight(&height);
    const BRect bounds = Bounds();
    const float width = StringWidth(fLabel.c_str());
    const BRect behind(bounds.left + kLabelIndent - 2, bounds.top,
                       bounds.left + kLabelIndent + std::ceil(width) + 1,
                       bounds.top + std::ceil(height.ascent + height.descent));
    const rgb_color high = HighColor();
    SetHighColor(ViewColor());
    FillRect(behind);
    SetHighColor(high);
    DrawString(fLabel.c_str(),
               BPoint(bounds.left + kLabelIndent, bounds.top + std::ceil(height.ascent) - 1));
}

void BBox::FrameResized(float, float) {
    // The edges move with the frame, so the old ones must go.
    Invalidate();
}
