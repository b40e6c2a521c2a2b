// FluidSynth playing queued events at their frames, on whichever one thread renders.
#pragma once

#include <fluidsynth/types.h>

#include <string>
#include <vector>

#include "platform/kernel/bounded_queue.h"
#include "platform/kernel/os.h"
#include "platform/media/frame_clock.h"
#include "platform/midi/synth_event.h"

// One rendering thread at a time; Load only while nobody renders. FluidSynth is built
// without its own locking, so this thread is the only one that touches it.
class SynthRenderer {
  public:
    // Any thread. Events waiting for a later buffer are kept up to pendingCapacity.
    SynthRenderer(int32 frameRate, int32 pendingCapacity);
    ~SynthRenderer();
    SynthRenderer(const SynthRenderer&) = delete;
    SynthRenderer& operator=(const SynthRenderer&) = delete;

    // The rendering thread while nobody renders. On failure problem names the path.
    status_t Load(const char* path, std::string* problem);
    // The rendering thread. Takes the queued events, then renders frames frames into left
    // and right, stride floats apart; the first is frame first of the stream clock times. A
    // message lands on the frame its time names on that clock, the same in real time as
    // offline. At one frame, events placed at it apply in the order they came; then timed
    // messages apply as a MIDI output sends one millisecond's: control changes, program
    // changes, note-ons, then note-offs, each kind in the order it came. Neither locks nor
    // allocates.
    void Render(BoundedQueue<synth_event>& queue, float* left, float* right, int32 stride,
                int32 frames, const FrameClock& clock, int64 first);

    // The rendering thread while nobody renders: drops the queued and waiting events and
    // starts a new synthesizer with the same SoundFont.
    void Reset(BoundedQueue<synth_event>& queue);
    // The rendering thread: frames rendered since the synthesizer was made; FluidSynth works
    // in blocks of 64 counted from there, and starts notes only at their starts.
    int64 Rendered() const { return fRendered; }

  private:
    void Drain(BoundedQueue<synth_event>& queue);
    int32 ApplyDue(int32 position, int32 frames, const FrameClock& clock, int64 first);
    static int64 Offset(const synth_event& event, const FrameClock& clock, int64 first);
    void Apply(const synth_event& event);
    void Write(float* left, float* right, int32 stride, int32 from, int32 to);

    std::string fLoaded;  // the SoundFont's path once loaded
    fluid_settings_t* fSettings = nullptr;
    fluid_synth_t* fSynth = nullptr;
    std::vector<synth_event> fPending;  // never grows past the capacity reserved at start
    int64 fRendered = 0;
};
