#include "addons/Plugbay/effect_item.h"

#include "addons/Plugbay/effect.h"
#include "addons/common/display_text.h"
#include "platform/interface/view.h"

namespace {

constexpr rgb_color kSelected = {152, 152, 152, 255};
constexpr rgb_color kMuted = {255, 0, 0, 255};
constexpr rgb_color kText = {0, 0, 0, 255};

}  // namespace

EffectItem::EffectItem(Effect* effect) : BListItem(0, true), fEffect(effect) {}

void EffectItem::DrawItem(BView* owner, BRect frame, bool complete) {
    const rgb_color background = IsSelected() ? kSelected : owner->ViewColor();
    owner->SetLowColor(background);
    if (IsSelected() || complete) {
        owner->SetHighColor(background);
        owner->FillRect(frame);
    }
    if (fEffect->mute) {
        owner->SetHighColor(kMuted);
        owner->DrawString("M", BPoint(frame.left + 4, frame.bottom - 2));
    }
    owner->SetHighColor(kText);
    owner->DrawString(DisplayText(fEffect->name).c_str(),
                      BPoint(frame.left + kMuteColumn, frame.bottom - 2));
}
