// Plays to nowhere, in real time: where there is no sound device, its thread keeps the players
// running at the pace a device would.
#pragma once

#include "platform/kernel/os.h"
#include "platform/media/sound_mixer.h"

// The thread that starts and stops it; the mixing runs on a thread of its own.
class NullOutput {
  public:
    static constexpr int32 kBufferFrames = 512;

    // Any thread.
    explicit NullOutput(SoundMixer& mixer) : fMixer(mixer) {}
    // The controlling thread. Stops it first.
    ~NullOutput();
    NullOutput(const NullOutput&) = delete;
    NullOutput& operator=(const NullOutput&) = delete;

    // The controlling thread, while stopped.
    status_t Start();
    // The controlling thread. Once it returns the thread has ended.
    void Stop();

  private:
    static int32 Run(void* data);
    void Loop();

    SoundMixer& fMixer;
    thread_id fThread = -1;
    float fBuffer[kBufferFrames * SoundMixer::kChannels] = {};
};
