// The small window in which a controller machine's one number is typed. Each controller
// add-on has one, re-pointed at the machine that last asked.
#pragma once

#include <atomic>

#include "engine/machine.h"
#include "platform/interface/window.h"

class BTextControl;

// What one add-on's window edits, and the limits a typed value is held to.
struct ControllerField {
    const char* title;
    const char* label;
    int32 min;
    int32 max;
    std::atomic<int32>* (*field)(Machine* controller);
};

class ControllerWindow : public BWindow {
  public:
    static constexpr uint32 kCommitted = 10;

    // Hidden until the first Update.
    explicit ControllerWindow(const ControllerField& field);

    // Any thread. Shows the window and the controller's value, and edits that controller.
    void Update(Machine* controller);
    // Any thread. Shows the controller's value again if the window edits it.
    void Refresh(Machine* controller);
    // Any thread. A controller that goes stops being edited: the window hides, and input
    // that still arrives is ignored.
    void Forget(Machine* controller);
    void MessageReceived(BMessage* message) override;
    // Closing only hides: the window lives as long as the add-on image.
    bool QuitRequested() override;

  private:
    void Commit();

    const ControllerField fField;
    Machine* fController = nullptr;
    BTextControl* fText;
};
