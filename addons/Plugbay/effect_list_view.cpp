#include "addons/Plugbay/effect_list_view.h"

#include "addons/Plugbay/effect.h"
#include "addons/Plugbay/effect_item.h"
#include "addons/Plugbay/effect_pipe_window.h"

EffectListView::EffectListView(BRect frame, EffectPipeWindow* owner)
    : BListView(frame, "ListView", B_SINGLE_SELECTION_LIST, B_FOLLOW_LEFT | B_FOLLOW_TOP,
                B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE),
      fOwner(owner) {}

void EffectListView::MouseDown(BPoint where) {
    BListView::MouseDown(where);
    const int32 selected = CurrentSelection();
    if (selected < 0) return;
    uint32 buttons = 0;
    GetMouse(nullptr, &buttons);
    if (buttons & B_PRIMARY_MOUSE_BUTTON) {
        Effect* effect = static_cast<EffectItem*>(ItemAt(selected))->GetEffect();
        if (where.x < EffectItem::kMuteColumn) {
            effect->mute = effect->mute ? 0 : 1;
            InvalidateItem(selected);
        } else {
            effect->ShowWindow();
        }
    }
    if (buttons & B_SECONDARY_MOUSE_BUTTON) fOwner->RemoveEffect(selected);
}
