#include "platform/media/sound_output.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// JACK only when a server runs: RtAudio never starts one.
constexpr const char* kDeviceApis[] = {"jack", "pulse", "alsa"};
constexpr auto kWatchPeriod = std::chrono::milliseconds(50);
// A device that has not asked for frames for this long, or eight of its buffers, is gone;
// PulseAudio holds a new stream back for about 0.6 s once its first buffers are in.
constexpr bigtime_t kStallLimit = 500000;
constexpr bigtime_t kStartStallLimit = 2000000;
constexpr bigtime_t kStartTime = 3000000;

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

// libasound prints its complaints itself, a dozen lines on a machine without a card; what
// matters reaches the user through our own line.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

SoundOutput& SoundOutput::Default() {
    static SoundOutput output;
    return output;
}

SoundOutput::SoundOutput() : fDevice(fMixer), fNull(fMixer) {
    snd_lib_error_set_handler(QuietAlsa);
    StartPlaying();
}

SoundOutput::~SoundOutput() {
    std::lock_guard lock(fControlLock);
    StopPlaying();
}

int32 SoundOutput::WantedBufferFrames() {
    const char* wanted = getenv("VELLORAN_BUFFER");
    if (wanted == nullptr || *wanted == '\0') return kDefaultBufferFrames;
    char* end = nullptr;
    long frames = strtol(wanted, &end, 10);
    if (end == wanted || *end != '\0') return kDefaultBufferFrames;
    return int32(std::clamp<long>(frames, kMinBufferFrames, kMaxBufferFrames));
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
    // From here on frames pass as time does.
    fClock.Set({fMixer.FramesMixed(), system_time()});
    std::string reasons;
    for (const char* api : DeviceChoices(&reasons)) {
        std::string reason;
        if (fDevice.Start(api, WantedBufferFrames(), &reason) == B_OK) {
            fBackend = api;
            fBufferFrames = fDevice.BufferFrames();
            StartWatching();
            return B_OK;
        }
        reasons += (reasons.empty() ? "" : "; ") + std::string(api) + ": " + reason;
    }
    if (!reasons.empty()) SayNoDevice(reasons);
    return StartNull();
}

status_t SoundOutput::StartNull() {
    status_t status = fNull.Start();
    fBackend = status == B_OK ? "null" : "none";
    fBufferFrames = NullOutput::kBufferFrames;
    return status;
}

void SoundOutput::StopPlaying() {
    StopWatching();
    fDevice.Stop();
    fNull.Stop();
}

void SoundOutput::SayNoDevice(const std::string& reasons) {
    if (fSaidNoDevice) return;
    fSaidNoDevice = true;
    fprintf(stderr, "Velloran: no sound device (%s); playing to a null output\n", reasons.c_str());
}

void SoundOutput::StartWatching() {
    fWatching = true;
    fWatcher = std::thread(&SoundOutput::Watch, this);
}

void SoundOutput::StopWatching() {
    {
        std::lock_guard hold(fWatchLock);
        fWatching = false;
    }
    fWatchWake.notify_all();
    if (fWatcher.joinable()) fWatcher.join();
}

void SoundOutput::Watch() {
    int64 callbacks = fDevice.Callbacks();
    bigtime_t lastCall = system_time();
    const bigtime_t started = lastCall;
    const int64 errors = DeviceOutput::Errors();
    std::unique_lock lock(fWatchLock);
    while (fWatching) {
        fWatchWake.wait_for(lock, kWatchPeriod);
        const bool starting = system_time() - started < kStartTime;
        if (!fWatching || !DeviceStalled(&callbacks, &lastCall, errors, starting)) continue;
        lock.unlock();
        // Whoever holds the control lock is stopping the device and will end this thread.
        std::unique_lock control(fControlLock, std::try_to_lock);
        if (control.owns_lock()) FallBack();
        lock.lock();
        if (control.owns_lock()) fWatching = false;
    }
}

bool SoundOutput::DeviceStalled(int64* callbacks, bigtime_t* lastCall, int64 errors,
                                bool starting) const {
    const bigtime_t now = system_time();
    if (int64 calls = fDevice.Callbacks(); calls != *callbacks) {
        *callbacks = calls;
        *lastCall = now;
    }
    const bigtime_t limit =
        std::max(starting ? kStartStallLimit : kStallLimit,
                 bigtime_t(8) * fBufferFrames * 1000000 / SoundMixer::kFrameRate);
    return now - *lastCall > limit || DeviceOutput::Errors() != errors;
}

// The watcher, holding the control lock: the song plays on to nowhere rather than stopping.
void SoundOutput::FallBack() {
    const std::string api = fBackend.load();
    fDevice.Stop();
    char text[200];
    snprintf(text, sizeof text,
             "The sound output (%s) stopped playing; Velloran plays on to a null output.",
             api.c_str());
    fprintf(stderr, "Velloran: %s\n", text);
    StartNull();
    if (LossHandler handler = fLossHandler.load()) {
        std::string told = text;
        std::thread([handler, told] { handler(told.c_str()); }).detach();
    }
}
