#include "platform/interface/list_view.h"

#include <algorithm>
#include <cmath>

#include "platform/interface/list_item.h"
#include "platform/interface/scroll_bar.h"
#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BListView)

namespace {

// How far the pointer moves with the button down before a press becomes a drag.
constexpr float kDragSlop = 4;

}  // namespace

BListView::BListView(BRect frame, const char* name, list_view_type type, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags), fType(type) {}

BListView::BListView(BMessage* archive) : BView(archive), fType(B_SINGLE_SELECTION_LIST) {
    int32 type = B_SINGLE_SELECTION_LIST;
    archive->FindInt32("_lv_type", &type);
    if (type == B_MULTIPLE_SELECTION_LIST) fType = B_MULTIPLE_SELECTION_LIST;
    BMessage message;
    if (archive->FindMessage("_msg", &message) == B_OK) SetSelectionMessage(new BMessage(message));
    if (archive->FindMessage("_2nd_msg", &message) == B_OK)
        SetInvocationMessage(new BMessage(message));
}

BListView::~BListView() {
    delete fSelectionMessage;
}

BArchivable* BListView::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BListView") ? new BListView(archive) : nullptr;
}

status_t BListView::Archive(BMessage* archive, bool deep) const {
    BView::Archive(archive, deep);
    archive_class_name(archive, "BListView");
    archive->AddInt32("_lv_type", fType);
    if (fSelectionMessage) archive->AddMessage("_msg", fSelectionMessage);
    if (InvocationMessage()) archive->AddMessage("_2nd_msg", InvocationMessage());
    return B_OK;
}

bool BListView::AddItem(BListItem* item) {
    return AddItem(item, CountItems());
}

bool BListView::AddItem(BListItem* item, int32 index) {
    if (!item || index < 0 || index > CountItems()) return false;
    BFont font;
    GetFont(&font);
    item->Update(this, &font);
    fItems.insert(fItems.begin() + index, item);
    if (fAnchor >= index) ++fAnchor;
    ContentChanged();
    return true;
}

BListItem* BListView::RemoveItem(int32 index) {
    BListItem* item = ItemAt(index);
    if (!item) return nullptr;
    fItems.erase(fItems.begin() + index);
    if (fAnchor == index) fAnchor = -1;
    if (fAnchor > index) --fAnchor;
    ContentChanged();
    if (item->IsSelected()) {
        item->Deselect();
        Notify();
    }
    return item;
}

bool BListView::RemoveItem(BListItem* item) {
    const int32 index = IndexOf(item);
    return index >= 0 && RemoveItem(index) == item;
}

void BListView::MakeEmpty() {
    const bool hadSelection = CurrentSelection() >= 0;
    for (BListItem* item : fItems) item->Deselect();
    fItems.clear();
    fAnchor = -1;
    ContentChanged();
    if (hadSelection) Notify();
}

BListItem* BListView::ItemAt(int32 index) const {
    return index >= 0 && index < CountItems() ? fItems[index] : nullptr;
}

int32 BListView::IndexOf(const BListItem* item) const {
    auto found = std::find(fItems.begin(), fItems.end(), item);
    return found == fItems.end() ? -1 : int32(found - fItems.begin());
}

int32 BListView::IndexOf(BPoint point) const {
    if (point.y < 0) return -1;
    float top = 0;
    for (int32 i = 0; i < CountItems(); ++i) {
        top += fItems[i]->Height() + 1;
        if (point.y < top) return i;
    }
    return -1;
}

BRect BListView::ItemFrame(int32 index) const {
    if (!ItemAt(index)) return BRect();
    float top = 0;
    for (int32 i = 0; i < index; ++i) top += fItems[i]->Height() + 1;
    const BRect bounds = Bounds();
    return BRect(bounds.left, top, bounds.right, top + fItems[index]->Height());
}

void BListView::InvalidateItem(int32 index) {
    if (ItemAt(index)) Invalidate(ItemFrame(index));
}

void BListView::Select(int32 index, bool extend) {
    if (!ItemAt(index)) return;
    fAnchor = index;
    Select(index, index, extend);
}

void BListView::Select(int32 from, int32 to, bool extend) {
    if (!ItemAt(from) || !ItemAt(to)) return;
    if (SelectRange(from, to, extend)) Notify();
}

bool BListView::SelectRange(int32 from, int32 to, bool extend) {
    if (fType == B_SINGLE_SELECTION_LIST) {
        to = from;
        extend = false;
    }
    if (from > to) std::swap(from, to);
    bool changed = false;
    for (int32 i = 0; i < CountItems(); ++i) {
        const bool inside = i >= from && i <= to;
        const bool wanted = inside || (extend && fItems[i]->IsSelected());
        if (wanted == fItems[i]->IsSelected()) continue;
        wanted ? fItems[i]->Select() : fItems[i]->Deselect();
        InvalidateItem(i);
        changed = true;
    }
    return changed;
}

void BListView::Deselect(int32 index) {
    if (!IsItemSelected(index)) return;
    fItems[index]->Deselect();
    InvalidateItem(index);
    Notify();
}

void BListView::DeselectAll() {
    bool changed = false;
    for (int32 i = 0; i < CountItems(); ++i) {
        if (!fItems[i]->IsSelected()) continue;
        fItems[i]->Deselect();
        InvalidateItem(i);
        changed = true;
    }
    if (changed) Notify();
}

int32 BListView::CurrentSelection(int32 n) const {
    for (int32 i = 0; i < CountItems(); ++i)
        if (fItems[i]->IsSelected() && n-- == 0) return i;
    return -1;
}

