// One row of a list view. Items know their own height and selection; the list places them.
#pragma once

#include "platform/interface/archivable.h"
#include "platform/interface/interface_defs.h"

class BFont;
class BView;

// The thread that holds the owner's window.
class BListItem : public BArchivable {
  public:
    explicit BListItem(uint32 outlineLevel = 0, bool expanded = true);
    explicit BListItem(BMessage* archive);

    // Adds "_lvl", "_expanded", "_sel" and "_disabled" where they differ from the defaults.
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Height is in the Height() style of a rectangle: rows minus one.
    float Height() const { return fHeight; }
    float Width() const { return fWidth; }
    void SetHeight(float height) { fHeight = height; }
    void SetWidth(float width) { fWidth = width; }
    bool IsSelected() const { return fSelected; }
    void Select() { fSelected = true; }
    void Deselect() { fSelected = false; }
    virtual void SetEnabled(bool enabled) { fEnabled = enabled; }
    bool IsEnabled() const { return fEnabled; }
    void SetExpanded(bool expanded) { fExpanded = expanded; }
    bool IsExpanded() const { return fExpanded; }
    uint32 OutlineLevel() const { return fLevel; }

    // Draws into the owner; complete asks for the background too, not only what changed.
    virtual void DrawItem(BView* owner, BRect frame, bool complete = false) = 0;
    // Takes the owner's width and a height that fits a line of the font.
    virtual void Update(BView* owner, const BFont* font);

  private:
    float fWidth = 0;
    float fHeight = 0;
    uint32 fLevel;
    bool fExpanded;
    bool fSelected = false;
    bool fEnabled = true;
};
