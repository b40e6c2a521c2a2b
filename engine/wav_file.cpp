#include "engine/wav_file.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// One step of 16-bit sound: FluidSynth's effects leave a trace far below it in silence.
constexpr float kAudible = 1.0f / 32768;

std::string SoundFileError(SNDFILE* file) {
    return sf_strerror(file);
}

}  // namespace

bool WavFile::Create(const std::string& path, bool floatSamples, std::string* error) {
    fPath = path;
    fTemporary = path + ".part";
    fFloat = floatSamples;
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | (floatSamples ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
    fFile = sf_open(fTemporary.c_str(), SFM_WRITE, &info);
    if (fFile == nullptr) {
        *error = "Can't write " + path + ": " + SoundFileError(nullptr);
        return false;
    }
    // Without it a sample past full scale would wrap round to the other side.
    if (!floatSamples) sf_command(fFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // A float file's peak chunk carries the time of writing: two renders of one song would
    // differ in it.
    if (floatSamples) sf_command(fFile, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    return true;
}

WavFile::~WavFile() {
    Discard();
}

bool WavFile::Write(const float* left, const float* right, int32 frames, std::string* error) {
    fInterleaved.resize(size_t(frames) * 2);
    for (int32 f = 0; f < frames; f++) {
        fInterleaved[2 * size_t(f)] = left[f];
        fInterleaved[2 * size_t(f) + 1] = right[f];
    }
    for (float& sample : fInterleaved) {
        if (!std::isfinite(sample)) {
            sample = 0.0f;
            fNonFinite++;
        }
        fSounded = fSounded || std::fabs(sample) >= kAudible;
        if (!fFloat && std::fabs(sample) > 1.0f) fClipped++;
    }
    if (sf_writef_float(fFile, fInterleaved.data(), frames) != frames) {
        *error = "Can't write " + fPath + ": " + SoundFileError(fFile);
        return false;
    }
    fFrames += frames;
    return true;
}

bool WavFile::Commit(std::string* error) {
    int closed = sf_close(fFile);
    fFile = nullptr;
    if (closed != 0) {
        *error = "Can't write " + fPath + ": " + sf_error_number(closed);
    } else if (std::rename(fTemporary.c_str(), fPath.c_str()) != 0) {
        *error = "Can't write " + fPath + ": " + std::strerror(errno);
    } else {
        fTemporary.clear();
        return true;
    }
    Discard();
    return false;
}

void WavFile::Discard() {
    if (fFile != nullptr) sf_close(fFile);
    fFile = nullptr;
    if (!fTemporary.empty()) unlink(fTemporary.c_str());
    fTemporary.clear();
}
