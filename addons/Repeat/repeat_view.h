// The repeat machine's strip: the span between two marks and the number of passes.
#pragma once

#include "addons/common/controller_strip.h"

class ControllerRepeat;

class RepeatView : public ControllerStrip {
  public:
    explicit RepeatView(ControllerRepeat* machine);

    void Draw(BRect update) override;
    // Primary button: the span's start; secondary button: its end. Each stays on its side
    // of the other.
    void MouseDown(BPoint where) override;

  private:
    ControllerRepeat* fMachine;
};
