// How long a render is: found by playing the song once without sound, following its repeats,
// loops and tempo changes as playback does.
#pragma once

#include <vector>

#include "engine/player.h"

class RenderPlan {
  public:
    // A song that loops for ever still ends here.
    static constexpr int64 kLimitFrames = 44100 * 600;
    // The longest render: an hour, well inside what a WAV file can hold.
    static constexpr int64 kLongestFrames = 44100 * 3600;
    // What sounds on after the end so notes ring out.
    static constexpr int64 kTailFrames = 44100 * 2;

    enum class Until { kContentEnd, kMeasures, kSeconds };

    // The renderer's thread, with the song loaded and stopped; plays it and stops it again.
    // amount is the measures or seconds asked for.
    RenderPlan(Until until, double amount);

    // Frames to render, the tail included.
    int64 Frames() const { return fFrames; }
    // Where each measure played starts, in frames from the render's start.
    const std::vector<int64>& MeasureStarts() const { return fMeasureStarts; }
    // Whether a limit cut the song short, and after how many frames; whether that was
    // because the song loops.
    bool Limited() const { return fLimited; }
    int64 Limit() const { return fLimit; }
    bool Loops() const { return fLoops; }

  private:
    static void SeeStep(void* plan, const PlayedStep& step);
    void See(const PlayedStep& step);
    bool EndsAt(const PlayedStep& step, int64 at) const;

    Until fUntil;
    double fAmount;
    int32 fContentEnd = 0;
    int64 fEnd = 0;
    bool fFound = false;
    int64 fFrames = 0;
    bool fLimited = false;
    int64 fLimit = 0;
    bool fLoops = false;
    std::vector<int64> fMeasureStarts;
};
