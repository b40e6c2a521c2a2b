#include "addons/Gridloom/track_container.h"

#include "addons/Gridloom/bar_split_pane.h"
#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Gridloom/track_status_view.h"
#include "addons/Gridloom/tracker_globals.h"
#include "addons/Gridloom/x_scroll_bar.h"
#include "addons/Gridloom/y_scroll_bar1.h"
#include "engine/instrument.h"
#include "ui/bitmap_string_button.h"

namespace {

constexpr rgb_color kButtonColumn = {216, 216, 216, 255};

}  // namespace

TrackContainer::TrackContainer(BMessage* archive) : BView(archive) {
    const float w = Bounds().Width();
    const float h = Bounds().Height();
    fXBar = new gridloom::XScrollBar(BRect(0, h - 14, w - 13, h));
    fXBar->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
    fYBar = new gridloom::YScrollBar1(BRect(w - 14, 0, w, h - 15), this);
    fYBar->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM);
    fGrid = new TrackStatusView(BRect(BarSplitPane::kGridLeft, 0, w - 15, h - 15),
                                TrackStatusView::kTrackGrid, fYBar);
    fGrid->SetResizingMode(B_FOLLOW_ALL);
    AddChild(fGrid);
    AddChild(fXBar);
    AddChild(fYBar);
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
    fGrid->Invalidate();
}
