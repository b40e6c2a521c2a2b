// A sound device opened through RtAudio; its own thread asks for the mixed frames.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/media/sound_mixer.h"
#include "platform/media/use_counter.h"

class RtAudio;

// The thread that starts and stops it; the mixing runs on the device's thread.
class DeviceOutput {
  public:
    // Any thread.
    explicit DeviceOutput(SoundMixer& mixer);
    // The controlling thread. Stops it first.
    ~DeviceOutput();
    DeviceOutput(const DeviceOutput&) = delete;
    DeviceOutput& operator=(const DeviceOutput&) = delete;

    // The controlling thread, while stopped. Plays to the default output of api ("pulse",
    // "alsa", "jack"); on failure *reason says why.
    status_t Start(const char* api, std::string* reason);
    // The controlling thread. Once it returns the device's thread no longer mixes.
    void Stop();
    // The controlling thread: frames the device asks for at a time.
    int32 BufferFrames() const { return fBufferFrames; }

  private:
    static int Play(void* output, void* input, unsigned int frames, double streamTime,
                    unsigned int status, void* data);
    void Open(RtAudio& audio);

    SoundMixer& fMixer;
    std::unique_ptr<RtAudio> fAudio;
    // Whether the device's thread may mix; the counter tells when it has stopped doing so.
    std::atomic<bool> fLive{false};
    UseCounter fUse;
    int32 fBufferFrames = 0;
};
