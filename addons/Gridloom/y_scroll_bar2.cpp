#include "addons/Gridloom/y_scroll_bar2.h"

#include "addons/Gridloom/note_container.h"
#include "addons/Gridloom/track_status_view.h"

namespace gridloom {

YScrollBar2::YScrollBar2(BRect frame, NoteContainer* area)
    : BScrollBar(frame, "YScrollBar2", nullptr, 0, 100, B_VERTICAL), fArea(area) {}

void YScrollBar2::ValueChanged(float value) {
    BScrollBar::ValueChanged(value);
    if (BView* keys = fArea->FindView("Keyboard"))
        keys->MoveTo(keys->Frame().left, -value * float(TrackStatusView::kNoteCellHeight));
    fArea->Redraw();
}

}  // namespace gridloom
