#include "addons/Plugbay/effect_drag_list_view.h"

#include "platform/interface/string_item.h"

EffectDragListView::EffectDragListView(BRect frame)
    : BListView(frame, "ListView", B_SINGLE_SELECTION_LIST, B_FOLLOW_LEFT | B_FOLLOW_TOP,
                B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE) {}

bool EffectDragListView::InitiateDrag(BPoint, int32 index, bool) {
    auto* item = static_cast<BStringItem*>(ItemAt(index));
    if (item == nullptr) return false;
    BMessage drag(kDragged);
    drag.AddString("EffectTypeName", item->Text());
    DragMessage(&drag, ItemFrame(index), this);
    return true;
}
