// The tempo machine's strip: a mark at its position and the tempo it sets there.
#pragma once

#include "addons/common/controller_strip.h"

class ControllerTempo;

class TempoView : public ControllerStrip {
  public:
    explicit TempoView(ControllerTempo* machine);

    void Draw(BRect update) override;
    // Primary button: the position.
    void MouseDown(BPoint where) override;

  private:
    ControllerTempo* fMachine;
};
