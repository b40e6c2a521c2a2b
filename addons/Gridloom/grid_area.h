// An area of the pattern window holding one of its grids, with a horizontal scroll bar along its
// bottom and a vertical one along its right edge.
#pragma once

#include "addons/Gridloom/track_status_view.h"
#include "platform/interface/view.h"

class BScrollBar;

namespace gridloom {
class XScrollBar;
}  // namespace gridloom

class GridArea : public BView {
  public:
    TrackStatusView* Grid() const { return fGrid; }
    gridloom::XScrollBar* HorizontalBar() const { return fXBar; }

  protected:
    // The window's thread. Built from the area's layout.
    explicit GridArea(BMessage* archive);

    // Where the vertical bar goes: along the right edge, above the horizontal one.
    BRect VerticalBarFrame() const;
    // The window's thread. Adds the grid of that mode, which reads vertical, and both bars.
    void AddGrid(TrackStatusView::Mode mode, BScrollBar* vertical);

  private:
    gridloom::XScrollBar* fXBar = nullptr;
    TrackStatusView* fGrid = nullptr;
};
