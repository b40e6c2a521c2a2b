#include "platform/interface/scroll_view.h"

#include "platform/interface/scroll_bar.h"

REGISTER_ARCHIVABLE(BScrollView)

namespace {

constexpr rgb_color kPanel = {216, 216, 216, 255};
constexpr rgb_color kShadow = {152, 152, 152, 255};
constexpr rgb_color kDark = {96, 96, 96, 255};
constexpr rgb_color kLight = {255, 255, 255, 255};

float BorderSizeOf(border_style border) {
    return border == B_FANCY_BORDER ? 2 : border == B_PLAIN_BORDER ? 1 : 0;
}

BRect FrameAround(const BView* target, bool horizontal, bool vertical, border_style border) {
    const float b = BorderSizeOf(border);
    const BRect t = target ? target->Frame() : BRect(0, 0, 0, 0);
    BRect frame(t.left - b, t.top - b, t.right + b, t.bottom + b);
    if (vertical) frame.right += B_V_SCROLL_BAR_WIDTH;
    if (horizontal) frame.bottom += B_H_SCROLL_BAR_HEIGHT;
    return frame;
}

// Two-colour frame: top and left in one colour, bottom and right in the other.
void StrokeBevel(BView* view, BRect r, rgb_color topLeft, rgb_color bottomRight) {
    view->SetHighColor(topLeft);
    view->StrokeLine(r.LeftBottom(), r.LeftTop());
    view->StrokeLine(r.RightTop());
    view->SetHighColor(bottomRight);
    view->StrokeLine(r.RightBottom());
    view->StrokeLine(r.LeftBottom());
}

}  // namespace

BScrollView::BScrollView(const char* name, BView* target, uint32 resizingMode, uint32 flags,
                         bool horizontal, bool vertical, border_style border)
    : BView(FrameAround(target, horizontal, vertical, border), name, resizingMode,
            flags | B_WILL_DRAW | B_FRAME_EVENTS),
      fTarget(target),
      fBorder(border) {
    SetViewColor(kPanel);
    if (target) {
        target->RemoveSelf();
        target->MoveTo(BorderSize(), BorderSize());
        target->SetResizingMode(B_FOLLOW_ALL);
        AddChild(target);
    }
    if (vertical) AddBar(B_VERTICAL);
    if (horizontal) AddBar(B_HORIZONTAL);
    FitBars();
}

BScrollView::BScrollView(BMessage* archive) : BView(archive), fBorder(B_FANCY_BORDER) {
    int32 style = B_FANCY_BORDER;
    archive->FindInt32("_style", &style);
    if (style >= B_PLAIN_BORDER && style <= B_NO_BORDER) fBorder = border_style(style);
    for (int32 i = 0; i < CountChildren() && !fTarget; ++i)
        if (!dynamic_cast<BScrollBar*>(ChildAt(i))) fTarget = ChildAt(i);
    for (int32 i = 0; i < CountChildren(); ++i)
        if (auto* bar = dynamic_cast<BScrollBar*>(ChildAt(i))) bar->SetTarget(fTarget);
}

BArchivable* BScrollView::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BScrollView") ? new BScrollView(archive) : nullptr;
}

status_t BScrollView::Archive(BMessage* archive, bool deep) const {
    BView::Archive(archive, deep);
    archive_class_name(archive, "BScrollView");
    archive->AddInt32("_style", fBorder);
    return B_OK;
}

BScrollBar* BScrollView::ScrollBar(orientation direction) const {
    for (int32 i = 0; i < CountChildren(); ++i) {
        auto* bar = dynamic_cast<BScrollBar*>(ChildAt(i));
        if (bar && bar->Orientation() == direction) return bar;
    }
    return nullptr;
}

float BScrollView::BorderSize() const {
    return BorderSizeOf(fBorder);
}

void BScrollView::AddBar(orientation direction) {
    const float b = BorderSize();
    const BRect t = fTarget ? fTarget->Frame() : BRect(b, b, b, b);
    const BRect frame =
        direction == B_VERTICAL
            ? BRect(t.right + 1, t.top, t.right + B_V_SCROLL_BAR_WIDTH, t.bottom)
            : BRect(t.left, t.bottom + 1, t.right, t.bottom + B_H_SCROLL_BAR_HEIGHT);
    AddChild(new BScrollBar(frame, direction == B_VERTICAL ? "_VSB_" : "_HSB_", fTarget, 0, 0,
                            direction));
}

void BScrollView::FitBars() {
    for (orientation direction : {B_HORIZONTAL, B_VERTICAL})
        if (BScrollBar* bar = ScrollBar(direction)) bar->FitToTarget();
}

void BScrollView::AllAttached() {
    FitBars();
}

void BScrollView::FrameResized(float, float) {
    FitBars();
}

void BScrollView::Draw(BRect) {
    const BRect bounds = Bounds();
    if (fBorder == B_PLAIN_BORDER) {
        SetHighColor(kDark);
        StrokeRect(bounds);
    } else if (fBorder == B_FANCY_BORDER) {
        StrokeBevel(this, bounds, kShadow, kLight);
        StrokeBevel(this,
                    BRect(bounds.left + 1, bounds.top + 1, bounds.right - 1, bounds.bottom - 1),
                    kDark, kPanel);
    }
}
