#include "platform/interface/string_item.h"

#include <algorithm>
#include <cmath>

#include "platform/interface/font.h"
#include "platform/interface/view.h"

REGISTER_ARCHIVABLE(BStringItem)

namespace {

constexpr rgb_color kSelected = {168, 188, 224, 255};
constexpr rgb_color kText = {0, 0, 0, 255};
constexpr rgb_color kDisabledText = {128, 128, 128, 255};
constexpr float kIndent = 10;
constexpr float kTextInset = 4;

}  // namespace

BStringItem::BStringItem(const char* text, uint32 outlineLevel, bool expanded)
    : BListItem(outlineLevel, expanded), fText(text ? text : "") {}

BStringItem::BStringItem(BMessage* archive) : BListItem(archive) {
    archive->FindString("_label", &fText);
}

BArchivable* BStringItem::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BStringItem") ? new BStringItem(archive) : nullptr;
}

status_t BStringItem::Archive(BMessage* archive, bool deep) const {
    BListItem::Archive(archive, deep);
    archive_class_name(archive, "BStringItem");
    archive->AddString("_label", fText);
    return B_OK;
}

void BStringItem::DrawItem(BView* owner, BRect frame, bool complete) {
    const rgb_color background = IsSelected() ? kSelected : owner->ViewColor();
    if (IsSelected() || complete) {
        owner->SetHighColor(background);
        owner->FillRect(frame);
    }
    owner->SetHighColor(IsEnabled() ? kText : kDisabledText);
    owner->SetLowColor(background);
    const float x = frame.left + kTextInset + kIndent * float(OutlineLevel());
    owner->DrawString(fText.c_str(), BPoint(x, frame.top + fBaseline));
}

void BStringItem::Update(BView* owner, const BFont* font) {
    BListItem::Update(owner, font);
    font_height height;
    font->GetHeight(&height);
    fBaseline = std::ceil(height.ascent);
    SetWidth(std::max(Width(), font->StringWidth(fText.c_str()) + 2 * kTextInset));
}
