// The audio player: the big buffer of two halves that song steps are rendered into, the
// player thread that renders them, and the sound routine that plays them.
#pragma once

#include <atomic>
#include <mutex>

#include "engine/machine.h"
#include "message/support_defs.h"
#include "platform/kernel/os.h"

struct media_raw_audio_format;

constexpr int32 kBigBufferFrames = Machine::kBufferFrames;
constexpr int32 kPreviewFrames = 4096;

// Half h's left and right channel; the player thread fills half bigbufnr while the sound
// thread plays the other one.
extern float bigbuf1[2][kBigBufferFrames];
extern float bigbuf2[2][kBigBufferFrames];
// Frames in each half: the step length when it was rendered.
extern std::atomic<int32> bigbuflen[2];
// The half being filled, or to be filled next.
extern std::atomic<int32> bigbufnr;
// Held while a half is rendered or copied for the displays; never by the sound thread.
extern std::mutex bigbuf_lock;
// Counts rendered steps: the sound thread reads it before a half, which orders the player
// thread's writes of that half before the sound thread's reads.
extern std::atomic<uint32> steps_rendered;
// The next frame to play in the playing half.
extern std::atomic<int32> bigbufpos;
// Set by the sound thread when a half has become free; cleared by the player thread.
extern std::atomic<bool> fillnowflag;
// 1 while the player plays the song, 0 while it plays the preview.
extern std::atomic<int32> playing;
// Sound callbacks reading the halves of the playing song now; StopPlayer waits for none.
extern std::atomic<int32> songReaders;
// Milliseconds of the platform clock at which the step now being rendered starts to sound:
// the time the sound output's frame clock gives the step's first frame.
extern std::atomic<int32> FILLBUFFER_TIME;
// Steps per measure at the tempo in force: 4 up to tempo 160, 2 above.
extern std::atomic<int32> STEPS_PER_MEASURE;

// How the player is driven: by its own threads in real time; by the caller, who plays the
// output and calls PumpPlayer (tests); or offline, by the caller to a clock that counts the
// frames played, with the MIDI outputs flushed and the synthesizers rendered by the caller.
enum class PlayerDrive { kRealTime, kCaller, kOffline };

// Application thread, once, before the song exists: starts the sound output and MIDI.
void InitPlayer(PlayerDrive drive = PlayerDrive::kRealTime);
// Window thread or the renderer, while the song is stopped. Offline, the clock starts at the
// whole millisecond of the platform clock now.
void SetPlayerDrive(PlayerDrive drive);
// Any thread: the player's clock in microseconds, the platform clock but offline.
bigtime_t PlayerClock();
// Any thread: the time in microseconds at which frame frame of the output sounds (frames
// counted as SoundOutput::FramesPlayed does), on the sound output's frame clock.
bigtime_t PlayerFrameTime(int64 frame);
// A step just rendered: where it starts to sound (frames as SoundOutput::FramesPlayed counts
// them; exact offline), the frames it plays, and the song position and step it rendered.
struct PlayedStep {
    int64 frame;
    int32 length;
    int32 position;
    int32 step;
};
// Window thread, while stopped: called on the player thread after every step rendered.
using StepHook = void (*)(void* data, const PlayedStep& step);
void SetPlayerStepHook(StepHook hook, void* data);
// Window thread, with the song's position, step and tempo set. Renders the first two steps;
// in real time the song starts to sound a little later, at a frame fixed beforehand, so the
// stamps of its notes are exact.
void StartPlayer();
// Window thread. Returns once the player thread has ended.
void StopPlayer();
// Any thread. How the player lays out a measure at a tempo: steps to it (4 up to 160, 2 above)
// and whole frames to each step.
int32 StepsPerMeasureAt(int32 tempo);
int32 StepFramesAt(int32 tempo);
// Player thread (at the end of a step), a window thread under the song lock, or while the
// player is stopped. Applies the song's tempo to STEPS_PER_MEASURE and to the length of every
// step begun from now on; a step already rendered keeps its own.
void UpdatePlayerTempo();
// Player thread, under the song lock, as a step begins: the half being filled takes the step
// length of the tempo in force. Returns that length.
int32 BeginPlayerStep();
// With PlayerDrive::kCaller: renders the next step if a half has become free; true if it did.
bool PumpPlayer();

// Sound thread. Never locks, allocates, logs or waits.
void BufferProc(void* cookie, void* buffer, size_t size, const media_raw_audio_format& format);

// Any thread. Share of wall time the player thread used since the last call, 0..100.
int GetPlayerCPUConsumption();
// What went late since the program started: halves the sound thread played before the player
// had refilled them, underflows of the sound output, MIDI messages dropped for full queues.
struct PlayerLateness {
    int64 lateHalves = 0;
    int64 underflows = 0;
    int64 midiDropped = 0;
};
// Any thread.
PlayerLateness GetPlayerLateness();
// Any thread: samples of the final mix that were not finite (NaN or infinite) and were played
// as silence instead, since the program started.
int64 GetSilencedSamples();
// Window thread. The output volume, applied by the sound output.
void SetPlayerVolume(float volume);
// Window or MIDI input thread; takes the song lock. Starts the preview of note on song
// instrument slot slot.
void PlaySetNote(int slot, int note);
