// Band-limited copies of a sample, so that notes above its root do not alias: one copy per half
// octave of step, low-passed so that at the fastest step it serves its content stays below the
// output's Nyquist frequency, and decimated by whole octaves to keep memory near three times the
// sample's. A loop is rolled out into the copies: a voice wraps its position in the sample's own
// frames, and because each copy is band-limited the wrap lands between its frames smoothly.
#pragma once

#include <vector>

#include "addons/Sampler/sample_data.h"

class SampleLevels {
  public:
    // Four octaves; notes higher still play from the last level and alias somewhat.
    static constexpr int32 kLevels = 8;
    // Longer samples get no levels: their copies would take too long to make and too much
    // memory to hold.
    static constexpr int32 kMaxFrames = int32(1) << 22;

    struct Level {
        int32 decimation = 1;  // sample frames per frame of this level
        int32 frames = 0;
        const float* channel[2] = {};
    };

    // Loop end exclusive; equal start and end: no loop.
    SampleLevels(const SampleData& sample, int32 loopStart, int32 loopEnd);

    // The level to play a step of more than one sample frame per output frame at; null for
    // slower steps, which play the sample itself, and when the sample has no levels.
    const Level* For(double step) const;

  private:
    void Build(const SampleData& sample, int32 index, int32 loopStart, int32 loopEnd);

    std::vector<float> fData[kLevels][2];
    Level fLevel[kLevels];
    int32 fCount = 0;
};
