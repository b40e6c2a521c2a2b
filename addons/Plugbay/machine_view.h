// The Plugbay machine's lane view: a plain grey view with nothing of its own to draw.
#pragma once

#include "platform/interface/view.h"

class MachineView : public BView {
  public:
    MachineView();
};
