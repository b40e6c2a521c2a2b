// The one sound output of the process: every started player mixed into one stream of
// 44100 frames/s interleaved stereo float, played by a device or by the null output.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/media/device_output.h"
#include "platform/media/frame_clock.h"
#include "platform/media/null_output.h"
#include "platform/media/sound_mixer.h"

class BSoundPlayer;

// Any thread; it lives until the program ends.
class SoundOutput {
  public:
    // Told, on a thread of its own, why the device stopped playing.
    using LossHandler = void (*)(const char* text);

    static constexpr int32 kDefaultBufferFrames = 512;
    static constexpr int32 kMinBufferFrames = 64;
    static constexpr int32 kMaxBufferFrames = 4096;

    // Any thread. Made on first use and played through what VELLORAN_AUDIO names: auto (the
    // default: jack when a server runs, then pulse, then alsa), jack, pulse, alsa or null.
    // When no device opens the null output plays, and standard error is told so once.
    static SoundOutput& Default();
    // At exit.
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Any thread: the buffer size asked of every device: VELLORAN_BUFFER frames where set,
    // kept to 64..4096, else 512.
    static int32 WantedBufferFrames();

    // Any thread: "jack", "pulse", "alsa", "null", "manual", or "none" when even the null
    // output could not start.
    const char* BackendName() const { return fBackend.load(); }
    // Any thread: the frames the device or null output asks for at a time.
    int32 BufferFrames() const { return fBufferFrames.load(); }
    // Any thread: the frames mixed so far, by Render too; inside a routine, the number of the
    // first frame of the piece it plays.
    bigtime_t FramesPlayed() const { return fMixer.FramesMixed(); }
    // Any thread: underflows the device reported, and times the null output fell behind.
    int64 Underflows() const { return fMixer.Underflows(); }
    // Any thread: samples that were not finite and were played as silence, by Render too.
    int64 SilencedSamples() const { return fMixer.Silenced(); }
    // Any thread but a routine's (B_NOT_ALLOWED). Manual mode stops the device or null output;
    // leaving it chooses and starts one again.
    status_t SetManual(bool manual);
    // Any thread.
    bool IsManual() const { return fManual.load(); }
    // Any thread but a routine's, in manual mode (else B_NOT_ALLOWED): mixes frames
    // interleaved frames of the started players into out on this thread.
    status_t Render(float* out, int32 frames);

    // Any thread, a routine's included: when each frame sounds. Anchored to the platform
    // clock whenever a device or the null output starts (not when one takes over from a
    // device that stopped); the player moves it when a song starts. In manual mode frames
    // pass as the caller renders them, so the caller keeps it.
    FrameClock Clock() const { return fClock.Get(); }
    // One thread at a time, never a routine's.
    void SetClock(const FrameClock& clock) { fClock.Set(clock); }

    // Any thread. Installs what hears of a device that stopped playing (nullptr: nobody).
    void SetLossHandler(LossHandler handler) { fLossHandler.store(handler); }

  private:
    friend class BSoundPlayer;

    SoundOutput();
    int32 AddPlayer(BSoundPlayer* player) { return fMixer.Attach(player); }
    void RemovePlayer(int32 slot) { fMixer.Detach(slot); }
    status_t StartPlaying();
    void StopPlaying();
    status_t StartNull();
    void SayNoDevice(const std::string& reasons);
    void StartWatching();
    void StopWatching();
    void Watch();
    bool DeviceStalled(int64* callbacks, bigtime_t* lastCall, int64 errors, bool starting) const;
    void FallBack();

    SoundMixer fMixer;
    DeviceOutput fDevice;
    NullOutput fNull;
    SharedFrameClock fClock;
    // Serialises the changes of mode and Render; the mixer never takes it.
    std::mutex fControlLock;
    std::atomic<const char*> fBackend{"none"};
    std::atomic<int32> fBufferFrames{0};
    std::atomic<bool> fManual{false};
    std::atomic<LossHandler> fLossHandler{nullptr};
    bool fSaidNoDevice = false;
    // The watcher notices a device that stopped calling back or reports errors.
    std::thread fWatcher;
    std::mutex fWatchLock;
    std::condition_variable fWatchWake;
    bool fWatching = false;  // guarded by fWatchLock
};
