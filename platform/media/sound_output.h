// The one sound output of the process: every started player mixed into one stream of
// 44100 frames/s interleaved stereo float, played by a device or by the null output.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "platform/media/device_output.h"
#include "platform/media/null_output.h"
#include "platform/media/sound_mixer.h"

class BSoundPlayer;

// Any thread; it lives until the program ends.
class SoundOutput {
  public:
    // Any thread. Made on first use and played through what VELLORAN_AUDIO names: auto (the
    // default: pulse, then alsa, then jack), pulse, alsa, jack or null. When no device opens
    // the null output plays, and standard error is told so once.
    static SoundOutput& Default();
    // At exit.
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Any thread: "pulse", "alsa", "jack", "null", "manual", or "none" when even the null
    // output could not start.
    const char* BackendName() const { return fBackend.load(); }
    // Any thread: the frames the device or null output asks for at a time.
    int32 BufferFrames() const { return fBufferFrames.load(); }
    // Any thread: the frames mixed so far, by Render too.
    bigtime_t FramesPlayed() const { return fMixer.FramesMixed(); }
    // Any thread but a routine's (B_NOT_ALLOWED). Manual mode stops the device or null output;
    // leaving it chooses and starts one again.
    status_t SetManual(bool manual);
    // Any thread.
    bool IsManual() const { return fManual.load(); }
    // Any thread but a routine's, in manual mode (else B_NOT_ALLOWED): mixes frames
    // interleaved frames of the started players into out on this thread.
    status_t Render(float* out, int32 frames);

  private:
    friend class BSoundPlayer;

    SoundOutput();
    int32 AddPlayer(BSoundPlayer* player) { return fMixer.Attach(player); }
    void RemovePlayer(int32 slot) { fMixer.Detach(slot); }
    status_t StartPlaying();
    void StopPlaying();
    void SayNoDevice(const std::string& reasons);

    SoundMixer fMixer;
    DeviceOutput fDevice;
    NullOutput fNull;
    // Serialises the changes of mode and Render; the mixer never takes it.
    std::mutex fControlLock;
    std::atomic<const char*> fBackend{"none"};
    std::atomic<int32> fBufferFrames{0};
    std::atomic<bool> fManual{false};
    bool fSaidNoDevice = false;
};
