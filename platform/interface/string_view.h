// A line of text drawn in the high colour on the view colour, aligned in the view's width.
#pragma once

#include <string>

#include "platform/interface/view.h"

class BStringView : public BView {
  public:
    BStringView(BRect frame, const char* name, const char* text,
                uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW);
    explicit BStringView(BMessage* archive);

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_text" and "_align".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    void SetText(const char* text);
    const char* Text() const { return fText.c_str(); }
    void SetAlignment(alignment flag);
    alignment Alignment() const { return fAlign; }

    void Draw(BRect updateRect) override;
    void GetPreferredSize(float* width, float* height) override;

  private:
    std::string fText;
    alignment fAlign = B_ALIGN_LEFT;
};
