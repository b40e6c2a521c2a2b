#include "platform/media/sound_output.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kDeviceApis[] = {"pulse", "alsa", "jack"};

// The device APIs VELLORAN_AUDIO asks for, best first: none for null, nor for a name that is
// not known, which *reasons then explains.
std::vector<const char*> DeviceChoices(std::string* reasons) {
    const char* wanted = getenv("VELLORAN_AUDIO");
    if (wanted == nullptr || *wanted == '\0' || strcmp(wanted, "auto") == 0) {
        return {std::begin(kDeviceApis), std::end(kDeviceApis)};
    }
    for (const char* api : kDeviceApis) {
        if (strcmp(wanted, api) == 0) return {api};
    }
    if (strcmp(wanted, "null") == 0) return {};
    *reasons = std::string("VELLORAN_AUDIO=") + wanted + " unknown";
    return {};
}

}  // namespace

SoundOutput& SoundOutput::Default() {
    static SoundOutput output;
    return output;
}

SoundOutput::SoundOutput() : fDevice(fMixer), fNull(fMixer) {
    StartPlaying();
}

SoundOutput::~SoundOutput() {
    std::lock_guard lock(fControlLock);
    StopPlaying();
}

status_t SoundOutput::SetManual(bool manual) {
    if (SoundMixer::InsideMix()) return B_NOT_ALLOWED;
    std::lock_guard lock(fControlLock);
    if (manual == fManual) return B_OK;
    fManual = manual;
    if (!manual) return StartPlaying();
    StopPlaying();
    fBackend = "manual";
    return B_OK;
}

status_t SoundOutput::Render(float* out, int32 frames) {
    if (frames < 0 || (out == nullptr && frames > 0)) return B_BAD_VALUE;
    if (SoundMixer::InsideMix()) return B_NOT_ALLOWED;
    std::lock_guard lock(fControlLock);
    if (!fManual) return B_NOT_ALLOWED;
    fMixer.Mix(out, frames);
    return B_OK;
}

status_t SoundOutput::StartPlaying() {
    std::string reasons;
    for (const char* api : DeviceChoices(&reasons)) {
        std::string reason;
        if (fDevice.Start(api, &reason) == B_OK) {
            fBackend = api;
            fBufferFrames = fDevice.BufferFrames();
            return B_OK;
        }
        reasons += (reasons.empty() ? "" : "; ") + std::string(api) + ": " + reason;
    }
    if (!reasons.empty()) SayNoDevice(reasons);
    status_t status = fNull.Start();
    fBackend = status == B_OK ? "null" : "none";
    fBufferFrames = NullOutput::kBufferFrames;
    return status;
}

void SoundOutput::StopPlaying() {
    fDevice.Stop();
    fNull.Stop();
}

void SoundOutput::SayNoDevice(const std::string& reasons) {
    if (fSaidNoDevice) return;
    fSaidNoDevice = true;
    fprintf(stderr, "Velloran: no sound device (%s); playing to a null output\n", reasons.c_str());
}
