#include "platform/midi/midi_synth.h"

#include <cstdlib>

#include "platform/media/sound_output.h"
#include "platform/midi/synth_renderer.h"

namespace {

constexpr char kGeneralMidiSoundFont[] = "/usr/share/sounds/sf2/default-GM.sf2";
constexpr int32 kChannels = 2;

}  // namespace

BMidiSynth::BMidiSynth()
    : fQueue(kQueueCapacity), fPlayer(nullptr, "Internal Synth", PlayBuffer, nullptr, this) {
    fRenderer = std::make_unique<SynthRenderer>(int32(fPlayer.Format().frame_rate), kQueueCapacity);
}

BMidiSynth::~BMidiSynth() {
    Unplug();
    StopSound();
}

std::string BMidiSynth::SoundFontPath() {
    const char* path = std::getenv("VELLORAN_SOUNDFONT");
    return path != nullptr && path[0] != '\0' ? path : kGeneralMidiSoundFont;
}

status_t BMidiSynth::EnableInput(bool enable, bool loadSynthFile) {
    status_t loaded = B_OK;
    if (loadSynthFile && !fLoaded.load()) {
        // FluidSynth takes no lock, so the sound callback must be out of the way.
        StopSound();
        loaded = fRenderer->Load(SoundFontPath().c_str(), &fErrorText);
        fLoaded.store(loaded == B_OK);
    }
    status_t played = B_OK;
    if (enable) {
        played = StartSound();
    } else {
        StopSound();
    }
    return loaded != B_OK ? loaded : played;
}

status_t BMidiSynth::StartSound() {
    status_t status = fPlayer.InitCheck();
    if (status == B_OK) status = fPlayer.Start();
    if (status != B_OK) {
        fErrorText =
            std::string("The internal synthesizer can't play: ") + strerror_status(status) + ".";
        return status;
    }
    fLive.store(true);
    return B_OK;
}

void BMidiSynth::StopSound() {
    fPlayer.Stop();
    fLive.store(false);
    fBlockStart.store(-1);
}

void BMidiSynth::NoteOff(uchar channel, uchar note, uchar velocity, uint32 time) {
    Queue(kNoteOff, channel, note, velocity, time);
}

void BMidiSynth::NoteOn(uchar channel, uchar note, uchar velocity, uint32 time) {
    Queue(kNoteOn, channel, note, velocity, time);
}

void BMidiSynth::ControlChange(uchar channel, uchar controlNumber, uchar controlValue,
                               uint32 time) {
    Queue(kControlChange, channel, controlNumber, controlValue, time);
}

void BMidiSynth::ProgramChange(uchar channel, uchar programNumber, uint32 time) {
    Queue(kProgramChange, channel, programNumber, 0, time);
}

void BMidiSynth::Queue(uchar kind, uchar channel, uchar data1, uchar data2, uint32 time) {
    if (channel < 1 || channel > 16) return;
    synth_event event;
    event.due = time;
    event.status = uint8(kind | (channel - 1));
    event.data1 = data1 & 0x7F;
    event.data2 = data2 & 0x7F;
    if (!fQueue.Push(event)) CountDropped();
}

status_t BMidiSynth::QueueMessage(int32 frame, uchar status, uchar data1, uchar data2) {
    uchar kind = status & 0xF0;
    bool known =
        kind == kNoteOff || kind == kNoteOn || kind == kControlChange || kind == kProgramChange;
    if (frame < 0 || !known) return B_BAD_VALUE;
    synth_event event;
    event.due = frame;
    event.atFrame = true;
    event.status = status;
    event.data1 = data1 & 0x7F;
    event.data2 = data2 & 0x7F;
    if (fQueue.Push(event)) return B_OK;
    CountDropped();
    return B_NO_MEMORY;
}

status_t BMidiSynth::RenderFrames(float* left, float* right, int32 frames, bigtime_t start) {
    return RenderFrames(left, right, frames, FrameClock{0, start}, 0);
}

status_t BMidiSynth::RenderFrames(float* left, float* right, int32 frames, const FrameClock& clock,
                                  int64 first) {
    if (fLive.load()) return B_NOT_ALLOWED;
    if (left == nullptr || right == nullptr || frames < 0) return B_BAD_VALUE;
    fRenderer->Render(fQueue, left, right, 1, frames, clock, first);
    return B_OK;
}

status_t BMidiSynth::RenderFrames(float* left, float* right, int32 frames) {
    return RenderFrames(left, right, frames, system_time());
}

status_t BMidiSynth::Reset() {
    if (fLive.load()) return B_NOT_ALLOWED;
    fRenderer->Reset(fQueue);
    return B_OK;
}

void BMidiSynth::PlayBuffer(void* synth, void* buffer, size_t size, const media_raw_audio_format&) {
    auto self = static_cast<BMidiSynth*>(synth);
    auto samples = static_cast<float*>(buffer);
    auto frames = int32(size / (kChannels * sizeof(float)));
    const SoundOutput& output = SoundOutput::Default();
    const int64 first = output.FramesPlayed();
    self->fBlockStart.store(first - self->fRenderer->Rendered() % kBlockFrames,
                            std::memory_order_relaxed);
    self->fRenderer->Render(self->fQueue, samples, samples + 1, kChannels, frames, output.Clock(),
                            first);
}
