// The row of menus at the top of a window; shown as a Qt menu bar. The first bar added to a
// window becomes its key menu bar, whose shortcuts the window's keys reach.
#pragma once

#include "platform/interface/menu.h"

class BMenuBar : public BMenu {
  public:
    // resizeToFit: the bar takes the width of its parent when it is attached.
    BMenuBar(BRect frame, const char* name,
             uint32 resizingMode = B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
             menu_layout layout = B_ITEMS_IN_ROW, bool resizeToFit = true);
    // Without "_frame" the bar is 20 pixels high and fits its parent; without "_resize_mode"
    // it follows the left, right and top edges.
    explicit BMenuBar(BMessage* archive);
    ~BMenuBar() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Fields: those of a menu and "_resize_to_fit".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    void AttachedToWindow() override;
    void DetachedFromWindow() override;
    void Draw(BRect updateRect) override;

    QWidget* CreateWidget(QWidget* parent) override;
    void SyncWidget() override;

  private:
    bool fResizeToFit;
};
