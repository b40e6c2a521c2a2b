// A label and a button that opens a menu; the button shows the marked item's label when the
// menu takes its label from the mark.
#pragma once

#include <string>

#include "platform/interface/view.h"

class BMenu;
class BMenuItem;

class BMenuField : public BView {
  public:
    // Takes the menu. Without a label the divider is 0.
    BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
               uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
               uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    explicit BMenuField(BMessage* archive);
    ~BMenuField() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Fields: those of a view, "_label", "_divider", "_disabled" and the menu in "_menu".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    BMenu* Menu() const { return fMenu; }
    // The item the button shows; its label is the marked item's.
    BMenuItem* MenuItem() const { return fItem; }
    void SetLabel(const char* label);
    const char* Label() const { return fLabel.c_str(); }
    void SetDivider(float divider);
    float Divider() const { return fDivider; }
    void SetEnabled(bool enabled);
    bool IsEnabled() const { return fEnabled; }

    QWidget* CreateWidget(QWidget* parent) override;
    void SyncWidget() override;

  private:
    void Adopt(BMenu* menu);
    void OpenMenu();

    BMenu* fMenu = nullptr;
    BMenuItem* fItem = nullptr;  // owns the menu
    std::string fLabel;
    float fDivider = 0;
    bool fEnabled = true;
};
