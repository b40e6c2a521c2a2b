#include "engine/player.h"

#include <algorithm>
#include <thread>

#include "engine/diagnostics.h"
#include "engine/instrument.h"
#include "engine/midi_connections.h"
#include "engine/notes.h"
#include "engine/player_handover.h"
#include "engine/pos_event.h"
#include "engine/preview_note.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "platform/kernel/os.h"
#include "platform/media/sound_output.h"
#include "platform/media/sound_player.h"
#include "platform/midi/midi.h"
#include "platform/midi/midi_synth.h"

float bigbuf1[2][kBigBufferFrames];
float bigbuf2[2][kBigBufferFrames];
std::atomic<int32> bigbuflen[2] = {5512, 5512};
std::atomic<int32> bigbufnr{0};
std::mutex bigbuf_lock;
std::atomic<uint32> steps_rendered{0};
std::atomic<int32> bigbufpos{0};
std::atomic<bool> fillnowflag{false};
std::atomic<int32> playing{0};
std::atomic<int32> songReaders{0};
std::atomic<int32> FILLBUFFER_TIME{0};
std::atomic<int32> STEPS_PER_MEASURE{4};
std::atomic<int64> songStartFrame{-1};
std::atomic<int64> nextStepFrame{0};
std::atomic<uint32> stepsAtStart{0};
std::atomic<int64> lateHalves{0};
std::atomic<bool> stepsStamp{false};

namespace {

// Frames, besides two output buffers, between starting the song and its first sound: time to
// render the first two steps.
constexpr int64 kStartLeadFrames = 512;
// How often the player thread looks for a free half.
constexpr bigtime_t kPlayerPoll = 25000;

BSoundPlayer* player = nullptr;
std::atomic<PlayerDrive> drive{PlayerDrive::kRealTime};
thread_id playthread = 0;
// The length of the next step to begin, set by the tempo; a half takes it only as its step
// begins, so the step it holds plays as long as it was rendered.
std::atomic<int32> stepFrames{5512};
StepHook stepHook = nullptr;
void* stepHookData = nullptr;

bool Offline() {
    return drive.load() == PlayerDrive::kOffline;
}

int64 FramesPlayed() {
    return SoundOutput::Default().FramesPlayed();
}

// frame is where the step will start to sound, exactly, so the stamps of its notes are exact.
void RenderStep(int64 frame) {
    int32 half = bigbufnr;
    PlayedStep played{frame, 0, song->position, song->step};
    FILLBUFFER_TIME = int32(PlayerFrameTime(frame) / 1000);
    {
        std::lock_guard<std::mutex> hold(bigbuf_lock);
        Diagnostic("filling bigbuffer:%d\n", int(half));
        song->Process();
        steps_rendered.fetch_add(1, std::memory_order_release);
    }
    played.length = bigbuflen[half];
    if (stepHook != nullptr) stepHook(stepHookData, played);
}

// Real time: far enough ahead that the first two steps are rendered before it, plus the
// buffer the output is playing now, and on the synthesizer's block grid, as offline, where
// a fresh synthesizer starts with the song.
int64 SongStartFrame() {
    if (drive.load() != PlayerDrive::kRealTime) return FramesPlayed();
    int64 start = FramesPlayed() + 2 * SoundOutput::Default().BufferFrames() + kStartLeadFrames;
    const int64 block = SynthBlockStartFrame();
    if (block >= 0) {
        start += ((block - start) % BMidiSynth::kBlockFrames + BMidiSynth::kBlockFrames) %
                 BMidiSynth::kBlockFrames;
    }
    return start;
}

// The frame clock starts the song at a whole millisecond, so its stamps fall on the same
// frames in every render and live. Played live, that is the millisecond after its first frame
// is due to leave the output, which is when ports get its first notes.
void AnchorClock(int64 first) {
    SoundOutput& output = SoundOutput::Default();
    if (Offline()) {
        output.SetClock({first, system_time() / 1000 * 1000});
        return;
    }
    const bool device = drive.load() == PlayerDrive::kRealTime;
    const int64 ahead = first - FramesPlayed() + (device ? output.BufferFrames() : 0);
    const bigtime_t at = system_time() + ahead * 1000000 / 44100;
    output.SetClock({first, (at + 999) / 1000 * 1000});
}

// Once a second at most, what went wrong since the last line.
void ReportTrouble() {
    static PlayerLateness told;
    static int64 silencedTold = 0;
    static bigtime_t lastTold = 0;
    const bigtime_t now = system_time();
    if (now - lastTold < 1000000) return;
    lastTold = now;
    const PlayerLateness seen = GetPlayerLateness();
    const int64 silenced = GetSilencedSamples();
    if (seen.lateHalves != told.lateHalves || seen.underflows != told.underflows ||
        seen.midiDropped != told.midiDropped) {
        Diagnostic(
            "late: %lld halves played before they were refilled, %lld underflows, "
            "%lld MIDI messages dropped\n",
            (long long)(seen.lateHalves - told.lateHalves),
            (long long)(seen.underflows - told.underflows),
            (long long)(seen.midiDropped - told.midiDropped));
    }
    if (silenced != silencedTold) {
        Diagnostic("%lld samples were not finite and played as silence\n",
                   (long long)(silenced - silencedTold));
    }
    told = seen;
    silencedTold = silenced;
}

// The output has said so on standard error already; a window shows it too.
void ReportLostDevice(const char* text) {
    if (ErrorsGoToWindows()) ShowError("%s", text);
}

int32 TrackPlayer_BigBufferThread(void*) {
    for (;;) {
        ReportTrouble();
        if (!fillnowflag) {
            snooze(kPlayerPoll);
            if (!playing) return 0;
            continue;
        }
        fillnowflag = false;
        RenderStep(nextStepFrame);
        if (!playing) return 0;
    }
}

}  // namespace

