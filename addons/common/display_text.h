// Text from a plug-in or a file name, made fit to show.
#pragma once

#include <string>

// Any thread. The bytes as they are when they are UTF-8, else read as Latin-1.
std::string DisplayText(const char* bytes);
