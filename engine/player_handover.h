// What the player thread and the sound routine hand each other beyond the big buffer: where
// the song starts, where each step starts to sound, and what went late.
#pragma once

#include <atomic>

#include "message/support_defs.h"

// The frame the song's first half starts to sound at, set before the song plays; the sound
// routine takes it (and sets it to -1) when it starts the song.
extern std::atomic<int64> songStartFrame;
// Where the half that the sound routine has just freed starts to sound, set at every switch
// before fillnowflag.
extern std::atomic<int64> nextStepFrame;
// steps_rendered before the first step of this play; the sound routine counts the halves it
// switched to since, to see whether each was refilled in time.
extern std::atomic<uint32> stepsAtStart;
extern std::atomic<int64> lateHalves;
// While set, the player stamps FILLBUFFER_TIME for its steps and the preview leaves it alone.
extern std::atomic<bool> stepsStamp;
