#include "addons/Gridloom/modifier_view.h"

#include <algorithm>
#include <cmath>

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/tracker_globals.h"
#include "engine/instrument.h"

namespace {

constexpr rgb_color kBackground = {71, 80, 86, 255};
constexpr rgb_color kLine = {152, 152, 152, 255};
constexpr float kLineEnd = 5000;

Track* ShownTrack() {
    if (currpat == nullptr || currtrack < 0 || currtrack >= currpat->num_tracks) return nullptr;
    return currpat->tracks[currtrack];
}

}  // namespace

ModifierView::ModifierView(BRect frame) : BView(frame, "View", B_FOLLOW_ALL, B_WILL_DRAW) {
    SetViewColor(kBackground);
}

ModifierInfoList* ModifierView::ShownList() {
    Track* track = ShownTrack();
    Instrument* instrument = track != nullptr ? track->Target() : nullptr;
    return instrument != nullptr ? instrument->GetModifierInfoList() : nullptr;
}

bool ModifierView::Current(Shown* shown) {
    ModifierInfoList* list = ShownList();
    if (list == nullptr || list->count <= 0 || list->info == nullptr) return false;
    if (currpage < 0 || currpage >= Track::kMaxPages) return false;
    // A stale selection from another instrument shows that instrument's first modifier.
    const int32 index = currmodifiernr >= 0 && currmodifiernr < list->count ? currmodifiernr : 0;
    const ModifierInfo& info = list->info[index];
    // An upside-down or undefined range has no bars to draw nor values to hold.
    if (!(info.max >= info.min)) return false;
    *shown = {&ShownTrack()->pages[currpage], index, info.min, info.max};
    return true;
}

float ModifierView::BarHeight() const {
    return Bounds().Height() - 2 * kMargin;
}

// A range of no height has no zero to place: its bars lie flat on the minimum's line.
float ModifierView::ZeroLine(const Shown& shown) const {
    const float h = BarHeight();
    const float range = shown.max - shown.min;
    return range > 0 ? h - h * (-shown.min / range) : h;
}

float ModifierView::ColumnLeft(int column) const {
    return (float(column) - xofs) * kColumnWidth;
}

void ModifierView::Draw(BRect) {
    Shown shown;
    if (!Current(&shown)) return;
    const float h = BarHeight();
    const float y0 = ZeroLine(shown);
    SetHighColor(kLine);
    for (float y : {kMargin, h + kMargin, y0 + kMargin})
        StrokeLine(BPoint(0, y), BPoint(kLineEnd, y));
    const int32 columns =
        std::min(currpat->step_per_measure * currpat->num_measures, int32(TrackPage::kRows));
    for (int32 column = 0; column < columns; column++) DrawBar(shown, column);
}

void ModifierView::DrawBar(const Shown& shown, int column) {
    const TrackPage& page = *shown.page;
    if (page.StatusAt(column) == 0 || page.modifiers == nullptr) return;
    const float range = shown.max - shown.min;
    const float y0 = ZeroLine(shown);
    const float value = page.modifiers->GetVal(shown.index, column);
    const float y = range > 0 ? y0 - value / range * BarHeight() : y0;
    const float x = ColumnLeft(column);
    SetHighColor(currpat->color);
    FillRect(BRect(x + 3, std::min(y0, y) + kMargin, x + 12, std::max(y0, y) + kMargin));
}

void ModifierView::Redraw(int column) {
    const float x = ColumnLeft(column);
    Invalidate(BRect(x, 0, x + kColumnWidth - 1, Bounds().bottom));
}

void ModifierView::RedrawSpecific(int) {
    Invalidate();
}

void ModifierView::Set(int column, float height) {
    Shown shown;
    const float h = BarHeight();
    if (!Current(&shown) || h <= 0) return;
    TrackPage& page = *shown.page;
    // Values go only where the page will be saved; an untouched page stays empty.
    if (!page.IsInitialized() || page.modifiers == nullptr) return;
    const int32 row = int32(std::floor(float(column) + xofs));
    if (row < 0 || row >= TrackPage::kRows) return;
    const float value = shown.min + height / h * (shown.max - shown.min);
    page.modifiers->SetVal(shown.index, row, std::clamp(value, shown.min, shown.max));
    Redraw(row);
}

void ModifierView::MouseDown(BPoint where) {
    fDragging = true;
    MouseMoved(where, B_INSIDE_VIEW, nullptr);
}

void ModifierView::MouseMoved(BPoint where, uint32, const BMessage*) {
    uint32 buttons = 0;
    GetMouse(nullptr, &buttons);
    if (!(buttons & B_PRIMARY_MOUSE_BUTTON)) fDragging = false;
    if (!fDragging) return;
    Set(int(std::floor(where.x / kColumnWidth)), BarHeight() - where.y + kMargin);
}

void ModifierView::MouseUp(BPoint) {
    fDragging = false;
}
