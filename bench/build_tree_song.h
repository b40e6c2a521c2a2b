// What the benchmarks over the shipped add-ons share: the one song, made once per process in
// the build tree's folder with its instrument and machine add-ons, on the null output.
#pragma once

#include "engine/player.h"

// Aborts when the build tree cannot be entered.
void BuildTreeSong(PlayerDrive drive);
