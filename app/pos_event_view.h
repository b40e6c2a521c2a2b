// A view that follows the play position: the position thread hands it the position and the
// sound now playing, and it redraws with its window locked.
#pragma once

#include <memory>

#include "platform/interface/view.h"

class PosEvent;

class PosEventView : public BView {
  public:
    // How long a position waits for the window's lock before it is dropped: a thread that
    // stops playback may hold the lock while it waits for the round of positions to end.
    static constexpr bigtime_t kLockWait = 5000;

    // The window's thread.
    PosEventView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
    ~PosEventView() override;

    // Position thread. Passes the position on to
    // UpdateLocked with the window locked; drops it when the lock is not had within kLockWait.
    virtual void UpdatePos(float from, float to, float** buffers, long count);

    // The window's thread, window locked: positions arrive while the view is in a window.
    void AttachedToWindow() override;
    void DetachedFromWindow() override;

  protected:
    // The window's thread. Every derived destructor calls it first, since a position under
    // way must end before the derived parts go.
    void StopPositions();
    // Position thread, window locked.
    virtual void UpdateLocked(float from, float to, float** buffers, long count) = 0;

  private:
    std::unique_ptr<PosEvent> fPositions;
};
