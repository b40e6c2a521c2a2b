#include "platform/media/device_output.h"

#include <RtAudio.h>

#include <algorithm>

namespace {

// RtAudio's usual size, for devices that refuse to choose one themselves.
constexpr unsigned int kFallbackFrames = 512;

// Without a handler RtAudio throws from its own thread, which would end the program.
void IgnoreError(RtAudioError::Type, const std::string&) {}

}  // namespace

DeviceOutput::DeviceOutput(SoundMixer& mixer) : fMixer(mixer) {}

DeviceOutput::~DeviceOutput() {
    Stop();
}

status_t DeviceOutput::Start(const char* api, std::string* reason) {
    RtAudio::Api chosen = RtAudio::getCompiledApiByName(api);
    if (chosen == RtAudio::UNSPECIFIED) {
        *reason = "not built into RtAudio";
        return B_NOT_SUPPORTED;
    }
    try {
        auto audio = std::make_unique<RtAudio>(chosen);
        audio->showWarnings(false);
        if (audio->getDeviceCount() == 0) {
            *reason = "no output device";
            return B_ERROR;
        }
        Open(*audio);
        fLive = true;
        audio->startStream();
        fAudio = std::move(audio);
    } catch (const RtAudioError& error) {
        fLive = false;
        *reason = error.what();
        return B_ERROR;
    }
    return B_OK;
}

void DeviceOutput::Stop() {
    if (fAudio == nullptr) return;
    fLive = false;
    try {
        fAudio->stopStream();
    } catch (const RtAudioError&) {
        // A stream that failed is closed all the same.
    }
    // RtAudio does not promise its thread has left the callback when stopStream returns.
    fUse.WaitUntilOutside();
    fAudio.reset();
}

void DeviceOutput::Open(RtAudio& audio) {
    RtAudio::StreamParameters parameters;
    parameters.deviceId = audio.getDefaultOutputDevice();
    parameters.nChannels = SoundMixer::kChannels;
    RtAudio::StreamOptions options;
    options.streamName = "Velloran";
    unsigned int frames = 0;
    try {
        audio.openStream(&parameters, nullptr, RTAUDIO_FLOAT32, SoundMixer::kFrameRate, &frames,
                         Play, this, &options, IgnoreError);
    } catch (const RtAudioError&) {
        frames = kFallbackFrames;
        audio.openStream(&parameters, nullptr, RTAUDIO_FLOAT32, SoundMixer::kFrameRate, &frames,
                         Play, this, &options, IgnoreError);
    }
    if (!audio.isStreamOpen()) throw RtAudioError("the device did not open");
    fBufferFrames = int32(frames);
}

int DeviceOutput::Play(void* output, void*, unsigned int frames, double, unsigned int, void* data) {
    auto* self = static_cast<DeviceOutput*>(data);
    auto* out = static_cast<float*>(output);
    self->fUse.Enter();
    if (self->fLive.load()) {
        self->fMixer.Mix(out, int32(frames));
    } else {
        std::fill_n(out, frames * SoundMixer::kChannels, 0.0f);
    }
    self->fUse.Leave();
    return 0;
}
