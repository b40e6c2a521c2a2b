// The ruler above the playlist grid: a cell of four measures, numbered every sixteen, the play
// mark, and the loop range, which the mouse sets.
#pragma once

#include <memory>
#include <optional>

#include "app/pos_event_view.h"

class BBitmap;

class PosBarView : public PosEventView {
  public:
    // The window's thread. frame: (0,0)-(5000, height of "posbar").
    explicit PosBarView(BRect frame);
    ~PosBarView() override;

    // The window's thread.
    void Draw(BRect updateRect) override;
    // The window's thread. Primary button: the loop starts at the measure nearest the click;
    // secondary: it stops there; both: both.
    void MouseDown(BPoint where) override;

  protected:
    void UpdateLocked(float from, float to, float** buffers, long count) override;

  private:
    // The mark's left edge for a position in measures; off the view for one that is not a
    // number.
    int32 MarkLeft(float position) const;
    // The measure nearest a point of the view.
    static int32 MeasureAt(BPoint where);
    void DrawRuler(BRect updateRect);
    void DrawLoop();
    BRect MarkRect(int32 left) const;

    std::unique_ptr<BBitmap> fBar;
    int32 fBarWidth = 16;
    int32 fBarHeight = 12;
    std::unique_ptr<BBitmap> fMark;
    int32 fMarkWidth = 10;
    int32 fMarkHeight = 5;
    // Window lock. Where the mark is; none before the first position.
    std::optional<int32> fMarkLeft;
};
