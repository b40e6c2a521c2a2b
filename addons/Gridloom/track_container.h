// The pattern window's track area: a column of select and mute buttons, one pair per track,
// beside the track grid, with its scroll bars.
#pragma once

#include "addons/Gridloom/grid_area.h"
#include "ui/radio_list.h"

class BPopUpMenu;

namespace gridloom {
class YScrollBar1;
}  // namespace gridloom

class TrackContainer : public GridArea {
  public:
    static constexpr const char* kButtonsName = "scrollview";
    // One track row, in the buttons' column as in the grid.
    static constexpr float kRowHeight = 16;
    static constexpr uint32 kSelect = 'TBTN';
    static constexpr uint32 kMute = 'MBTN';

    // The window's thread. Built from the layout "TrackContainer".
    explicit TrackContainer(BMessage* archive);
    ~TrackContainer() override;

    // The window's thread, with the window locked. Rebuilds the buttons for currpat's tracks,
    // pressing currtrack's; menu is the select buttons' pop-up.
    void Update(BPopUpMenu* menu);
    void Redraw();

    gridloom::YScrollBar1* VerticalBar() const { return fYBar; }

  private:
    void DropButtons();
    void AddButtons(BView* column, int32 track, float y, BPopUpMenu* menu);

    RadioList fSelectButtons;
    gridloom::YScrollBar1* fYBar;
};
