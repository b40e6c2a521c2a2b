#include "addons/Gridloom/tracker_view.h"

#include <algorithm>
#include <cstdio>

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/tracker_box.h"
#include "addons/Gridloom/tracker_globals.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/pop_up_menu.h"

namespace {

constexpr rgb_color kEmpty = {71, 80, 86, 255};
constexpr rgb_color kLightText = {200, 200, 200, 255};
constexpr rgb_color kBlack = {0, 0, 0, 255};
constexpr float kBaseline = 11;
constexpr float kLaneHeight = 16;

BPopUpMenu* BuildPageMenu() {
    auto* menu = new BPopUpMenu("PageMenu");
    menu->SetFont(be_plain_font);
    menu->AddItem(new BMenuItem("Erase", new BMessage(1)));
    menu->AddItem(new BMenuItem("Sustain", new BMessage(PatternTracker::kSustain + 1)));
    for (int32 page = 1; page <= Track::kMaxPages; page++) {
        char label[16];
        std::snprintf(label, sizeof label, "Page %d", int(page));
        menu->AddItem(new BMenuItem(label, new BMessage(uint32(page + 1))));
    }
    return menu;
}

}  // namespace

TrackerView::TrackerView(PatternTracker* tracker)
    : BView(BRect(0, 0, 10, 10), "PatternView", B_FOLLOW_NONE, B_WILL_DRAW),
      fTracker(tracker),
      fSlotWidth(tracker->num_measures * 4) {
    SetViewColor(kBlack);
    SetLowColor(kBlack);
    PageMenu();
}

BPopUpMenu* TrackerView::PageMenu() {
    static BPopUpMenu* const menu = BuildPageMenu();
    return menu;
}

int32 TrackerView::SlotWidth() {
    fSlotWidth = std::max(int32(fTracker->num_measures) * 4, int32(1));
    return fSlotWidth;
}

BRect TrackerView::CellFrame(int32 slot) const {
    const float left = float(slot * fSlotWidth);
    return BRect(left + 1, 1, left + float(fSlotWidth) - 2, 14);
}

void TrackerView::Set(int slot, int value) {
    if (slot < 0 || slot >= PatternTracker::kSlots) return;
    fTracker->status[slot] = value;
    const float left = float(slot * SlotWidth());
    Invalidate(BRect(left, 0, left + float(fSlotWidth) - 1, kLaneHeight - 1));
}

void TrackerView::Draw(BRect update) {
    const int32 w = SlotWidth();
    const int32 first = std::max(int32(update.left) / w - 1, int32(0));
    const int32 last = std::min(int32(update.right) / w + 1, kDrawnSlots);
    for (int32 slot = first; slot < last; slot++) DrawSlot(slot);
}

void TrackerView::DrawSlot(int32 slot) {
    const int32 value = fTracker->SlotValue(slot);
    if (value == PatternTracker::kErase) {
        SetHighColor(kEmpty);
        FillRect(CellFrame(slot));
        return;
    }
    DrawTrackerBox(this, CellFrame(slot), fTracker->color);
    if (value != PatternTracker::kSustain) DrawNumber(slot, value);
}

void TrackerView::DrawNumber(int32 slot, int32 value) {
    const rgb_color base = fTracker->color;
    const bool dark = base.red + base.green + base.blue < 385;
    char text[8];
    std::snprintf(text, sizeof text, "%d", int(value));
    SetLowColor(base);
    SetHighColor(dark ? kLightText : kBlack);
    const float centre = float(slot * fSlotWidth) + float(fSlotWidth / 2);
    DrawString(text, BPoint(centre - StringWidth(text) / 2, kBaseline));
    SetLowColor(kBlack);
}

void TrackerView::MouseDown(BPoint where) {
    GetMouse(nullptr, &fButtons);
    if (fButtons & B_PRIMARY_MOUSE_BUTTON) {
        Paint(where);
    } else if (fButtons & B_SECONDARY_MOUSE_BUTTON) {
        fButtons = 0;
        ChooseValue(where);
    }
}

void TrackerView::ChooseValue(BPoint where) {
    BMenuItem* chosen = PageMenu()->Go(ConvertToScreen(where));
    if (chosen != nullptr) setval = int32(chosen->Command()) - 1;
}

void TrackerView::MouseMoved(BPoint where, uint32 transit, const BMessage*) {
    if (transit == B_EXITED_VIEW || transit == B_OUTSIDE_VIEW) fButtons = 0;
    if (fButtons & B_PRIMARY_MOUSE_BUTTON) Paint(where);
}

void TrackerView::MouseUp(BPoint) {
    fButtons = 0;
}

void TrackerView::Paint(BPoint where) {
    if (where.x < 0) return;
    Set(int32(where.x) / SlotWidth(), setval);
}
