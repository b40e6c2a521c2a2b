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
std::atomic<PlayerDrive> drive{PlayerDrive::kRealTime};
thread_id playthread = 0;
// The offline clock: the time of a frame is counted from the frame the drive began at.
std::atomic<bigtime_t> offlineStart{0};
std::atomic<int64> offlineFirstFrame{0};
StepHook stepHook = nullptr;
void* stepHookData = nullptr;

bool Offline() {
    return drive.load() == PlayerDrive::kOffline;
}

int64 FramesPlayed() {
    return SoundOutput::Default().FramesPlayed();
}

int32 NowMs() {
    return int32(PlayerClock() / 1000);
}

int32 HalfMs(int32 frames) {
    return int32(frames / 44100.0 * 1000.0);
}

// frame is where the step will start to sound. Offline that is exact, so the stamps of its
// notes are too; in real time the sound routine keeps FILLBUFFER_TIME instead.
void RenderStep(int64 frame) {
    int32 half = bigbufnr;
    PlayedStep played{frame, 0, song->position, song->step};
    if (Offline()) FILLBUFFER_TIME = int32(PlayerFrameTime(frame) / 1000);
    {
        std::lock_guard<std::mutex> hold(bigbuf_lock);
        Diagnostic("filling bigbuffer:%d\n", int(half));
        song->Process();
        steps_rendered.fetch_add(1, std::memory_order_release);
    }
    played.length = bigbuflen[half];
    if (stepHook != nullptr) stepHook(stepHookData, played);
}

// Where the step for the half that has just become free starts to sound: after the half
// now playing.
int64 NextStepFrame() {
    return FramesPlayed() - bigbufpos + bigbuflen[1 - bigbufnr];
}

int32 TrackPlayer_BigBufferThread(void*) {
    for (;;) {
        if (!fillnowflag) {
            snooze(25000);
            if (!playing) return 0;
            continue;
        }
        fillnowflag = false;
        RenderStep(NextStepFrame());
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
    SetPlayerDrive(how);
    media_raw_audio_format format{44100, 2, B_AUDIO_FLOAT, B_MEDIA_LITTLE_ENDIAN, 0};
    player = new BSoundPlayer(&format, "Velloran", BufferProc);
    player->Start();
    player->SetHasData(true);
    // Nobody plays a keyboard into an offline render.
    if (how != PlayerDrive::kOffline) InitMidi();
}

void SetPlayerDrive(PlayerDrive how) {
    // The caller plays the output itself, frame by frame.
    SoundOutput::Default().SetManual(how != PlayerDrive::kRealTime);
    if (how == PlayerDrive::kOffline) {
        offlineStart = system_time() / 1000 * 1000;
        offlineFirstFrame = FramesPlayed();
    }
    drive = how;
    SetMidiOffline(how == PlayerDrive::kOffline);
}

bigtime_t PlayerClock() {
    return Offline() ? PlayerFrameTime(FramesPlayed()) : system_time();
}

bigtime_t PlayerFrameTime(int64 frame) {
    return offlineStart + (frame - offlineFirstFrame) * 1000000 / 44100;
}

void SetPlayerStepHook(StepHook hook, void* data) {
    stepHook = hook;
    stepHookData = data;
}

void StartPlayer() {
    // The song's instruments are about to be played by the player thread alone.
    preview.Silence();
    bigbufpos = 0;
    fillnowflag = false;
    bigbufnr = 0;
    UpdatePlayerTempo();
    bigbuflen[1] = bigbuflen[0].load();
    // Offline nothing waits: the first step sounds from the next frame played.
    const int64 first = FramesPlayed() + (Offline() ? 0 : bigbuflen[0].load());
    int32 start = NowMs() + HalfMs(bigbuflen[0]);
    FILLBUFFER_TIME = start;
    RenderStep(first);
    bigbufnr = 1;
    FILLBUFFER_TIME += HalfMs(bigbuflen[1]);
    RenderStep(first + bigbuflen[0]);
    if (drive != PlayerDrive::kRealTime) {
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
    RenderStep(NextStepFrame());
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
