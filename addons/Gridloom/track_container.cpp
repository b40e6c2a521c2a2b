#include "addons/Gridloom/track_container.h"

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/track_status_view.h"
#include "addons/Gridloom/tracker_globals.h"
#include "addons/Gridloom/y_scroll_bar1.h"
#include "engine/instrument.h"
#include "ui/bitmap_string_button.h"

namespace {

constexpr rgb_color kButtonColumn = {216, 216, 216, 255};

}  // namespace

TrackContainer::TrackContainer(BMessage* archive) : GridArea(archive) {
    fYBar = new gridloom::YScrollBar1(VerticalBarFrame(), this);
    AddGrid(TrackStatusView::kTrackGrid, fYBar);
}

TrackContainer::~TrackContainer() {
    // The buttons leave their radio list, which must still be there.
    DropButtons();
}

void TrackContainer::DropButtons() {
    BView* column = FindView(kButtonsName);
    if (column == nullptr) return;
    column->RemoveSelf();
    delete column;
}

void TrackContainer::Update(BPopUpMenu* menu) {
    DropButtons();
    BView* bar = FindView("barview");
    auto* column =
        new BView(BRect(0, 0, bar->Bounds().Width(), 0), kButtonsName, B_FOLLOW_NONE, B_WILL_DRAW);
    column->SetViewColor(kButtonColumn);
    bar->AddChild(column);
    const int32 count = currpat != nullptr ? currpat->num_tracks : 0;
    for (int32 i = 0; i < count; i++) AddButtons(column, i, float(i) * kRowHeight, menu);
    column->MoveTo(0, -fYBar->Value() * kRowHeight);
    Redraw();
}

void TrackContainer::AddButtons(BView* column, int32 track, float y, BPopUpMenu* menu) {
    auto* select = new BMessage(kSelect);
    select->AddInt32("tracknr", track);
    auto* name = new BitmapStringButton(BPoint(0, y), BitmapStringButton::kPattern, select,
                                        &fSelectButtons, menu);
    if (Instrument* instrument = currpat->tracks[track]->Target())
        name->SetText(instrument->GetName());
    if (track == currtrack) {
        name->SetValue(1);
        fSelectButtons.SetPressed(fSelectButtons.IndexOf(name));
    }
    column->AddChild(name);
    column->ResizeBy(0, kRowHeight);
    auto* toggle = new BMessage(kMute);
    toggle->AddInt32("tracknr", track);
    auto* mute =
        new BitmapStringButton(BPoint(name->Frame().Width(), y), BitmapStringButton::kMute, toggle);
    toggle->AddPointer("buttonobject", mute);
    mute->SetValue(currpat->tracks[track]->mute != 0 ? 1 : 0);
    column->AddChild(mute);
}

void TrackContainer::Redraw() {
    Grid()->Invalidate();
}
