// The pattern window's small number fields: a primary click lowers the value, a secondary
// click raises it, a wheel notch steps it, always within the limits.
#pragma once

#include "platform/interface/view.h"

class NumberBox : public BView {
  public:
    // The window's thread. Owns message, which is handed to the window after every step, at
    // a limit too.
    NumberBox(BRect frame, int32 value, int32 minimum, int32 maximum, BMessage* message);
    ~NumberBox() override;
    NumberBox(const NumberBox&) = delete;
    NumberBox& operator=(const NumberBox&) = delete;

    // The window's thread, with the window locked. Values are held within the limits.
    int32 Value() const { return fValue; }
    void SetValue(int32 value);
    int32 Maximum() const { return fMaximum; }
    void SetMaximum(int32 maximum);

    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void MessageReceived(BMessage* message) override;

  private:
    void Step(int32 delta);

    int32 fValue;
    int32 fMinimum;
    int32 fMaximum;
    BMessage* fMessage;
};
