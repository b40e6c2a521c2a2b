// Values shared by every Gridloom machine of the running program.
#pragma once

#include "message/support_defs.h"

class BWindow;
class PatternTracker;

// Window threads: what the editor shows and what the lane views paint.
extern PatternTracker* currpat;
extern int32 currtrack;
extern int32 currpage;
extern int32 currmodifiernr;
extern BWindow* patternwindow;
extern int32 setval;
// The pattern window's first grid column shown, shared by its grids, bars and ruler.
extern float xofs;
// The page row where the note grid enters typed notes; the track grid shows it too.
extern int32 entrycolumn;
// Player thread: the place in the groove cycle, advanced by every grooved sub-step.
extern int32 grooveofs;
