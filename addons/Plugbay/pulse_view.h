// An empty view that runs work on each of its window's pulses: a timer on the window thread.
#pragma once

#include <functional>

#include "platform/interface/view.h"

class PulseView : public BView {
  public:
    PulseView(BRect frame, std::function<void()> work);

    // Window thread.
    void Pulse() override { fWork(); }

  private:
    std::function<void()> fWork;
};
