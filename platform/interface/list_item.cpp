#include "platform/interface/list_item.h"

#include <algorithm>
#include <cmath>

#include "platform/interface/font.h"
#include "platform/interface/view.h"

BListItem::BListItem(uint32 outlineLevel, bool expanded)
    : fLevel(outlineLevel), fExpanded(expanded) {}

BListItem::BListItem(BMessage* archive) : BArchivable(archive) {
    int32 level = 0;
    archive->FindInt32("_lvl", &level);
    fLevel = uint32(std::max(level, int32(0)));
    fExpanded = true;
    archive->FindBool("_expanded", &fExpanded);
    archive->FindBool("_sel", &fSelected);
    bool disabled = false;
    archive->FindBool("_disabled", &disabled);
    fEnabled = !disabled;
}

status_t BListItem::Archive(BMessage* archive, bool deep) const {
    BArchivable::Archive(archive, deep);
    archive_class_name(archive, "BListItem");
    if (fLevel) archive->AddInt32("_lvl", int32(fLevel));
    if (!fExpanded) archive->AddBool("_expanded", false);
    if (fSelected) archive->AddBool("_sel", true);
    if (!fEnabled) archive->AddBool("_disabled", true);
    return B_OK;
}

void BListItem::Update(BView* owner, const BFont* font) {
    font_height height;
    font->GetHeight(&height);
    // A pixel of air above and below the line.
    fHeight = std::ceil(height.ascent + height.descent + height.leading) + 1;
    fWidth = owner ? owner->Bounds().Width() : 0;
}
