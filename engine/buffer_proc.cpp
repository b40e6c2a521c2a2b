// The sound routine: plays the big buffer while the song plays, the preview note otherwise.
#include <algorithm>

#include "engine/player.h"
#include "engine/preview_note.h"
#include "engine/song.h"
#include "platform/kernel/os.h"

namespace {

float setnotebuf[2][kPreviewFrames];

void Interleave(float* out, const float* left, const float* right, int32 frames) {
    for (int32 f = 0; f < frames; f++) {
        out[2 * f] = left[f];
        out[2 * f + 1] = right[f];
    }
}

// Half switches are what the player thread waits for; a buffer longer than a step switches
// more than once.
void PlaySong(float* out, int32 frames) {
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
        fillnowflag = true;
        // The half to fill next takes the length of the one now playing.
        bigbuflen[half] = bigbuflen[1 - half].load();
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
    FILLBUFFER_TIME = int32(PlayerClock() / 1000) + int32(bigbuflen[bigbufnr] / 44100.0 * 1000.0);
    if (playing) {
        PlaySong(out, frames);
    } else {
        PlayPreview(out, frames);
    }
}
