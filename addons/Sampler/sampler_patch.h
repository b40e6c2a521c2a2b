// Everything a sampler voice reads while it plays, published as one piece: windows build a new
// patch for every change and the sound thread never sees one half made.
#pragma once

#include <memory>
#include <vector>

#include "addons/Sampler/sample_data.h"
#include "addons/Sampler/sample_levels.h"
#include "message/support_defs.h"

struct SamplerPatch {
    std::shared_ptr<const SampleData> sample;  // null: the instrument is silent
    // The sample's band-limited copies for its loop; null when it has none.
    std::shared_ptr<const SampleLevels> levels;
    int32 root = 60;
    // Held to the sample, end exclusive; equal: no loop.
    int32 loop_start = 0;
    int32 loop_end = 0;
    // Amplitude over frames since the note started: x non-decreasing, y never negative.
    std::vector<BPoint> envelope;

    bool Loops() const { return loop_end > loop_start; }
};
