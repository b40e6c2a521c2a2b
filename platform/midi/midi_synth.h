// "Internal Synth": plays the messages it consumes through FluidSynth and a General MIDI
// SoundFont, into the process's one sound output.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/kernel/bounded_queue.h"
#include "platform/media/frame_clock.h"
#include "platform/media/sound_player.h"
#include "platform/midi/midi.h"
#include "platform/midi/synth_event.h"

class SynthRenderer;

// Any thread sends; one controlling thread at a time loads, enables and renders offline.
// Messages reach the sound callback through a lock-free queue, best ahead of their time, and
// start at the frame of the output stream their time names on the output's frame clock (the
// same arithmetic offline); FluidSynth starts notes on its 64-frame grid.
class BMidiSynth : public BMidi {
  public:
    // The most messages waiting for the sound callback; more are dropped and counted.
    static constexpr int32 kQueueCapacity = 4096;
    // FluidSynth renders in blocks this long and starts notes only where one begins.
    static constexpr int32 kBlockFrames = 64;

    // Any thread.
    BMidiSynth();
    // Any thread, as ~BMidi.
    ~BMidiSynth() override;

    // The controlling thread. With loadSynthFile and no SoundFont yet, loads the one at
    // SoundFontPath(); then starts (enable) or stops the live sound. A SoundFont that does not
    // load gives its error and ErrorText(), and the synth goes on, silent.
    status_t EnableInput(bool enable, bool loadSynthFile);
    // Any thread.
    bool IsLoaded() const { return fLoaded.load(); }
    // Any thread.
    bool IsLive() const { return fLive.load(); }
    // Any thread: a frame of the sound output at which one of the live synthesizer's blocks
    // begins, or -1 before it has played. A song started on its block grid places notes in
    // the blocks an offline render from a fresh synthesizer does.
    int64 BlockStartFrame() const { return fBlockStart.load(); }
    // The controlling thread, after a failed call: the text for the user.
    const char* ErrorText() const { return fErrorText.c_str(); }
    // Any thread. VELLORAN_SOUNDFONT when set, else the system's General MIDI SoundFont.
    static std::string SoundFontPath();

    // Any thread, the sound callback included: the messages neither lock nor allocate.
    void NoteOff(uchar channel, uchar note, uchar velocity, uint32 time = B_NOW) override;
    // Any thread.
    void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time = B_NOW) override;
    // Any thread.
    void ControlChange(uchar channel, uchar controlNumber, uchar controlValue,
                       uint32 time = B_NOW) override;
    // Any thread.
    void ProgramChange(uchar channel, uchar programNumber, uint32 time = B_NOW) override;

    // Any thread. Plays a raw channel message (note off or on, control or program change, the
    // channel less one in the status byte) frame frames into the next rendered buffer.
    // B_BAD_VALUE for other messages, B_NO_MEMORY while the queue is full.
    status_t QueueMessage(int32 frame, uchar status, uchar data1, uchar data2 = 0);
    // The controlling thread while the live sound is off (else B_NOT_ALLOWED): renders frames
    // frames into left and right for offline use, applying each message at its frame. start
    // is the time of the first frame in microseconds (see system_time), by default now; or
    // the first frame is frame first of clock.
    status_t RenderFrames(float* left, float* right, int32 frames, bigtime_t start);
    status_t RenderFrames(float* left, float* right, int32 frames);
    status_t RenderFrames(float* left, float* right, int32 frames, const FrameClock& clock,
                          int64 first);
    // The controlling thread while the live sound is off (else B_NOT_ALLOWED): drops every
    // waiting message and silences the synthesizer, so that what is rendered next does not
    // depend on what came before.
    status_t Reset();

  private:
    static void PlayBuffer(void* synth, void* buffer, size_t size,
                           const media_raw_audio_format& format);
    void Queue(uchar kind, uchar channel, uchar data1, uchar data2, uint32 time);
    status_t StartSound();
    void StopSound();

    BoundedQueue<synth_event> fQueue;
    std::unique_ptr<SynthRenderer> fRenderer;
    BSoundPlayer fPlayer;
    std::atomic<bool> fLoaded{false};
    std::atomic<bool> fLive{false};
    std::atomic<int64> fBlockStart{-1};
    std::string fErrorText;
};
