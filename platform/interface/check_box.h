// A check box: a QCheckBox whose value is B_CONTROL_ON or B_CONTROL_OFF.
#pragma once

#include "platform/interface/control.h"

class BCheckBox : public BControl {
  public:
    BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
              uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
              uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    explicit BCheckBox(BMessage* archive);

    static BArchivable* Instantiate(BMessage* archive);
    status_t Archive(BMessage* archive, bool deep = true) const override;

    QWidget* CreateWidget(QWidget* parent) override;
    void SyncWidget() override;
};
