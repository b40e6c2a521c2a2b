#include "platform/media/sound_mixer.h"

#include <algorithm>
#include <cmath>

#include "platform/media/sound_player.h"

namespace {

thread_local bool tInsideMix = false;

}  // namespace

int32 SoundMixer::Attach(BSoundPlayer* player) {
    for (int32 i = 0; i < kMaxPlayers; i++) {
        BSoundPlayer* none = nullptr;
        if (fSlots[i].player.compare_exchange_strong(none, player)) return i;
    }
    return B_NO_MEMORY;
}

void SoundMixer::Detach(int32 slot) {
    fSlots[slot].player.store(nullptr);
    // Inside a routine this thread is the one mixing, so no other routine can be running.
    if (!tInsideMix) fSlots[slot].use.WaitUntilOutside();
}

void SoundMixer::Mix(float* out, int32 frames) {
    tInsideMix = true;
    for (int32 done = 0; done < frames; done += kPieceFrames) {
        const int32 piece = std::min(frames - done, kPieceFrames);
        MixPiece(out + done * kChannels, piece);
        fFramesMixed.fetch_add(piece, std::memory_order_relaxed);
    }
    tInsideMix = false;
}

bool SoundMixer::InsideMix() {
    return tInsideMix;
}

void SoundMixer::MixPiece(float* out, int32 frames) {
    bool written = false;
    for (int32 i = 0; i < kMaxPlayers; i++) MixSlot(i, out, frames, &written);
    if (!written) std::fill_n(out, frames * kChannels, 0.0f);
    SilenceNonFinite(out, frames);
}

// Whatever a routine or a plug-in got wrong, NaN or infinity never reaches the speakers as a
// click or full-scale DC.
void SoundMixer::SilenceNonFinite(float* out, int32 frames) {
    int64 silenced = 0;
    for (int32 i = 0; i < frames * kChannels; i++) {
        if (std::isfinite(out[i])) continue;
        out[i] = 0.0f;
        silenced++;
    }
    if (silenced > 0) fSilenced.fetch_add(silenced, std::memory_order_relaxed);
}

// The first player plays straight into out; the others into their scratch, added after.
void SoundMixer::MixSlot(int32 index, float* out, int32 frames, bool* written) {
    Slot& slot = fSlots[index];
    slot.use.Enter();
    BSoundPlayer* player = slot.player.load();
    if (player != nullptr && player->HasData()) {
        float* target = *written ? fScratch[index] : out;
        int32 samples = frames * kChannels;
        // Routines that add into their buffer find silence there.
        std::fill_n(target, samples, 0.0f);
        player->PlayBuffer(target, frames);
        float gain = player->Volume();
        if (!*written) {
            if (gain != 1.0f) {
                for (int32 i = 0; i < samples; i++) out[i] *= gain;
            }
        } else {
            for (int32 i = 0; i < samples; i++) out[i] += gain * target[i];
        }
        *written = true;
    }
    slot.use.Leave();
}
