// One WAV per machine that makes sound, and one for the synthesizers, in a folder: what each
// machine put out at every step, placed where the step sounds.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/player.h"
#include "engine/wav_file.h"

class StemSet {
  public:
    // The renderer's thread, with the song loaded: a file for every machine with an output.
    bool Create(const std::string& folder, bool floatSamples, int64 frames, std::string* error);

    // The player thread's hook, offline: the machines' output of the step just rendered.
    void Step(const PlayedStep& step);
    // The synthesizers' frames, in order.
    bool WriteSynth(const float* left, const float* right, int32 frames, std::string* error);
    // Pads every stem to the render's length and keeps those that sounded; names them in
    // *kept.
    bool Commit(std::vector<std::string>* kept, std::string* error);
    // The first error a step met, if any.
    const std::string& Error() const { return fError; }

  private:
    struct Stem {
        int32 machine;
        std::string path;
        std::unique_ptr<WavFile> file;
    };

    bool Add(int32 machine, const std::string& path, bool floatSamples, std::string* error);
    bool Pad(WavFile& file, int64 frames, std::string* error);
    bool Place(Stem& stem, const float* left, const float* right, int64 at, int32 frames,
               int32 played);

    std::vector<Stem> fStems;  // the synthesizers' last
    int64 fFrames = 0;
    std::string fError;
    std::vector<float> fSilence;
};
