// A label and a one-line text field (a QLineEdit right of the divider). Its message is sent
// when the user commits the text: Enter, or the focus leaving after an edit.
#pragma once

#include <memory>
#include <string>

#include "platform/interface/control.h"

class BTextControl : public BControl {
  public:
    // Takes the message. The divider starts at half the width with a label, at 0 without.
    BTextControl(BRect frame, const char* name, const char* label, const char* text,
                 BMessage* message, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
                 uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    explicit BTextControl(BMessage* archive);
    ~BTextControl() override;

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_text", "_divider" and "_mod_msg" (when set).
    status_t Archive(BMessage* archive, bool deep = true) const override;

    virtual void SetText(const char* text);
    const char* Text() const { return fText.c_str(); }
    int32 TextLength() const { return int32(fText.size()); }
    void SetDivider(float divider);
    float Divider() const { return fDivider; }
    // Takes the message; sent on each edit the user makes. Null clears it.
    virtual void SetModificationMessage(BMessage* message);
    BMessage* ModificationMessage() const { return fModMessage.get(); }

    QWidget* CreateWidget(QWidget* parent) override;
    void SyncWidget() override;

  private:
    void UserEdited(const std::string& text);
    void UserCommitted(const std::string& text, bool always);

    std::string fText;
    float fDivider = 0;
    std::unique_ptr<BMessage> fModMessage;
    // Edited since the last commit: leaving the field without an edit sends nothing.
    bool fEdited = false;
};
