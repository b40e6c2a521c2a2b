#include "addons/Gridloom/x_scroll_bar.h"

#include "platform/interface/window.h"

namespace gridloom {

XScrollBar::XScrollBar(BRect frame)
    : BScrollBar(frame, "XScrollBar", nullptr, 0, 100, B_HORIZONTAL) {}

void XScrollBar::ValueChanged(float value) {
    BScrollBar::ValueChanged(value);
    // The window sets this bar again while handling the message.
    if (fBusy || Window() == nullptr) return;
    fBusy = true;
    BMessage scrolled(kScrolled);
    scrolled.AddFloat("value", value);
    Window()->MessageReceived(&scrolled);
    fBusy = false;
}

}  // namespace gridloom
