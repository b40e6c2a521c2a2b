// A controller machine that plays a span of playlist positions a number of times over.
#pragma once

#include <atomic>

#include "engine/machine.h"

class ControllerRepeat : public Machine {
  public:
    ControllerRepeat();
    ~ControllerRepeat() override;

    void ShowWindow() override;
    void Reopened() override;
    // Player thread, under the song lock, at a measure end: may send playback back to rep1.
    void Process() override;
    void Open(BMessage* msg) override;
    void Save(BMessage* msg) override;

    // The span is rep1 to rep2 - 1, played reptimes times. Window threads change them while
    // a step reads them.
    std::atomic<int32> rep1{0};
    std::atomic<int32> rep2{16};
    std::atomic<int32> reptimes{999};
    // Jumps back made in the current run of passes; the player thread's own.
    int32 count = 0;
};
