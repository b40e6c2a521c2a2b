#include "addons/Gridloom/note_container.h"

#include "addons/Gridloom/bar_split_pane.h"
#include "addons/Gridloom/keyboard.h"
#include "addons/Gridloom/track_status_view.h"
#include "addons/Gridloom/x_scroll_bar.h"
#include "addons/Gridloom/y_scroll_bar2.h"

NoteContainer::NoteContainer(BMessage* archive) : BView(archive) {
    const float w = Bounds().Width();
    const float h = Bounds().Height();
    fXBar = new gridloom::XScrollBar(BRect(0, h - 14, w - 13, h));
    fXBar->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
    fYBar = new gridloom::YScrollBar2(BRect(w - 14, 0, w, h - 15), this);
    fYBar->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM);
    fGrid = new TrackStatusView(BRect(BarSplitPane::kGridLeft, 0, w - 15, h - 15),
                                TrackStatusView::kNoteGrid, fYBar);
    fGrid->SetResizingMode(B_FOLLOW_ALL);
    BView* bar = FindView("barview");
    const float right = bar->Bounds().right;
    fKeys = new Keyboard(BRect(right - Keyboard::kWidth + 1, 0, right, kKeyboardHeight - 1));
    bar->AddChild(fKeys);
    AddChild(fGrid);
    AddChild(fXBar);
    AddChild(fYBar);
    fYBar->SetValue(gridloom::YScrollBar2::kStart);
}

void NoteContainer::Update() {
    fKeys->UpdateBitmap(0);
    Redraw();
}

void NoteContainer::Redraw() {
    fGrid->Invalidate();
    fKeys->Invalidate();
}
