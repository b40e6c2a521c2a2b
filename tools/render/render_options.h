// The command line of velloran-render.
#pragma once

#include <string>

#include "engine/render_plan.h"
#include "engine/song_export.h"

struct RenderOptions {
    std::string song;
    ExportOptions output;
    RenderPlan::Until until = RenderPlan::Until::kContentEnd;
    double amount = 0;
    bool help = false;
    bool progress = true;

    // False with *error set for a command line that can't be followed.
    bool Parse(int argc, const char* const* argv, std::string* error);
    static const char* Usage();
};
