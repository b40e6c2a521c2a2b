// The strip a controller machine shows in its playlist row: one playlist position every four
// pixels under a scale of ticks, with the controller's marks drawn over it.
#pragma once

#include "platform/interface/view.h"

class ControllerStrip : public BView {
  public:
    static constexpr int32 kPositionWidth = 4;

    explicit ControllerStrip(uint32 flags);

  protected:
    // A long tick every fourth position, short ones between.
    void DrawTicks(BRect update);
    // The view's height in whole pixels.
    int32 Height() const;
    // The playlist position nearest a point.
    static int32 PositionAt(BPoint where);
    // Where position pos starts; in floats, since song records may hold any position.
    static float XOf(int32 pos) { return float(pos) * kPositionWidth; }
    // A black line two pixels wide, at x and x + 1, from the top to the bottom.
    void DrawBar(float x);
    // A number in black, starting at x.
    void DrawNumber(int32 value, float x);
    // The buttons down in the mouse event being handled.
    uint32 Buttons();
};
