#include "platform/media/device_output.h"

#include <RtAudio.h>

#include <algorithm>
#include <iostream>
#include <streambuf>

#include "platform/kernel/os.h"
#include "platform/media/jack_server_probe.h"

namespace {

// A stream that has not called back by then never will.
constexpr bigtime_t kFirstCallWait = 1000000;

std::atomic<int64> errors{0};

// Swallows what is written to it.
class Silence : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
};

// RtAudio's JACK backend writes a line of its own to std::cerr when the server shuts its client
// down; the output's own line says what happened and what plays now. Nothing else here writes
// to std::cerr.
std::streambuf* QuietCerr() {
    static Silence silence;
    return std::cerr.rdbuf(&silence);
}

// Without a handler RtAudio throws from its own thread, which would end the program; what
// it reports while playing (a write to a server that went away) tells that the stream died.
void CountError(RtAudioError::Type, const std::string&) {
    errors.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

DeviceOutput::DeviceOutput(SoundMixer& mixer) : fMixer(mixer) {}

DeviceOutput::~DeviceOutput() {
    Stop();
}

int64 DeviceOutput::Errors() {
    return errors.load(std::memory_order_relaxed);
}

status_t DeviceOutput::Start(const char* api, int32 frames, std::string* reason) {
    RtAudio::Api chosen = RtAudio::getCompiledApiByName(api);
    if (chosen == RtAudio::UNSPECIFIED) {
        *reason = "not built into RtAudio";
        return B_NOT_SUPPORTED;
    }
    if (chosen == RtAudio::UNIX_JACK && !JackServerProbe::Running()) {
        *reason = "no server running";
        return B_ERROR;
    }
    try {
        auto audio = std::make_unique<RtAudio>(chosen);
        audio->showWarnings(false);
        if (audio->getDeviceCount() == 0) {
            *reason = "no output device";
            return B_ERROR;
        }
        if (chosen == RtAudio::UNIX_JACK && fCerr == nullptr) fCerr = QuietCerr();
        Open(*audio, frames);
        fCallbacks = 0;
        fErrorsAtStart = Errors();
        fLive = true;
        fAudio = std::move(audio);
        fAudio->startStream();
    } catch (const RtAudioError& error) {
        *reason = error.what();
        Stop();
        return B_ERROR;
    }
    if (!WaitForFirstCall()) {
        *reason = "the stream did not start playing";
        Stop();
        return B_ERROR;
    }
    return B_OK;
}

void DeviceOutput::Stop() {
    if (fAudio == nullptr) return;
    fLive = false;
    try {
        if (fAudio->isStreamRunning()) fAudio->stopStream();
    } catch (const RtAudioError&) {
        // A stream that failed is closed all the same.
    }
    // RtAudio does not promise its thread has left the callback when stopStream returns.
    fUse.WaitUntilOutside();
    fAudio.reset();
    if (fCerr != nullptr) std::cerr.rdbuf(fCerr);
    fCerr = nullptr;
}

void DeviceOutput::Open(RtAudio& audio, int32 frames) {
    RtAudio::StreamParameters parameters;
    parameters.deviceId = audio.getDefaultOutputDevice();
    parameters.nChannels = SoundMixer::kChannels;
    RtAudio::StreamOptions options;
    options.streamName = "Velloran";
    // Asked for a size, since "let the device choose" gets buffers of 0 frames from some
    // servers; the size granted is the one used.
    auto granted = unsigned(frames);
    audio.openStream(&parameters, nullptr, RTAUDIO_FLOAT32, SoundMixer::kFrameRate, &granted, Play,
                     this, &options, CountError);
    if (!audio.isStreamOpen()) throw RtAudioError("the device did not open");
    if (granted == 0) throw RtAudioError("the device offered buffers of 0 frames");
    fBufferFrames = int32(granted);
}

bool DeviceOutput::WaitForFirstCall() const {
    for (bigtime_t waited = 0; waited < kFirstCallWait; waited += 1000) {
        if (Callbacks() > 0) return true;
        snooze(1000);
    }
    return Callbacks() > 0;
}

int DeviceOutput::Play(void* output, void*, unsigned int frames, double, unsigned int status,
                       void* data) {
    auto* self = static_cast<DeviceOutput*>(data);
    auto* out = static_cast<float*>(output);
    if (frames == 0) return 0;
    self->fUse.Enter();
    if ((status & RTAUDIO_OUTPUT_UNDERFLOW) != 0) self->fMixer.CountUnderflow();
    if (self->fLive.load() && Errors() == self->fErrorsAtStart) {
        self->fMixer.Mix(out, int32(frames));
    } else {
        std::fill_n(out, frames * SoundMixer::kChannels, 0.0f);
    }
    self->fCallbacks.fetch_add(1, std::memory_order_relaxed);
    self->fUse.Leave();
    return 0;
}
