// A list item that shows a line of text.
#pragma once

#include <string>

#include "platform/interface/list_item.h"

// The thread that holds the owner's window.
class BStringItem : public BListItem {
  public:
    explicit BStringItem(const char* text, uint32 outlineLevel = 0, bool expanded = true);
    explicit BStringItem(BMessage* archive);

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_label".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    virtual void SetText(const char* text) { fText = text ? text : ""; }
    const char* Text() const { return fText.c_str(); }

    // The text on the highlight colour when selected, greyed when disabled.
    void DrawItem(BView* owner, BRect frame, bool complete = false) override;
    void Update(BView* owner, const BFont* font) override;

  private:
    std::string fText;
    float fBaseline = 0;
};
