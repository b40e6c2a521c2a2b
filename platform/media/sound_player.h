// A source of sound: a routine that fills buffers, mixed with the other players into the one
// sound output of the process.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "platform/media/media_raw_audio_format.h"

// What the notifier is told, with the player as the one further argument.
enum : int32 {
    B_STARTED = 1,
    B_STOPPED = 2,
};

// Any thread controls it; the routine runs on the sound thread and must not lock, allocate,
// log or wait.
class BSoundPlayer {
  public:
    using BufferPlayer = void (*)(void* cookie, void* buffer, size_t size,
                                  const media_raw_audio_format& format);
    using EventNotifier = void (*)(void* cookie, int32 what, ...);

    // Any thread. Only 44100 frames/s stereo float in host byte order plays; a null format
    // means that one. The buffer size is a hint: routines get what the device asks for.
    BSoundPlayer(const media_raw_audio_format* format, const char* name, BufferPlayer playBuffer,
                 EventNotifier notifier = nullptr, void* cookie = nullptr);
    // Any thread but its routine's. Stops it first.
    ~BSoundPlayer();
    BSoundPlayer(const BSoundPlayer&) = delete;
    BSoundPlayer& operator=(const BSoundPlayer&) = delete;

    // Any thread. B_NOT_SUPPORTED for another format, B_BAD_VALUE without a routine or with
    // a buffer size that is not whole frames.
    status_t InitCheck() const { return fInitStatus; }
    // Any thread. The first start in the process opens the sound output. B_NO_MEMORY when
    // SoundMixer::kMaxPlayers players play already.
    status_t Start();
    // Any thread. Once it returns, the routine is not running and is not called again; from
    // a routine it does not wait, since nothing else can be mixing then.
    void Stop();
    // Any thread. A player without data is silent and its routine is not called; it has data
    // until told otherwise.
    void SetHasData(bool hasData) { fHasData.store(hasData, std::memory_order_relaxed); }
    // Any thread.
    bool HasData() const { return fHasData.load(std::memory_order_relaxed); }
    // Any thread. The linear gain the mixer applies, 1 at first; below 0 or NaN counts as 0.
    void SetVolume(float volume);
    // Any thread.
    float Volume() const { return fVolume.load(std::memory_order_relaxed); }
    // Any thread.
    media_raw_audio_format Format() const { return fFormat; }
    // Any thread.
    const char* Name() const { return fName.c_str(); }

  private:
    friend class SoundMixer;

    // The sound thread: frames interleaved frames into buffer.
    void PlayBuffer(float* buffer, int32 frames);
    std::unique_lock<std::mutex> LockControl();
    void Notify(int32 what);

    const media_raw_audio_format fFormat;
    const std::string fName;
    const BufferPlayer fPlayBuffer;
    const EventNotifier fNotifier;
    void* const fCookie;
    const status_t fInitStatus;
    std::atomic<bool> fHasData{true};
    std::atomic<float> fVolume{1.0f};
    // Serialises Start and Stop; the mixer never takes it.
    std::mutex fControlLock;
    int32 fSlot = -1;
};
