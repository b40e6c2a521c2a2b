// Reading a sound file into a sample with what its chunks say about playing it.
#pragma once

#include <memory>
#include <string>

#include "addons/Sampler/sample_data.h"

struct SampleFile {
    static constexpr int32 kDefaultRoot = 60;

    std::unique_ptr<SampleData> data;  // null when the file could not be read
    int32 root = kDefaultRoot;
    // Frames, end exclusive; both 0 without a loop.
    int32 loop_start = 0;
    int32 loop_end = 0;
    std::string error;  // names the file, when data is null
};

// Window thread or the song loader. Anything libsndfile reads, mono or stereo, at any rate.
// The root note comes from the instrument chunk, the loop from its first loop.
SampleFile ReadSampleFile(const char* path);
