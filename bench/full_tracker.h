// What the Gridloom benchmarks measure with: a song of one pattern tracker with 128 tracks on an
// instrument that adds nothing, from the add-ons of the tests' tree.
#pragma once

#include "message/support_defs.h"

class PatternTracker;

// The first rows of every track's first page each start a note, of pitches that differ from
// track to track and row to row. Aborts when the add-on cannot be loaded.
PatternTracker* FullTracker(int32 rows);
