#include "addons/Gridloom/tracker_globals.h"

PatternTracker* currpat = nullptr;
int32 currtrack = 0;
int32 currpage = 0;
int32 currmodifiernr = 0;
BWindow* patternwindow = nullptr;
int32 setval = 1;
float xofs = 0;
int32 entrycolumn = 0;
int32 grooveofs = 0;
