#include "engine/player.h"

#include <algorithm>

#include "engine/diagnostics.h"
#include "engine/instrument.h"
#include "engine/notes.h"
#include "engine/song.h"

float bigbuf1[2][kBigBufferFrames];
float bigbuf2[2][kBigBufferFrames];
std::atomic<int32> bigbuflen[2] = {5512, 5512};
std::atomic<int32> bigbufnr{0};
std::atomic<int32> STEPS_PER_MEASURE{4};

NoteInfo setnote = {70, NoteToPitch(70), 0, nullptr, 0, 0};
std::atomic<int32> setnoteinstr{0};
Modifiers* setmodifiers = nullptr;

void UpdatePlayerTempo() {
    // Slower than 40 would overrun the buffers; the windows never go past 300.
    int32 tempo = std::clamp(int32(song->tempo), Song::kMinTempo, Song::kMaxTempo);
    song->tempo = tempo;
    STEPS_PER_MEASURE = tempo <= 160 ? 4 : 2;
    auto framesPerMeasure = int32(44100.0 / (tempo / 60.0));
    bigbuflen[bigbufnr] = framesPerMeasure / STEPS_PER_MEASURE;
    Diagnostic("bigbuflen:%d\n", int(bigbuflen[bigbufnr]));
}

void PlaySetNote(int slot, int note) {
    if (song == nullptr || slot < 0 || slot >= Song::kInstrumentSlots) return;
    Instrument* instrument = song->instruments[slot];
    auto* modifiers =
        new Modifiers(instrument != nullptr ? instrument->GetModifierInfoList() : nullptr, 1);
    setnoteinstr = slot;
    setnote.note = note;
    setnote.pitch = NoteToPitch(note);
    setnote.time = 0;
    setnote.sounding = 1;
    delete setmodifiers;
    setmodifiers = modifiers;
    setnote.modifiers = modifiers;
}
