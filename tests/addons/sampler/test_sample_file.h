// Sample files the sampler tests make with libsndfile: generated tones, never recordings.
#pragma once

#include <sndfile.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tests/platform/storage/temp_dir.h"

struct ToneFile {
    int rate = 44100;
    int channels = 1;
    int frames = 44100;
    int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    // Level of frame f in channel c.
    std::function<float(int f, int c)> level = [](int, int) { return 0.5f; };
    // With an instrument chunk: its base note, and a loop when loop_end > 0.
    int root = -1;
    unsigned loop_start = 0;
    unsigned loop_end = 0;
};

inline std::function<float(int, int)> Sine(double hz, int rate) {
    return [hz, rate](int f, int) { return float(0.8 * std::sin(2 * M_PI * hz * f / rate)); };
}

// A path in this test process's own folder: ctest runs the tests of one program side by side,
// and two of them writing the same file would read each other's samples.
inline std::string TestPath(const std::string& name) {
    static const TempDir folder;
    return folder.Path(name);
}

// Writes the file; false when libsndfile refuses.
inline bool WriteTone(const std::string& path, const ToneFile& tone) {
    SF_INFO info{};
    info.samplerate = tone.rate;
    info.channels = tone.channels;
    info.format = tone.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    if (tone.root >= 0) {
        SF_INSTRUMENT chunk{};
        chunk.basenote = tone.root;
        chunk.gain = 1;
        chunk.velocity_hi = chunk.key_hi = 127;
        if (tone.loop_end > 0) {
            chunk.loop_count = 1;
            chunk.loops[0] = {SF_LOOP_FORWARD, tone.loop_start, tone.loop_end, 0};
        }
        sf_command(file, SFC_SET_INSTRUMENT, &chunk, sizeof chunk);
    }
    std::vector<float> frames(size_t(tone.frames * tone.channels));
    for (int f = 0; f < tone.frames; f++)
        for (int c = 0; c < tone.channels; c++)
            frames[size_t(f * tone.channels + c)] = tone.level(f, c);
    const bool whole = sf_writef_float(file, frames.data(), tone.frames) == tone.frames;
    return sf_close(file) == 0 && whole;
}
