#include "engine/offline_render.h"

#include <algorithm>

#include "engine/midi_connections.h"
#include "engine/song.h"
#include "platform/media/sound_output.h"

OfflineRender::OfflineRender(bool synths, StepHook hook, void* data)
    : fSynths(synths), fHook(hook), fHookData(data) {
    fFirstFrame = SoundOutput::Default().FramesPlayed();
    SetPlayerStepHook(SeeStep, this);
    song->Play();
}

void OfflineRender::SeeStep(void* render, const PlayedStep& step) {
    auto* self = static_cast<OfflineRender*>(render);
    if (self->fHook == nullptr) return;
    PlayedStep relative = step;
    relative.frame -= self->fFirstFrame;
    self->fHook(self->fHookData, relative);
}

OfflineRender::~OfflineRender() {
    song->Stop();
    SetPlayerStepHook(nullptr, nullptr);
}

void OfflineRender::Render(float* songLeft, float* songRight, float* synthLeft, float* synthRight,
                           int32 frames) {
    for (int32 done = 0; done < frames; done += kPiece) {
        const int32 piece = std::min(kPiece, frames - done);
        RenderPiece(songLeft ? songLeft + done : nullptr, songRight ? songRight + done : nullptr,
                    synthLeft ? synthLeft + done : nullptr,
                    synthRight ? synthRight + done : nullptr, piece);
    }
}

void OfflineRender::RenderPiece(float* songLeft, float* songRight, float* synthLeft,
                                float* synthRight, int32 frames) {
    const int64 first = fFirstFrame + fFrames;
    // Every message that falls before the piece's end, rounded up to whole milliseconds.
    const bigtime_t end = PlayerFrameTime(first + frames);
    FlushMidiConnections(uint32((end + 999) / 1000), fSynths);
    SoundOutput::Default().Render(fMix, frames);
    for (int32 f = 0; songLeft != nullptr && f < frames; f++) {
        songLeft[f] = fMix[2 * f];
        songRight[f] = fMix[2 * f + 1];
    }
    if (fSynths) RenderMidiSynths(synthLeft, synthRight, frames, first);
    fFrames += frames;
    PumpPlayer();
}

int32 SongContentEnd() {
    int32 end = 0;
    for (int32 i = 0; i < song->num_machines; i++) {
        end = std::max(end, song->machines[i]->ContentEnd());
    }
    return end;
}
