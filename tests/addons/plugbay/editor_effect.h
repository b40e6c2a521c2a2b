// What the editor test plug-in was asked and what it made on the display, read back and
// steered by the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effect_plugin_interface.h"

struct EditorState {
    // The rectangle answered; with answerRect false the plug-in answers none.
    ERect rect{0, 0, 120, 300};
    bool answerRect = true;
    // Every request but idle, as "EditOpen", "MainsChanged 0", ...
    std::vector<std::string> calls;
    int idles = 0;
    unsigned long parent = 0;  // the window EditOpen named
    unsigned long child = 0;   // the plug-in's own window in it while open
};

using EditorStateFunc = EditorState* (*)();
// The colour the editor fills its window with, as 0xRRGGBB.
constexpr unsigned long kEditorColour = 0x3366cc;
