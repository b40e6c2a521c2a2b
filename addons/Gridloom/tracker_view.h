// A pattern tracker's lane in the playlist: one cell per slot, painted with the mouse.
#pragma once

#include "platform/interface/view.h"

class BPopUpMenu;
class PatternTracker;

// Window thread of the playlist, with its window locked.
class TrackerView : public BView {
  public:
    static constexpr int32 kDrawnSlots = 255;

    explicit TrackerView(PatternTracker* tracker);

    // Slots past the table are ignored.
    void Set(int slot, int value);
    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;

    // The menu of slot values shared by every lane: "Erase", "Sustain" and the pages.
    static BPopUpMenu* PageMenu();

  private:
    void DrawSlot(int32 slot);
    void DrawNumber(int32 slot, int32 value);
    void Paint(BPoint where);
    void ChooseValue(BPoint where);
    BRect CellFrame(int32 slot) const;
    int32 SlotWidth();

    PatternTracker* fTracker;
    int32 fSlotWidth;
    uint32 fButtons = 0;
};
