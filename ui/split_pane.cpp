#include "ui/split_pane.h"

#include <algorithm>
#include <cmath>

#include "platform/interface/window.h"

namespace {

constexpr rgb_color kPanel = {216, 216, 216, 255};
constexpr rgb_color kLight = {246, 246, 247, 255};
constexpr rgb_color kShade = {150, 152, 157, 255};
constexpr rgb_color kDark = {96, 99, 105, 255};

}  // namespace

SplitPane::SplitPane(BRect frame, BView* one, BView* two, uint32 resizingMode)
    : BView(frame, "SplitPane", resizingMode, B_WILL_DRAW | B_FRAME_EVENTS) {
    SetViewColor(kPanel);
    fPos = (Extent() - fThick) / 2;
    Replace(&fOne, one);
    Replace(&fTwo, two);
    Layout();
}

BMessage* SplitPane::GetState() const {
    auto* state = new BMessage(kSplitPaneState);
    state->AddBool("onedetachable", fOneDetachable);
    state->AddBool("twodetachable", fTwoDetachable);
    state->AddInt32("align", fAlign);
    state->AddInt32("pos", fPos);
    state->AddInt32("thick", fThick);
    state->AddInt32("jump", fJump);
    state->AddInt32("pad", fPad);
    state->AddInt32("minsizeone", fMinOne);
    state->AddInt32("minsizetwo", fMinTwo);
    state->AddBool("poslock", fPosLock);
    state->AddBool("alignlock", fAlignLock);
    return state;
}

void SplitPane::SetState(BMessage* state) {
    if (!state) return;
    auto flag = [state](const char* name) {
        bool value = false;
        state->FindBool(name, &value);
        return value;
    };
    fOneDetachable = flag("onedetachable");
    fTwoDetachable = flag("twodetachable");
    fPosLock = flag("poslock");
    fAlignLock = flag("alignlock");
    int32 align = fAlign;
    state->FindInt32("align", &align);
    fAlign = align == B_HORIZONTAL ? B_HORIZONTAL : B_VERTICAL;
    state->FindInt32("pos", &fPos);
    state->FindInt32("thick", &fThick);
    state->FindInt32("jump", &fJump);
    state->FindInt32("pad", &fPad);
    state->FindInt32("minsizeone", &fMinOne);
    state->FindInt32("minsizetwo", &fMinTwo);
    fThick = std::max<int32>(fThick, 1);
    fJump = std::max<int32>(fJump, 1);
    fPad = std::max<int32>(fPad, 0);
    fMinOne = std::max<int32>(fMinOne, 0);
    fMinTwo = std::max<int32>(fMinTwo, 0);
    Layout();
}

void SplitPane::MessageReceived(BMessage* message) {
    if (message->what == kSplitPaneState)
        SetState(message);
    else
        BView::MessageReceived(message);
}

void SplitPane::SetMinSizeOne(int32 size) {
    fMinOne = std::max<int32>(size, 0);
    Layout();
}

void SplitPane::SetMinSizeTwo(int32 size) {
    fMinTwo = std::max<int32>(size, 0);
    Layout();
}

void SplitPane::SetViewInsetBy(int32 pad) {
    fPad = std::max<int32>(pad, 0);
    Layout();
}

void SplitPane::SetViewOneDetachable(bool detachable) {
    fOneDetachable = detachable;
    if (!detachable && fCollapsed == 1) ToggleCollapse();
}

void SplitPane::SetViewTwoDetachable(bool detachable) {
    fTwoDetachable = detachable;
    if (!detachable && fCollapsed == 2) ToggleCollapse();
}

void SplitPane::SetJump(int32 jump) {
    fJump = std::max<int32>(jump, 1);
}

void SplitPane::SetBarThickness(int32 thickness) {
    fThick = std::max<int32>(thickness, 1);
    Layout();
}

void SplitPane::SetBarPosition(int32 position) {
    fPos = position;
    Layout();
}

void SplitPane::SetAlignment(int32 alignment) {
    if (fAlignLock) return;
    fAlign = alignment == B_HORIZONTAL ? B_HORIZONTAL : B_VERTICAL;
    Layout();
}

void SplitPane::AddChildOne(BView* view) {
    Replace(&fOne, view);
    Layout();
}

void SplitPane::AddChildTwo(BView* view) {
    Replace(&fTwo, view);
    Layout();
}

void SplitPane::Replace(BView** side, BView* view) {
    if (*side == view) return;
    if (*side) {
        if (fHiddenView == *side) fHiddenView = nullptr;
        RemoveChild(*side);
        delete *side;
    }
    *side = view;
    if (view) AddChild(view);
    // A new view on a collapsed side starts hidden too, in Layout.
}

int32 SplitPane::Extent() const {
    const BRect bounds = Bounds();
    return int32(std::lround(fAlign == B_VERTICAL ? bounds.Width() : bounds.Height())) + 1;
}

// Both views keep their minimum sizes where the pane is big enough; view one wins otherwise.
int32 SplitPane::Clamp(int32 position) const {
    const int32 extent = Extent();
    if (fCollapsed == 1) return 0;
    if (fCollapsed == 2) return std::max<int32>(extent - fThick, 0);
    const int32 hi = std::min(extent - fThick - 2 * fPad - fMinTwo, extent - fThick);
    const int32 lo = std::max<int32>(fMinOne + 2 * fPad, 0);
    return std::max(lo, std::min(position, hi));
}

