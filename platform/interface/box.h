// A frame around a group of views, with an optional label over its top edge.
#pragma once

#include <string>

#include "platform/interface/view.h"

class BBox : public BView {
  public:
    BBox(BRect frame, const char* name = nullptr,
         uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
         uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
         border_style border = B_FANCY_BORDER);
    explicit BBox(BMessage* archive);

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_label" (when there is one) and "_style".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    void SetLabel(const char* label);
    const char* Label() const { return fLabel.empty() ? nullptr : fLabel.c_str(); }
    void SetBorder(border_style border);
    border_style Border() const { return fBorder; }

    void Draw(BRect updateRect) override;
    void FrameResized(float width, float height) override;

  private:
    // The row of the top edge: through the middle of the label when there is one.
    float TopEdge() const;
    void DrawLabel();

    std::string fLabel;
    border_style fBorder = B_FANCY_BORDER;
};
