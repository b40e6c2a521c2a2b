// The oscilloscope: the left channel of the sound now playing, one point per 40 frames.
#pragma once

#include <array>

#include "app/pos_event_view.h"

class ScopeView : public PosEventView {
  public:
    // The window's thread. frame: the bounds of "scopeview".
    explicit ScopeView(BRect frame);
    ~ScopeView() override;

    // The window's thread.
    void Draw(BRect updateRect) override;

  protected:
    void UpdateLocked(float from, float to, float** buffers, long count) override;

  private:
    static constexpr int32 kColumns = 56;
    static constexpr long kFramesPerColumn = 40;

    // The row a sample is drawn at: full scale spans 26 rows around the middle one, 16;
    // beyond the view it is held at the edge, and a sample that is not a number is drawn as
    // silence.
    static int32 RowOf(float sample);

    // Window lock. The rows of the last trace, column by column.
    std::array<int32, kColumns> fRows{};
    int32 fColumns = 0;
};
