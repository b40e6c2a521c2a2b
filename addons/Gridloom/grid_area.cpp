#include "addons/Gridloom/grid_area.h"

#include "addons/Gridloom/bar_split_pane.h"
#include "addons/Gridloom/x_scroll_bar.h"
#include "platform/interface/scroll_bar.h"

GridArea::GridArea(BMessage* archive) : BView(archive) {}

BRect GridArea::VerticalBarFrame() const {
    const BRect bounds = Bounds();
    return BRect(bounds.Width() - 14, 0, bounds.Width(), bounds.Height() - 15);
}

void GridArea::AddGrid(TrackStatusView::Mode mode, BScrollBar* vertical) {
    const float w = Bounds().Width();
    const float h = Bounds().Height();
    fXBar = new gridloom::XScrollBar(BRect(0, h - 14, w - 13, h));
    fXBar->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
    vertical->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM);
    fGrid = new TrackStatusView(BRect(BarSplitPane::kGridLeft, 0, w - 15, h - 15), mode, vertical);
    fGrid->SetResizingMode(B_FOLLOW_ALL);
    AddChild(fGrid);
    AddChild(fXBar);
    AddChild(vertical);
}
