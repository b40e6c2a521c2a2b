#include "app/pos_event_view.h"

#include "engine/pos_event.h"
#include "platform/interface/window.h"

namespace {

// A PosEvent unsubscribes only in its destructor, which for a base class runs after the
// derived parts are gone; the view owns its subscription instead and drops it first.
class Subscription final : public PosEvent {
  public:
    explicit Subscription(PosEventView* view) : fView(view) {
        // Final, so fully built here.
        Subscribe();
    }
    void UpdatePos(float from, float to, float** buffers, long count) override {
        fView->UpdatePos(from, to, buffers, count);
    }

  private:
    PosEventView* fView;
};

}  // namespace

PosEventView::PosEventView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags) {}

PosEventView::~PosEventView() {
    StopPositions();
}

void PosEventView::UpdatePos(float from, float to, float** buffers, long count) {
    // Subscribed only while attached, so the window stays put under a position.
    BWindow* window = Window();
    if (!window || window->LockWithTimeout(kLockWait) != B_OK) return;
    UpdateLocked(from, to, buffers, count);
    window->Unlock();
}

void PosEventView::AttachedToWindow() {
    fPositions = std::make_unique<Subscription>(this);
}

void PosEventView::DetachedFromWindow() {
    StopPositions();
}

void PosEventView::StopPositions() {
    // Waits for a position under way, which gives up on the window's lock within kLockWait.
    fPositions.reset();
}
