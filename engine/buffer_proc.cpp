// The sound routine: plays the big buffer while the song plays, the preview note otherwise.
#include <algorithm>

#include "engine/player.h"
#include "engine/player_handover.h"
#include "engine/preview_note.h"
#include "engine/song.h"
#include "platform/kernel/os.h"
#include "platform/media/sound_output.h"

namespace {

float setnotebuf[2][kPreviewFrames];

void Interleave(float* out, const float* left, const float* right, int32 frames) {
    for (int32 f = 0; f < frames; f++) {
        out[2 * f] = left[f];
        out[2 * f + 1] = right[f];
    }
}

// Each half begun must have been rendered since it was last freed: the first two before the
// song started, one more for every switch after.
void CheckRefilled() {
    static std::atomic<uint32> begun{0};
    if (songStartFrame.load() >= 0) begun.store(0, std::memory_order_relaxed);
    const uint32 halves = begun.fetch_add(1, std::memory_order_relaxed) + 1;
    const uint32 rendered = steps_rendered.load(std::memory_order_acquire) - stepsAtStart.load();
    if (rendered < halves) lateHalves.fetch_add(1, std::memory_order_relaxed);
}

// Silence until the frame the song starts at; returns the frames written. A song started
// late begins that far into its first half, so every later frame is where its stamp says.
int32 StartSong(float* out, int32 frames, int64 frame) {
    const int64 start = songStartFrame.load();
    if (start < 0) return 0;
    const int64 wait = start - frame;
    if (wait >= frames) {
        std::fill_n(out, 2 * frames, 0.0f);
        return frames;
    }
    if (wait > 0) std::fill_n(out, 2 * wait, 0.0f);
    if (wait < 0) bigbufpos = int32(std::min<int64>(-wait, bigbuflen[1 - bigbufnr] - 1));
    CheckRefilled();
    songStartFrame = -1;
    return int32(std::max<int64>(wait, 0));
}

// Half switches are what the player thread waits for; a buffer longer than a step switches
// more than once. frame is the number of out's first frame.
void PlaySong(float* out, int32 frames, int64 frame) {
    steps_rendered.load(std::memory_order_acquire);
    int32 done = 0;
    while (done < frames) {
        int32 half = 1 - bigbufnr;
        int32 length = std::clamp(int32(bigbuflen[half]), int32(1), kBigBufferFrames);
        int32 pos = std::clamp(int32(bigbufpos), int32(0), length);
        int32 take = std::min(frames - done, length - pos);
        Interleave(out + 2 * done, bigbuf1[half] + pos, bigbuf2[half] + pos, take);
        done += take;
        bigbufpos = pos + take;
        if (pos + take < length) continue;
        bigbufpos = 0;
        bigbufnr = half;
        nextStepFrame = frame + done + bigbuflen[1 - half];
        CheckRefilled();
        fillnowflag = true;
    }
}

void PlayPreview(float* out, int32 frames) {
    PreviewNote* note = preview.Enter();
    Instrument* instrument = nullptr;
    if (note != nullptr && song != nullptr && note->setnote.sounding) {
        instrument = song->instruments[note->setnoteinstr];
    }
    for (int32 done = 0; done < frames;) {
        int32 piece = std::min(frames - done, kPreviewFrames);
        std::fill(setnotebuf[0], setnotebuf[0] + piece, 0.0f);
        std::fill(setnotebuf[1], setnotebuf[1] + piece, 0.0f);
        if (instrument != nullptr) {
            instrument->Process(setnotebuf[0], setnotebuf[1], piece, &note->setnote);
            note->setnote.time += float(piece);
        }
        Interleave(out + 2 * done, setnotebuf[0], setnotebuf[1], piece);
        done += piece;
    }
    preview.Leave();
}

}  // namespace

void BufferProc(void*, void* buffer, size_t size, const media_raw_audio_format&) {
    auto* out = static_cast<float*>(buffer);
    auto frames = int32(size / 8);
    const SoundOutput& output = SoundOutput::Default();
    const int64 frame = output.FramesPlayed();
    // Counted before playing is read, so StopPlayer either sees this reader or is seen.
    songReaders.fetch_add(1);
    if (!playing) {
        songReaders.fetch_sub(1);
        // Previews sound at once: stamped now, or earlier where the frame clock runs ahead.
        if (!stepsStamp) {
            const bigtime_t now = std::min(output.Clock().TimeOf(frame), PlayerClock());
            FILLBUFFER_TIME = int32(now / 1000);
        }
        PlayPreview(out, frames);
        return;
    }
    const int32 waited = StartSong(out, frames, frame);
    PlaySong(out + 2 * waited, frames - waited, frame + waited);
    songReaders.fetch_sub(1);
}
