// A controller machine that sets the song's tempo when playback reaches a position.
#pragma once

#include <atomic>

#include "engine/machine.h"

class ControllerTempo : public Machine {
  public:
    ControllerTempo();
    ~ControllerTempo() override;

    void ShowWindow() override;
    void Reopened() override;
    // Player thread, under the song lock, at a measure end: asks for tempo at pos.
    void Process() override;
    void Open(BMessage* msg) override;
    void Save(BMessage* msg) override;

    // Window threads change them while a step reads them.
    std::atomic<int32> pos{0};
    std::atomic<int32> tempo{120};
};
