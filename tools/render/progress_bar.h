// A progress line on standard error, redrawn in place: only when it is a terminal.
#pragma once

#include <string>

#include "message/support_defs.h"
#include "platform/kernel/os.h"

class ProgressBar {
  public:
    // measures is the total to be played; frames the render's length.
    ProgressBar(int32 measures, int64 frames);

    // At most a few times a second: measures done so far, frames rendered.
    void Show(int32 measures, int64 frames);
    // Clears the line.
    void Finish();

    // The line for the given state and seconds elapsed; a plain function for the tests.
    static std::string Line(int32 done, int32 total, double fraction, double elapsed);

  private:
    bool fShown;
    int32 fMeasures;
    int64 fFrames;
    bigtime_t fStart;
    bigtime_t fLastDrawn = 0;
};
