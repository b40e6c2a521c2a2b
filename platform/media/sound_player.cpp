#include "platform/media/sound_player.h"

#include <bit>

#include "platform/media/sound_mixer.h"
#include "platform/media/sound_output.h"

namespace {

constexpr uint32 kHostByteOrder =
    std::endian::native == std::endian::little ? B_MEDIA_LITTLE_ENDIAN : B_MEDIA_BIG_ENDIAN;
constexpr size_t kFrameBytes = SoundMixer::kChannels * sizeof(float);

media_raw_audio_format PlayedFormat() {
    media_raw_audio_format format;
    format.frame_rate = SoundMixer::kFrameRate;
    format.channel_count = SoundMixer::kChannels;
    format.format = B_AUDIO_FLOAT;
    format.byte_order = kHostByteOrder;
    return format;
}

status_t Check(const media_raw_audio_format& format, BSoundPlayer::BufferPlayer playBuffer) {
    if (playBuffer == nullptr || format.buffer_size % kFrameBytes != 0) return B_BAD_VALUE;
    media_raw_audio_format played = PlayedFormat();
    bool same = format.frame_rate == played.frame_rate &&
                format.channel_count == played.channel_count && format.format == played.format &&
                format.byte_order == played.byte_order;
    return same ? B_OK : B_NOT_SUPPORTED;
}

}  // namespace

BSoundPlayer::BSoundPlayer(const media_raw_audio_format* format, const char* name,
                           BufferPlayer playBuffer, EventNotifier notifier, void* cookie)
    : fFormat(format != nullptr ? *format : PlayedFormat()),
      fName(name != nullptr ? name : ""),
      fPlayBuffer(playBuffer),
      fNotifier(notifier),
      fCookie(cookie),
      fInitStatus(Check(fFormat, playBuffer)) {}

BSoundPlayer::~BSoundPlayer() {
    Stop();
}

status_t BSoundPlayer::Start() {
    if (fInitStatus != B_OK) return fInitStatus;
    std::unique_lock lock = LockControl();
    if (!lock.owns_lock() || fSlot >= 0) return B_OK;
    int32 slot = SoundOutput::Default().AddPlayer(this);
    if (slot < 0) return slot;
    fSlot = slot;
    lock.unlock();
    Notify(B_STARTED);
    return B_OK;
}

void BSoundPlayer::Stop() {
    std::unique_lock lock = LockControl();
    if (!lock.owns_lock() || fSlot < 0) return;
    SoundOutput::Default().RemovePlayer(fSlot);
    fSlot = -1;
    lock.unlock();
    Notify(B_STOPPED);
}

void BSoundPlayer::SetVolume(float volume) {
    fVolume.store(volume > 0 ? volume : 0.0f, std::memory_order_relaxed);
}

void BSoundPlayer::PlayBuffer(float* buffer, int32 frames) {
    fPlayBuffer(fCookie, buffer, size_t(frames) * kFrameBytes, fFormat);
}

// In a routine the lock may be held by a thread waiting for that very routine, so it is only
// tried there; a start or stop finding it taken counts as coming just before the holder's.
std::unique_lock<std::mutex> BSoundPlayer::LockControl() {
    if (SoundMixer::InsideMix()) return std::unique_lock(fControlLock, std::try_to_lock);
    return std::unique_lock(fControlLock);
}

void BSoundPlayer::Notify(int32 what) {
    if (fNotifier != nullptr) fNotifier(fCookie, what, this);
}
