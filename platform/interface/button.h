// A push button: a QPushButton that sends its message when clicked.
#pragma once

#include "platform/interface/control.h"

class BButton : public BControl {
  public:
    BButton(BRect frame, const char* name, const char* label, BMessage* message,
            uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
            uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    explicit BButton(BMessage* archive);

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_default" when it is the default button.
    status_t Archive(BMessage* archive, bool deep = true) const override;

    virtual void MakeDefault(bool isDefault);
    bool IsDefault() const { return fDefault; }

    QWidget* CreateWidget(QWidget* parent) override;
    void SyncWidget() override;

  private:
    bool fDefault = false;
};
