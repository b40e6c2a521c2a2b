// The playlist grid: one lane per machine with a lane view, stacked in machine order, each
// with a name button and a mute button on the left. The lanes are the machines' own views;
// the grid only places, stacks and scrolls them and reports button clicks to its window.
#pragma once

#include "platform/interface/view.h"
#include "ui/radio_list.h"

class BPopUpMenu;
class XScrollBar;
class YScrollBar1;

class PatternContainer : public BView {
  public:
    // Width of the column of name and mute buttons, and the scroll unit of the lanes.
    static constexpr float kLaneWidth = 5000;

    // Built from the stored view layout; the children are added here.
    explicit PatternContainer(BMessage* archive);
    ~PatternContainer() override;

    // The window's thread, window locked. Rebuilds the lanes from the song, pressing the name
    // button of machine `selected`, and keeps the scroll positions.
    void Update(int32 selected);
    void FrameResized(float width, float height) override;
    // The window's thread: puts lanes, buttons and the ruler where the scroll bars say.
    void ScrollLanes();

    int32 TotalHeight() const { return fTotalHeight; }
    XScrollBar* HorizontalBar() const { return fXBar; }
    YScrollBar1* VerticalBar() const { return fYBar; }
    BPopUpMenu* PopUpMenu() const { return fPopUp; }
    // The lane buttons, top to bottom: a name button then a mute button per lane.
    BView* ButtonColumn() const;
    BView* LaneColumn() const;

  private:
    void DropLanes();
    void AddLane(int32 machine, float y, bool pressed);
    void FitVerticalBar();

    BPopUpMenu* fPopUp;
    BView* fLaneArea;
    RadioList fNameButtons;
    XScrollBar* fXBar;
    YScrollBar1* fYBar;
    int32 fTotalHeight = 0;
};
