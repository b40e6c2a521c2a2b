// Checks that bytes hold an image the program can show without converting it.
#pragma once

#include <string>
#include <vector>

#include "message/support_defs.h"

// Any thread. Empty for a 24-bit uncompressed true-colour TGA image, else what is wrong.
std::string CheckTga(const std::vector<uint8>& bytes);
