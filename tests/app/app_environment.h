// The program's windows are tested on the offscreen display over the one song, made of the
// real add-ons of the build tree, playing on the null output.
#pragma once

#include <string>
#include <vector>

// Texts ShowError was asked to show since the last Clear.
std::vector<std::string>& ShownErrors();
