// A modal message box with up to three buttons.
//
// Threads: any but the player's and the sound's. On the GUI thread Go runs a nested event
// loop; the window that called it keeps drawing but gets no messages until Go returns.
// Other threads post the alert to the GUI thread and wait for the answer.
#pragma once

#include <string>
#include <vector>

#include "message/support_defs.h"

enum alert_type : int32 {
    B_EMPTY_ALERT = 0,
    B_INFO_ALERT,
    B_IDEA_ALERT,
    B_WARNING_ALERT,
    B_STOP_ALERT
};
enum button_width : int32 { B_WIDTH_AS_USUAL = 0, B_WIDTH_FROM_WIDEST, B_WIDTH_FROM_LABEL };

class BAlert {
  public:
    BAlert(const char* title, const char* text, const char* button0, const char* button1 = nullptr,
           const char* button2 = nullptr, button_width width = B_WIDTH_AS_USUAL,
           alert_type type = B_INFO_ALERT);

    // Shows the alert, waits for a button and deletes the alert. The button's index (0 is
    // leftmost; the last is the default), -1 when the alert closed without a choice. With no
    // GUI it prints "<title>: <text>" on standard error and answers 0.
    int32 Go();

    // A key that presses the button; B_ESCAPE makes it the button Escape presses.
    void SetShortcut(int32 index, char key);
    char Shortcut(int32 index) const;
    int32 CountButtons() const { return int32(fButtons.size()); }
    const char* Title() const { return fTitle.c_str(); }
    const char* Text() const { return fText.c_str(); }

  private:
    struct Button {
        std::string label;
        char shortcut = 0;
    };

    ~BAlert() = default;
    // The GUI thread.
    int32 RunModal() const;

    std::string fTitle;
    std::string fText;
    std::vector<Button> fButtons;
    button_width fWidth;
    alert_type fType;
};
