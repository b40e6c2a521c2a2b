// A frame around a target view with scroll bars along its right and bottom edges.
#pragma once

#include "platform/interface/view.h"

class BScrollBar;

// The thread that holds the window.
class BScrollView : public BView {
  public:
    // Takes the target out of its parent and frames itself around the target's frame, the
    // border and the bars. The target then follows all sides of the scroll view.
    BScrollView(const char* name, BView* target, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
                uint32 flags = 0, bool horizontal = false, bool vertical = false,
                border_style border = B_FANCY_BORDER);
    explicit BScrollView(BMessage* archive);

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_style"; the target and the bars are children.
    status_t Archive(BMessage* archive, bool deep = true) const override;

    BScrollBar* ScrollBar(orientation direction) const;
    BView* Target() const { return fTarget; }
    border_style Border() const { return fBorder; }

    void Draw(BRect updateRect) override;
    void AllAttached() override;
    void FrameResized(float width, float height) override;

  private:
    float BorderSize() const;
    void AddBar(orientation direction);
    void FitBars();

    BView* fTarget = nullptr;
    border_style fBorder;
};
