// A button drawn from a stored image with a label on it: a pattern tab (kind 0, 70 x 17) or a
// mute key (kind 1, 17 x 17). Alone it toggles; in a RadioList it stays pressed until another
// button of the list is.
#pragma once

#include <string>

#include "platform/interface/view.h"

class BPopUpMenu;
class RadioList;

class BitmapStringButton : public BView {
  public:
    enum { kPattern = 0, kMute = 1 };

    // Owns message; list and menu are the caller's. A list has its pressed index reset to 0
    // and gets the button appended.
    BitmapStringButton(BPoint where, int32 kind, BMessage* message, RadioList* list = nullptr,
                       BPopUpMenu* menu = nullptr);
    // Leaves its list, whose pressed index goes back to 0.
    ~BitmapStringButton() override;

    void SetText(const char* text) { fText = text ? text : ""; }
    const char* Text() const { return fText.c_str(); }
    int32 Value() const { return fValue; }
    void SetValue(int32 value) { fValue = value; }
    int32 Kind() const { return fKind; }
    BMessage* Message() const { return fMessage; }

    void Draw(BRect updateRect) override;
    // Presses (or toggles), then hands the message straight to the window's MessageReceived;
    // with a menu, the secondary button opens it and the chosen item's message goes there
    // too.
    void MouseDown(BPoint where) override;

  private:
    void OpenMenu(BPoint where);

    int32 fKind;
    int32 fValue = 0;
    std::string fText;
    BMessage* fMessage;
    RadioList* fList;
    BPopUpMenu* fMenu;
};