// The nearest multiple of the jump that the limits allow.
int32 SplitPane::Snap(int32 position) const {
    if (fJump <= 1) return Clamp(position);
    const int32 snapped = int32(std::lround(double(position) / fJump)) * fJump;
    const int32 held = Clamp(snapped);
    if (held == snapped) return held;
    // Step inside the limits by whole jumps.
    const int32 inward = held > snapped ? (held + fJump - 1) / fJump * fJump : held / fJump * fJump;
    return Clamp(inward) == inward ? inward : held;
}

BRect SplitPane::BarFrame() const {
    const BRect bounds = Bounds();
    const float start = bounds.LeftTop().x + float(fPos);
    if (fAlign == B_VERTICAL)
        return BRect(start, bounds.top, start + float(fThick - 1), bounds.bottom);
    const float top = bounds.top + float(fPos);
    return BRect(bounds.left, top, bounds.right, top + float(fThick - 1));
}

void SplitPane::Layout() {
    fPos = Clamp(fPos);
    const BRect bounds = Bounds();
    const float pad = float(fPad);
    const BRect bar = BarFrame();
    BRect one, two;
    if (fAlign == B_VERTICAL) {
        one = BRect(bounds.left + pad, bounds.top + pad, bar.left - 1 - pad, bounds.bottom - pad);
        two = BRect(bar.right + 1 + pad, bounds.top + pad, bounds.right - pad, bounds.bottom - pad);
    } else {
        one = BRect(bounds.left + pad, bounds.top + pad, bounds.right - pad, bar.top - 1 - pad);
        two =
            BRect(bounds.left + pad, bar.bottom + 1 + pad, bounds.right - pad, bounds.bottom - pad);
    }
    // IsHidden also counts hidden windows, so the pane tracks the one view it hid itself.
    BView* collapsed = fCollapsed == 1 ? fOne : fCollapsed == 2 ? fTwo : nullptr;
    if (fHiddenView != collapsed) {
        if (fHiddenView) fHiddenView->Show();
        if (collapsed) collapsed->Hide();
        fHiddenView = collapsed;
    }
    auto place = [](BView* view, BRect frame) {
        view->MoveTo(frame.LeftTop());
        view->ResizeTo(std::max(frame.Width(), 0.0f), std::max(frame.Height(), 0.0f));
    };
    if (fOne && fCollapsed != 1) place(fOne, one);
    if (fTwo && fCollapsed != 2) place(fTwo, two);
    Invalidate();
}

void SplitPane::ToggleCollapse() {
    if (fCollapsed) {
        fCollapsed = 0;
        fPos = fSavedPos;
    } else if (fTwoDetachable || fOneDetachable) {
        fSavedPos = fPos;
        fCollapsed = fTwoDetachable ? 2 : 1;
    }
    Layout();
}

void SplitPane::Draw(BRect) {
    const BRect bar = BarFrame();
    SetHighColor(kPanel);
    FillRect(bar);
    const bool upright = fAlign == B_VERTICAL;
    if (fThick >= 3) {
        // A raised bevel: light on the leading edge, shade on the trailing one.
        SetHighColor(kLight);
        StrokeLine(bar.LeftTop(), upright ? bar.LeftBottom() : bar.RightTop());
        SetHighColor(kShade);
        StrokeLine(upright ? bar.RightTop() : bar.LeftBottom(), bar.RightBottom());
    }
    // A grip of raised dots in the middle.
    const BPoint middle((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
    for (int i = -2; i <= 2; ++i) {
        const BPoint dot = upright ? BPoint(std::floor(middle.x), std::floor(middle.y) + 4 * i)
                                   : BPoint(std::floor(middle.x) + 4 * i, std::floor(middle.y));
        SetHighColor(kDark);
        StrokeLine(dot + BPoint(1, 1), dot + BPoint(1, 1));
        SetHighColor(kLight);
        StrokeLine(dot, dot);
    }
}

void SplitPane::MouseDown(BPoint where) {
    if (!fEditable || fPosLock || !BarFrame().Contains(where)) return;
    int32 clicks = 1;
    if (Window() && Window()->CurrentMessage())
        Window()->CurrentMessage()->FindInt32("clicks", &clicks);
    if (clicks >= 2) {
        ToggleCollapse();
        return;
    }
    if (fCollapsed) return;
    fDragging = true;
    fGrab = Along(where) - float(fPos);
}

void SplitPane::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!fDragging) return;
    uint32 buttons = B_PRIMARY_MOUSE_BUTTON;
    BPoint ignored;
    if (Window()) GetMouse(&ignored, &buttons, false);
    if (!(buttons & B_PRIMARY_MOUSE_BUTTON) || fPosLock || !fEditable) {
        fDragging = false;
        return;
    }
    const int32 wanted = Snap(int32(std::lround(Along(where) - fGrab)));
    if (wanted == fPos) return;
    fPos = wanted;
    Layout();
}

void SplitPane::MouseUp(BPoint) {
    fDragging = false;
}

void SplitPane::FrameResized(float, float) {
    Layout();
}
