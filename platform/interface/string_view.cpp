#include "platform/interface/string_view.h"

#include <algorithm>
#include <cmath>

REGISTER_ARCHIVABLE(BStringView)

BStringView::BStringView(BRect frame, const char* name, const char* text, uint32 resizingMode,
                         uint32 flags)
    : BView(frame, name, resizingMode, flags), fText(text ? text : "") {}

BStringView::BStringView(BMessage* archive) : BView(archive) {
    archive->FindString("_text", &fText);
    int32 align = B_ALIGN_LEFT;
    archive->FindInt32("_align", &align);
    if (align == B_ALIGN_RIGHT || align == B_ALIGN_CENTER) fAlign = alignment(align);
}

BArchivable* BStringView::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BStringView") ? new BStringView(archive) : nullptr;
}

status_t BStringView::Archive(BMessage* archive, bool deep) const {
    BView::Archive(archive, deep);
    archive_class_name(archive, "BStringView");
    archive->AddString("_text", fText);
    archive->AddInt32("_align", fAlign);
    return B_OK;
}

void BStringView::SetText(const char* text) {
    fText = text ? text : "";
    Invalidate();
}

void BStringView::SetAlignment(alignment flag) {
    fAlign = flag;
    Invalidate();
}

void BStringView::Draw(BRect) {
    const BRect bounds = Bounds();
    const float width = StringWidth(fText.c_str());
    float x = bounds.left;
    if (fAlign == B_ALIGN_CENTER) x += std::floor((bounds.Width() - width) / 2);
    if (fAlign == B_ALIGN_RIGHT) x = bounds.right - width;
    // The text's height is centred; what does not fit is cut at the bottom, not the top.
    font_height height;
    GetFontHeight(&height);
    const float spare = bounds.Height() + 1 - std::ceil(height.ascent + height.descent);
    const float baseline = bounds.top + std::max(spare, 0.f) / 2 + std::ceil(height.ascent) - 1;
    DrawString(fText.c_str(), BPoint(x, std::floor(baseline)));
}

void BStringView::GetPreferredSize(float* width, float* height) {
    font_height metrics;
    GetFontHeight(&metrics);
    if (width) *width = std::ceil(StringWidth(fText.c_str()));
    if (height) *height = std::ceil(metrics.ascent + metrics.descent + metrics.leading);
}
