// The big buffer of two halves that song steps are rendered into, and the step length.
#pragma once

#include <atomic>

#include "engine/machine.h"
#include "engine/message/support_defs.h"
#include "engine/modifiers.h"
#include "engine/note_info.h"

constexpr int32 kBigBufferFrames = Machine::kBufferFrames;

// Half h's left and right channel; the player thread fills half bigbufnr.
extern float bigbuf1[2][kBigBufferFrames];
extern float bigbuf2[2][kBigBufferFrames];
// Frames in each half: the step length when it was rendered.
extern std::atomic<int32> bigbuflen[2];
// The half being filled, or to be filled next; the other one is playing.
extern std::atomic<int32> bigbufnr;
// Steps per measure at the tempo in force: 4 up to tempo 160, 2 above.
extern std::atomic<int32> STEPS_PER_MEASURE;

// Player thread (inside a step) or while the player is stopped. Applies the song's tempo to
// STEPS_PER_MEASURE and to the length of the half being filled.
void UpdatePlayerTempo();

// The note the preview plays while the song is stopped, on song instrument slot setnoteinstr.
extern NoteInfo setnote;
extern std::atomic<int32> setnoteinstr;
extern Modifiers* setmodifiers;

// Window or MIDI input thread. Starts the preview of note on song instrument slot slot.
void PlaySetNote(int slot, int note);
