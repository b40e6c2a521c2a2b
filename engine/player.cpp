#include "engine/player.h"

#include <algorithm>

#include "engine/diagnostics.h"
#include "engine/instrument.h"
#include "engine/midi_connections.h"
#include "engine/notes.h"
#include "engine/pos_event.h"
#include "engine/preview_note.h"
#include "engine/song.h"
#include "platform/kernel/os.h"
#include "platform/media/sound_output.h"
#include "platform/media/sound_player.h"

float bigbuf1[2][kBigBufferFrames];
float bigbuf2[2][kBigBufferFrames];
std::atomic<int32> bigbuflen[2] = {5512, 5512};
std::atomic<int32> bigbufnr{0};
std::mutex bigbuf_lock;
std::atomic<uint32> steps_rendered{0};
std::atomic<int32> bigbufpos{0};
std::atomic<bool> fillnowflag{false};
std::atomic<int32> playing{0};
std::atomic<int32> FILLBUFFER_TIME{0};
std::atomic<int32> STEPS_PER_MEASURE{4};

namespace {

BSoundPlayer* player = nullptr;
PlayerDrive drive = PlayerDrive::kRealTime;
thread_id playthread = 0;

int32 NowMs() {
    return int32(system_time() / 1000);
}

int32 HalfMs(int32 frames) {
    return int32(frames / 44100.0 * 1000.0);
}

void RenderStep() {
    std::lock_guard<std::mutex> hold(bigbuf_lock);
    Diagnostic("filling bigbuffer:%d\n", int(bigbufnr));
    song->Process();
    steps_rendered.fetch_add(1, std::memory_order_release);
}

int32 TrackPlayer_BigBufferThread(void*) {
    for (;;) {
        if (!fillnowflag) {
            snooze(25000);
            if (!playing) return 0;
            continue;
        }
        fillnowflag = false;
        RenderStep();
        if (!playing) return 0;
    }
}

}  // namespace

void UpdatePlayerTempo() {
    // Slower than 40 would overrun the buffers; the windows never go past 300.
    int32 tempo = std::clamp(int32(song->tempo), Song::kMinTempo, Song::kMaxTempo);
    song->tempo = tempo;
    STEPS_PER_MEASURE = tempo <= 160 ? 4 : 2;
    auto framesPerMeasure = int32(44100.0 / (tempo / 60.0));
    bigbuflen[bigbufnr] = framesPerMeasure / STEPS_PER_MEASURE;
    Diagnostic("bigbuflen:%d\n", int(bigbuflen[bigbufnr]));
}

void InitPlayer(PlayerDrive how) {
    drive = how;
    // The caller plays the output itself, frame by frame.
    if (drive == PlayerDrive::kCaller) SoundOutput::Default().SetManual(true);
    media_raw_audio_format format{44100, 2, B_AUDIO_FLOAT, B_MEDIA_LITTLE_ENDIAN, 0};
    player = new BSoundPlayer(&format, "Velloran", BufferProc);
    player->Start();
    player->SetHasData(true);
    InitMidi();
}

void StartPlayer() {
    // The song's instruments are about to be played by the player thread alone.
    preview.Silence();
    bigbufpos = 0;
    fillnowflag = false;
    bigbufnr = 0;
    UpdatePlayerTempo();
    bigbuflen[1] = bigbuflen[0].load();
    int32 start = NowMs() + HalfMs(bigbuflen[0]);
    FILLBUFFER_TIME = start;
    RenderStep();
    bigbufnr = 1;
    FILLBUFFER_TIME += HalfMs(bigbuflen[1]);
    RenderStep();
    if (drive == PlayerDrive::kCaller) {
        playing = 1;
        return;
    }
    while (NowMs() < start) snooze(1000);
    Diagnostic("Spawning playerthread!\n");
    playthread =
        spawn_thread(TrackPlayer_BigBufferThread, "PlayerThread", B_DISPLAY_PRIORITY, nullptr);
    resume_thread(playthread);
    playing = 1;
    StartPosEvents();
}

void StopPlayer() {
    StopPosEvents();
    playing = 0;
    if (playthread > 0) {
        status_t result;
        wait_for_thread(playthread, &result);
        playthread = 0;
    }
}

bool PumpPlayer() {
    if (!playing || !fillnowflag) return false;
    fillnowflag = false;
    RenderStep();
    return true;
}

int GetPlayerCPUConsumption() {
    static bigtime_t lastCpu = 0;
    static bigtime_t lastWall = 0;
    thread_info info;
    bigtime_t now = system_time();
    if (playthread <= 0 || get_thread_info(playthread, &info) != B_OK) return 0;
    double ratio = lastWall > 0 && now > lastWall
                       ? double(info.cpu_time - lastCpu) / double(now - lastWall)
                       : 0.0;
    lastCpu = info.cpu_time;
    lastWall = now;
    return int(std::clamp(ratio, 0.0, 1.0) * 100);
}

void SetPlayerVolume(float volume) {
    if (player != nullptr) player->SetVolume(volume);
}

void PlaySetNote(int slot, int note) {
    if (song == nullptr || slot < 0 || slot >= Song::kInstrumentSlots) return;
    Instrument* instrument = song->instruments[slot];
    auto* request = new PreviewNote;
    request->setnoteinstr = slot;
    request->setmodifiers =
        new Modifiers(instrument != nullptr ? instrument->GetModifierInfoList() : nullptr, 1);
    request->setnote = {note, NoteToPitch(note), 1, request->setmodifiers, 0, 0};
    preview.Request(request);
}
