#include "platform/midi/synth_renderer.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/kernel/os.h"
#include "platform/midi/midi.h"

namespace {

constexpr double kGain = 0.5;

// FluidSynth would otherwise print from the sound thread.
void QuietFluidSynth() {
    static const bool quiet = [] {
        for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
            fluid_set_log_function(level, nullptr, nullptr);
        }
        return true;
    }();
    (void)quiet;
}

status_t StatusFor(int error) {
    if (error == ENOENT || error == ENOTDIR) return B_ENTRY_NOT_FOUND;
    if (error == EACCES || error == EPERM) return B_NOT_ALLOWED;
    return B_IO_ERROR;
}

}  // namespace

SynthRenderer::SynthRenderer(int32 frameRate, int32 pendingCapacity) {
    QuietFluidSynth();
    fPending.reserve(size_t(pendingCapacity));
    fSettings = new_fluid_settings();
    if (fSettings == nullptr) return;
    fluid_settings_setnum(fSettings, "synth.sample-rate", frameRate);
    fluid_settings_setint(fSettings, "synth.threadsafe-api", 0);
    // FluidSynth's own default (0.2) leaves a General MIDI song some 35 dB below full scale.
    fluid_settings_setnum(fSettings, "synth.gain", kGain);
    fSynth = new_fluid_synth(fSettings);
}

SynthRenderer::~SynthRenderer() {
    if (fSynth != nullptr) delete_fluid_synth(fSynth);
    if (fSettings != nullptr) delete_fluid_settings(fSettings);
}

status_t SynthRenderer::Load(const char* path, std::string* problem) {
    std::string name = std::string("The SoundFont ") + path;
    if (fSynth == nullptr) {
        *problem = "The synthesizer could not be started, so " + name + " was not loaded.";
        return B_NO_MEMORY;
    }
    if (access(path, R_OK) != 0) {
        int error = errno;
        *problem = name + " can't be read: " + std::strerror(error) + ".";
        return StatusFor(error);
    }
    if (!fluid_is_soundfont(path)) {
        *problem = name + " is not a SoundFont.";
        return B_BAD_DATA;
    }
    if (fluid_synth_sfload(fSynth, path, 1) == FLUID_FAILED) {
        *problem = name + " is damaged and can't be loaded.";
        return B_BAD_DATA;
    }
    fLoaded = path;
    return B_OK;
}

void SynthRenderer::Render(BoundedQueue<synth_event>& queue, float* left, float* right,
                           int32 stride, int32 frames, const FrameClock& clock, int64 first) {
    Drain(queue);
    int32 position = 0;
    while (position < frames) {
        int32 next = ApplyDue(position, frames, clock, first);
        Write(left, right, stride, position, next);
        position = next;
    }
    fRendered += frames;
    for (synth_event& event : fPending) {
        if (event.atFrame) event.due -= frames;
    }
}

void SynthRenderer::Reset(BoundedQueue<synth_event>& queue) {
    synth_event event;
    while (queue.Pop(&event)) {
    }
    fPending.clear();
    fRendered = 0;
    // A reset keeps the effects' tails and the place in FluidSynth's 64-frame blocks, which
    // notes start on: only a new synthesizer sounds the same whatever came before.
    if (fSynth == nullptr) return;
    delete_fluid_synth(fSynth);
    fSynth = new_fluid_synth(fSettings);
    if (fSynth != nullptr && !fLoaded.empty()) fluid_synth_sfload(fSynth, fLoaded.c_str(), 1);
}

void SynthRenderer::Drain(BoundedQueue<synth_event>& queue) {
    synth_event event;
    while (fPending.size() < fPending.capacity() && queue.Pop(&event)) fPending.push_back(event);
}

// Applies the events due by position: those placed at a frame in the order they came, then
// timed ones kind by kind; returns the next one's frame.
int32 SynthRenderer::ApplyDue(int32 position, int32 frames, const FrameClock& clock, int64 first) {
    for (const synth_event& event : fPending) {
        if (event.atFrame && event.due <= position) Apply(event);
    }
    for (uint8 kind : {kControlChange, kProgramChange, kNoteOn, kNoteOff}) {
        for (const synth_event& event : fPending) {
            if (!event.atFrame && (event.status & 0xF0) == kind &&
                Offset(event, clock, first) <= position) {
                Apply(event);
            }
        }
    }
    int64 next = frames;
    size_t kept = 0;
    for (const synth_event& event : fPending) {
        int64 offset = Offset(event, clock, first);
        if (offset > position) {
            next = std::min(next, offset);
            fPending[kept++] = event;
        }
    }
    fPending.resize(kept);
    return int32(next);
}

int64 SynthRenderer::Offset(const synth_event& event, const FrameClock& clock, int64 first) {
    if (event.atFrame) return event.due;
    if (event.due == 0) return 0;
    // Message times wrap every 49 days; the difference says which side of now it is.
    const bigtime_t nowMs = clock.TimeOf(first) / 1000;
    const int32 aheadMs = int32(uint32(event.due) - uint32(nowMs));
    return std::max<int64>(0, clock.FrameAt((nowMs + aheadMs) * 1000) - first);
}

void SynthRenderer::Apply(const synth_event& event) {
    if (fSynth == nullptr) return;
    int channel = event.status & 0x0F;
    switch (event.status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(fSynth, channel, event.data1);
            break;
        case 0x90:
            fluid_synth_noteon(fSynth, channel, event.data1, event.data2);
            break;
        case 0xB0:
            fluid_synth_cc(fSynth, channel, event.data1, event.data2);
            break;
        case 0xC0:
            fluid_synth_program_change(fSynth, channel, event.data1);
            break;
    }
}

void SynthRenderer::Write(float* left, float* right, int32 stride, int32 from, int32 to) {
    if (to <= from) return;
    if (fSynth != nullptr && fluid_synth_write_float(fSynth, to - from, left, from * stride, stride,
                                                     right, from * stride, stride) == FLUID_OK) {
        return;
    }
    for (int32 frame = from; frame < to; frame++) {
        left[frame * stride] = 0;
        right[frame * stride] = 0;
    }
}
