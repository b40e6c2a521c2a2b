#include "app/scrolled_views.h"

#include "platform/interface/scroll_bar.h"
#include "platform/interface/scroll_view.h"
#include "platform/interface/text_view.h"

namespace {

// The width of a fancy border, which the scroll view draws around its target.
constexpr float kBorder = 2;

}  // namespace

BRect ScrolledFrame(const BView* host) {
    const BRect bounds = host->Bounds();
    return BRect(kBorder, kBorder, bounds.Width() - kBorder - B_V_SCROLL_BAR_WIDTH,
                 bounds.Height() - kBorder);
}

void AddScrolled(BView* host, BView* target) {
    host->AddChild(new BScrollView("scrollview", target, B_FOLLOW_ALL, 0, false, true));
}

BTextView* AddScrolledText(BView* host) {
    const BRect frame = host->Bounds();
    auto* text = new BTextView(frame, "text", BRect(4, 4, frame.Width() - 4, frame.Height() - 4),
                               B_FOLLOW_ALL, B_WILL_DRAW | B_NAVIGABLE);
    host->AddChild(new BScrollView("scrollview", text, B_FOLLOW_ALL, 0, false, false, B_NO_BORDER));
    return text;
}