bool BListView::IsItemSelected(int32 index) const {
    const BListItem* item = ItemAt(index);
    return item && item->IsSelected();
}

void BListView::ScrollToSelection() {
    const int32 index = CurrentSelection();
    if (index < 0) return;
    const BRect frame = ItemFrame(index);
    const BRect bounds = Bounds();
    if (frame.top < bounds.top)
        ScrollTo(BPoint(bounds.left, frame.top));
    else if (frame.bottom > bounds.bottom)
        ScrollTo(BPoint(bounds.left, frame.bottom - bounds.Height()));
}

void BListView::SetSelectionMessage(BMessage* message) {
    if (message == fSelectionMessage) return;
    delete fSelectionMessage;
    fSelectionMessage = message;
}

status_t BListView::Invoke(BMessage* message) {
    return SendCopy(
        message, static_cast<const BView*>(this), [](BMessage* copy, const void* source) {
            auto* list = static_cast<const BListView*>(static_cast<const BView*>(source));
            for (int32 n = 0, i; (i = list->CurrentSelection(n)) >= 0; ++n)
                copy->AddInt32("index", i);
        });
}

void BListView::Notify() {
    SelectionChanged();
    if (fSelectionMessage) Invoke(fSelectionMessage);
}

void BListView::ContentChanged() {
    for (orientation direction : {B_HORIZONTAL, B_VERTICAL})
        if (BScrollBar* bar = ScrollBar(direction)) bar->FitToTarget();
    Invalidate();
}

bool BListView::InitiateDrag(BPoint, int32, bool) {
    return false;
}

void BListView::GetPreferredSize(float* width, float* height) {
    if (width) *width = Frame().Width();
    if (height) *height = IsEmpty() ? 0 : ItemFrame(CountItems() - 1).bottom;
}

void BListView::AttachedToWindow() {
    if (!Messenger().IsValid()) SetTarget(Window());
    // The font may have changed since the items were added.
    BFont font;
    GetFont(&font);
    for (BListItem* item : fItems) item->Update(this, &font);
    ContentChanged();
}

void BListView::Draw(BRect updateRect) {
    const rgb_color high = HighColor(), low = LowColor();
    SetHighColor(ViewColor());
    FillRect(updateRect);
    float top = 0;
    const BRect bounds = Bounds();
    for (BListItem* item : fItems) {
        const BRect frame(bounds.left, top, bounds.right, top + item->Height());
        top = frame.bottom + 1;
        if (frame.bottom < updateRect.top) continue;
        if (frame.top > updateRect.bottom) break;
        item->DrawItem(this, frame, false);
    }
    SetHighColor(high);
    SetLowColor(low);
}

void BListView::MouseDown(BPoint where) {
    const BMessage* event = Window() ? Window()->CurrentMessage() : nullptr;
    int32 clicks = 1, mods = 0;
    if (event) {
        event->FindInt32("clicks", &clicks);
        event->FindInt32("modifiers", &mods);
    }
    MakeFocus();
    const int32 index = IndexOf(where);
    if (index < 0) {
        if (!(mods & (B_SHIFT_KEY | B_COMMAND_KEY))) DeselectAll();
        return;
    }
    const bool wasSelected = IsItemSelected(index);
    if (clicks >= 2 && wasSelected) {
        Invoke();
        return;
    }
    fPress = {where, index, wasSelected, uint32(mods)};
    fPressed = true;
    // A press on a selected item keeps a multiple selection whole, so that it can be dragged.
    if (!wasSelected || mods) SelectClicked(index, uint32(mods));
}

void BListView::SelectClicked(int32 index, uint32 modifiers) {
    if (fType == B_MULTIPLE_SELECTION_LIST && (modifiers & B_COMMAND_KEY)) {
        IsItemSelected(index) ? Deselect(index) : Select(index, true);
    } else if (fType == B_MULTIPLE_SELECTION_LIST && (modifiers & B_SHIFT_KEY) && ItemAt(fAnchor)) {
        Select(fAnchor, index, true);
    } else {
        Select(index);
    }
}

void BListView::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!fPressed) return;
    uint32 buttons = 0;
    GetMouse(nullptr, &buttons);
    if (!buttons) {
        fPressed = false;
        return;
    }
    const BPoint moved = where - fPress.where;
    if (std::hypot(moved.x, moved.y) < kDragSlop) return;
    fPressed = false;
    InitiateDrag(fPress.where, fPress.index, fPress.wasSelected);
}

void BListView::MouseUp(BPoint) {
    // A click (not a drag) on a selected item selects only it.
    if (fPressed && fPress.wasSelected && !fPress.modifiers) Select(fPress.index);
    fPressed = false;
}

void BListView::KeyDown(const char* bytes, int32 numBytes) {
    switch (bytes[0]) {
        case B_UP_ARROW:
            return MoveSelection(-1);
        case B_DOWN_ARROW:
            return MoveSelection(1);
        case B_ENTER:
            if (CurrentSelection() >= 0) Invoke();
            return;
        default:
            return BView::KeyDown(bytes, numBytes);
    }
}

void BListView::MoveSelection(int32 step) {
    if (IsEmpty()) return;
    const int32 current = IsItemSelected(fAnchor) ? fAnchor : CurrentSelection();
    const int32 next = current < 0 ? (step > 0 ? 0 : CountItems() - 1)
                                   : std::clamp(current + step, int32(0), CountItems() - 1);
    Select(next);
    ScrollToSelection();
}

void BListView::FrameResized(float, float) {
    ContentChanged();
}
