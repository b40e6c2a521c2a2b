// The pattern window's bottom area: the modifier menus at the left and the bars of the chosen
// modifier of the current track's instrument, with a horizontal scroll bar along the bottom.
#pragma once

#include "platform/interface/view.h"

class BMenu;
class BResources;
class ModifierView;

class ModifierContainer : public BView {
  public:
    static constexpr uint32 kFirstModifier = 'modi';

    // The window's thread. Built from the layout "ModifierContainer" of the add-on's resources.
    explicit ModifierContainer(BResources* resources);
    ~ModifierContainer() override;

    // The window's thread, with the window locked. Rebuilds the modifier menu for the current
    // track and redraws.
    void Update();
    void Redraw();
    // One column's bar.
    void RedrawSpecific(int column);
    void MessageReceived(BMessage* message) override;

    // The modifier menu, null when the layout was missing.
    BMenu* Menu() const { return fMenu; }
    ModifierView* Bars() const { return fView; }

  private:
    explicit ModifierContainer(BMessage* layout);
    void FillMenu();

    BMenu* fMenu = nullptr;
    ModifierView* fView = nullptr;
};
