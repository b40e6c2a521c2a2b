#include "addons/Plugbay/pulse_view.h"

#include <utility>

PulseView::PulseView(BRect frame, std::function<void()> work)
    : BView(frame, "pulse", B_FOLLOW_ALL, B_PULSE_NEEDED), fWork(std::move(work)) {}
