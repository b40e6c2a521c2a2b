#include "addons/Gridloom/note_container.h"

#include "addons/Gridloom/keyboard.h"
#include "addons/Gridloom/y_scroll_bar2.h"

NoteContainer::NoteContainer(BMessage* archive) : GridArea(archive) {
    fYBar = new gridloom::YScrollBar2(VerticalBarFrame(), this);
    BView* bar = FindView("barview");
    const float right = bar->Bounds().right;
    fKeys = new Keyboard(BRect(right - Keyboard::kWidth + 1, 0, right, kKeyboardHeight - 1));
    bar->AddChild(fKeys);
    AddGrid(TrackStatusView::kNoteGrid, fYBar);
    fYBar->SetValue(gridloom::YScrollBar2::kStart);
}

void NoteContainer::Update() {
    fKeys->UpdateBitmap(0);
    Redraw();
}

void NoteContainer::Redraw() {
    Grid()->Invalidate();
    fKeys->Invalidate();
}
