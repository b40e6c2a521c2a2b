// A view with a label and an int32 value that sends its message when the user changes it.
#pragma once

#include <string>

#include "platform/interface/invoker.h"
#include "platform/interface/view.h"

enum : int32 { B_CONTROL_OFF = 0, B_CONTROL_ON = 1 };

// The thread that holds the window.
class BControl : public BView, public BInvoker {
  public:
    // Takes the message.
    BControl(BRect frame, const char* name, const char* label, BMessage* message,
             uint32 resizingMode, uint32 flags);
    explicit BControl(BMessage* archive);

    static BArchivable* Instantiate(BMessage* archive);
    // Adds "_label", "_msg", "_val" and "_disabled".
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // Without a target the window is the target.
    void AttachedToWindow() override;

    virtual void SetLabel(const char* label);
    const char* Label() const { return fLabel.c_str(); }
    virtual void SetValue(int32 value);
    int32 Value() const { return fValue; }
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const { return fEnabled; }

    // Adds "be:value" to what BInvoker sends; "source" is the control.
    status_t Invoke(BMessage* message = nullptr) override;

  private:
    std::string fLabel;
    int32 fValue = 0;
    bool fEnabled = true;
};
