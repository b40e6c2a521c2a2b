// A WAV file written through libsndfile: 44100 Hz stereo, 16-bit PCM or 32-bit float. It is
// written beside its path and moved there by Commit, so a failed render leaves the file that
// was there before.
#pragma once

#include <sndfile.h>

#include <string>
#include <vector>

#include "message/support_defs.h"

class WavFile {
  public:
    // One thread. False with *error set when the file can't be created.
    bool Create(const std::string& path, bool floatSamples, std::string* error);
    // Discards what was written unless Commit succeeded.
    ~WavFile();

    // Appends frames of left and right. False with *error set when the disk refuses.
    bool Write(const float* left, const float* right, int32 frames, std::string* error);
    // Closes the file and moves it to its path.
    bool Commit(std::string* error);
    // Closes the file and removes it, leaving the path as it was.
    void Discard();

    int64 Frames() const { return fFrames; }
    // Samples that were beyond full scale and were held at it (16-bit only).
    int64 Clipped() const { return fClipped; }
    // Samples that were not finite (NaN or infinite) and were written as silence.
    int64 NonFinite() const { return fNonFinite; }
    // Whether any sample written was loud enough to be heard in 16 bits.
    bool Sounded() const { return fSounded; }

  private:
    SNDFILE* fFile = nullptr;
    std::string fPath;
    std::string fTemporary;
    bool fFloat = false;
    int64 fFrames = 0;
    int64 fClipped = 0;
    int64 fNonFinite = 0;
    bool fSounded = false;
    std::vector<float> fInterleaved;
};
