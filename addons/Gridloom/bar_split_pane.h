// The split pane between the track area and the note area, whose bar carries the measure
// ruler of the grids.
#pragma once

#include "ui/split_pane.h"

class BarSplitPane : public SplitPane {
  public:
    // Where the grids' column 0 starts, right of the areas' button columns.
    static constexpr float kGridLeft = 85;
    static constexpr float kColumnWidth = 16;

    // The window's thread. The pane owns the views.
    BarSplitPane(BRect frame, BView* one, BView* two, uint32 resizingMode);

    // The window's thread, with the window locked.
    void Draw(BRect update) override;

  private:
    void DrawMeasure(float x, int32 measure, float top);
};
