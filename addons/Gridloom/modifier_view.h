// The bars of one modifier of the current track's current page: a bar per row that starts a
// note, drawn and edited with the mouse between the modifier's minimum and maximum.
#pragma once

#include "platform/interface/view.h"

class TrackPage;
struct ModifierInfoList;

class ModifierView : public BView {
  public:
    static constexpr float kColumnWidth = 16;
    // The maximum's line lies this far below the top, and the minimum's as far above the
    // bottom.
    static constexpr float kMargin = 5;

    explicit ModifierView(BRect frame);

    // The window's thread, with the window locked.
    void Redraw(int column);
    void RedrawSpecific(int column);
    // Writes the value at height pixels above the bars' bottom into column (before scrolling).
    void Set(int column, float height);

    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;

    // The window's thread. The modifiers of the current track's instrument, or null when there
    // is no machine, no track or no instrument in the track's slot.
    static ModifierInfoList* ShownList();
    // The bars' height H: the view's height less the margins.
    float BarHeight() const;

  private:
    // What the bars show now: the page, the modifier within its list and its range.
    struct Shown {
        TrackPage* page;
        int32 index;
        float min;
        float max;
    };

    // False when there is nothing to show or edit.
    static bool Current(Shown* shown);
    float ZeroLine(const Shown& shown) const;
    float ColumnLeft(int column) const;
    void DrawBar(const Shown& shown, int column);

    bool fDragging = false;
};
