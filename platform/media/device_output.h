// A sound device opened through RtAudio; its own thread asks for the mixed frames.
#pragma once

#include <atomic>
#include <memory>
#include <streambuf>
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

    // The controlling thread, while stopped. Plays to the default output of api ("jack",
    // "pulse", "alsa") in buffers of about frames frames; only a stream that has called back
    // counts as playing. On failure *reason says why.
    status_t Start(const char* api, int32 frames, std::string* reason);
    // The controlling thread. Once it returns the device's thread no longer mixes.
    void Stop();
    // The controlling thread: frames the device asks for at a time.
    int32 BufferFrames() const { return fBufferFrames; }
    // Any thread: buffers the device has asked for since it started.
    int64 Callbacks() const { return fCallbacks.load(std::memory_order_relaxed); }
    // Any thread: errors RtAudio has reported from any stream (its error hook knows no stream).
    static int64 Errors();

  private:
    static int Play(void* output, void* input, unsigned int frames, double streamTime,
                    unsigned int status, void* data);
    void Open(RtAudio& audio, int32 frames);
    bool WaitForFirstCall() const;

    SoundMixer& fMixer;
    std::unique_ptr<RtAudio> fAudio;
    // Whether the device's thread may mix; the counter tells when it has stopped doing so.
    std::atomic<bool> fLive{false};
    std::atomic<int64> fCallbacks{0};
    // Once RtAudio reports an error the stream is dying: it is no longer mixed into, so a
    // server that fails every write at once cannot rush the song ahead.
    int64 fErrorsAtStart = 0;
    UseCounter fUse;
    int32 fBufferFrames = 0;
    std::streambuf* fCerr = nullptr;  // std::cerr's own, while a JACK stream keeps it quiet
};