int32 StepsPerMeasureAt(int32 tempo) {
    return tempo <= 160 ? 4 : 2;
}

int32 StepFramesAt(int32 tempo) {
    return int32(44100.0 / (tempo / 60.0)) / StepsPerMeasureAt(tempo);
}

void UpdatePlayerTempo() {
    // Slower than 40 would overrun the buffers; the windows never go past 300.
    int32 tempo = std::clamp(int32(song->tempo), Song::kMinTempo, Song::kMaxTempo);
    song->tempo = tempo;
    STEPS_PER_MEASURE = StepsPerMeasureAt(tempo);
    stepFrames = StepFramesAt(tempo);
    Diagnostic("bigbuflen:%d\n", int(stepFrames));
}

int32 BeginPlayerStep() {
    const int32 length = stepFrames;
    bigbuflen[bigbufnr] = length;
    return length;
}

void InitPlayer(PlayerDrive how) {
    SetPlayerDrive(how);
    media_raw_audio_format format{44100, 2, B_AUDIO_FLOAT, B_MEDIA_LITTLE_ENDIAN, 0};
    SoundOutput::Default().SetLossHandler(ReportLostDevice);
    player = new BSoundPlayer(&format, "Velloran", BufferProc);
    player->Start();
    player->SetHasData(true);
    // Nobody plays a keyboard into an offline render.
    if (how != PlayerDrive::kOffline) InitMidi();
}

void SetPlayerDrive(PlayerDrive how) {
    // The caller plays the output itself, frame by frame.
    SoundOutput::Default().SetManual(how != PlayerDrive::kRealTime);
    drive = how;
    if (how == PlayerDrive::kOffline) AnchorClock(FramesPlayed());
    SetMidiOffline(how == PlayerDrive::kOffline);
}

bigtime_t PlayerClock() {
    return Offline() ? PlayerFrameTime(FramesPlayed()) : system_time();
}

bigtime_t PlayerFrameTime(int64 frame) {
    return SoundOutput::Default().Clock().TimeOf(frame);
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
    stepsStamp = true;
    const int64 first = SongStartFrame();
    AnchorClock(first);
    songStartFrame = first;
    stepsAtStart = steps_rendered.load();
    RenderStep(first);
    bigbufnr = 1;
    RenderStep(first + bigbuflen[0]);
    playing = 1;
    if (drive != PlayerDrive::kRealTime) return;
    Diagnostic("Spawning playerthread!\n");
    playthread =
        spawn_thread(TrackPlayer_BigBufferThread, "PlayerThread", B_DISPLAY_PRIORITY, nullptr);
    resume_thread(playthread);
    StartPosEvents();
}

void StopPlayer() {
    StopPosEvents();
    playing = 0;
    // A callback that saw the song playing still reads its halves, which the next Play would
    // overwrite. It ends within one buffer's mixing; the sound thread never waits for us.
    while (songReaders.load() != 0) std::this_thread::yield();
    if (playthread > 0) {
        status_t result;
        wait_for_thread(playthread, &result);
        playthread = 0;
    }
    stepsStamp = false;
}

bool PumpPlayer() {
    if (!playing || !fillnowflag) return false;
    fillnowflag = false;
    RenderStep(nextStepFrame);
    return true;
}

int64 GetSilencedSamples() {
    return SoundOutput::Default().SilencedSamples();
}

PlayerLateness GetPlayerLateness() {
    return {lateHalves.load(), SoundOutput::Default().Underflows(), BMidi::Dropped()};
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
    // Windows replace and free instruments under the song lock: the one read here lives until
    // its modifiers are made and the request is handed over.
    lock->Lock();
    Instrument* instrument = song->instruments[slot];
    auto* request = new PreviewNote;
    request->setnoteinstr = slot;
    request->setmodifiers =
        new Modifiers(instrument != nullptr ? instrument->GetModifierInfoList() : nullptr, 1);
    request->setnote = {note, NoteToPitch(note), 1, request->setmodifiers, 0, 0};
    preview.Request(request);
    lock->Unlock();
}
