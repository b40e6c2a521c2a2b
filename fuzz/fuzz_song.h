// What the song fuzzers share: the one song, made once, with the add-ons under root.
#pragma once

#include <string>

// From LLVMFuzzerInitialize. Errors are dropped and sound goes nowhere; the path is a file in
// memory for the fuzzer's songs, so saving's sync costs nothing. Empty when root is missing.
std::string StartFuzzSong(const char* root, const char* stem);
