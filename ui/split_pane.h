// Two views on either side of a bar the user drags.
//
// B_VERTICAL alignment: the bar stands upright, view one on the left, view two on the right;
// B_HORIZONTAL: the bar lies flat, view one above, view two below. The bar position is the
// bar's first pixel along the pane; both views keep their minimum sizes and stay inside.
//
// Detaching: a double-click on the bar collapses a detachable view (view two first, else
// view one): it is hidden and the bar moves to that edge, the other view taking the room.
// Another double-click brings it back at the position remembered. A collapsed pane ignores
// drags. Detaching is refused when the pane is not editable or its bar is locked.
#pragma once

#include "platform/interface/view.h"

// State message: every key below; see GetState.
constexpr uint32 kSplitPaneState = 0x73707374;  // 'spst'

class SplitPane : public BView {
  public:
    // The pane owns the views (it may get them null and have them added later).
    SplitPane(BRect frame, BView* one, BView* two, uint32 resizingMode);

    // Keys: "onedetachable", "twodetachable", "poslock", "alignlock" (bool); "align", "pos",
    // "thick", "jump", "pad", "minsizeone", "minsizetwo" (int32). Caller owns it.
    BMessage* GetState() const;
    // A missing bool becomes false, a missing int32 keeps its value.
    void SetState(BMessage* state);
    void MessageReceived(BMessage* message) override;

    bool IsBarAlignmentLocked() const { return fAlignLock; }
    void SetBarAlignmentLocked(bool locked) { fAlignLock = locked; }
    bool IsBarLocked() const { return fPosLock; }
    void SetBarLocked(bool locked) { fPosLock = locked; }
    int32 GetMinSizeOne() const { return fMinOne; }
    void SetMinSizeOne(int32 size);
    int32 GetMinSizeTwo() const { return fMinTwo; }
    void SetMinSizeTwo(int32 size);
    int32 GetViewInsetBy() const { return fPad; }
    void SetViewInsetBy(int32 pad);
    bool IsEditable() const { return fEditable; }
    void SetEditable(bool editable) { fEditable = editable; }
    bool IsViewOneDetachable() const { return fOneDetachable; }
    void SetViewOneDetachable(bool detachable);
    bool IsViewTwoDetachable() const { return fTwoDetachable; }
    void SetViewTwoDetachable(bool detachable);
    bool HasViewOne() const { return fOne != nullptr; }
    bool HasViewTwo() const { return fTwo != nullptr; }
    BView* ViewOne() const { return fOne; }
    BView* ViewTwo() const { return fTwo; }
    int32 GetJump() const { return fJump; }
    void SetJump(int32 jump);
    int32 GetBarThickness() const { return fThick; }
    void SetBarThickness(int32 thickness);
    int32 GetBarPosition() const { return fPos; }
    // Held inside the limits the minimum sizes set.
    void SetBarPosition(int32 position);
    int32 GetAlignment() const { return fAlign; }
    // Refused while the alignment is locked.
    void SetAlignment(int32 alignment);
    // Replace the side's view; the old one is deleted.
    void AddChildOne(BView* view);
    void AddChildTwo(BView* view);
    // 0 when both show, 1 or 2 for the side collapsed.
    int32 Collapsed() const { return fCollapsed; }
    // The bar in the pane's coordinates.
    BRect BarFrame() const;

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    void FrameResized(float width, float height) override;

  private:
    int32 Extent() const;
    float Along(BPoint point) const { return fAlign == B_VERTICAL ? point.x : point.y; }
    int32 Clamp(int32 position) const;
    int32 Snap(int32 position) const;
    void ToggleCollapse();
    void Layout();
    void Replace(BView** side, BView* view);

    BView* fOne = nullptr;
    BView* fTwo = nullptr;
    bool fOneDetachable = false;
    bool fTwoDetachable = false;
    int32 fAlign = B_VERTICAL;
    int32 fPos;
    int32 fThick = 6;
    int32 fJump = 1;
    int32 fPad = 0;
    int32 fMinOne = 0;
    int32 fMinTwo = 0;
    bool fPosLock = false;
    bool fAlignLock = false;
    bool fEditable = true;
    int32 fCollapsed = 0;
    int32 fSavedPos = 0;
    BView* fHiddenView = nullptr;
    bool fDragging = false;
    float fGrab = 0;
};
