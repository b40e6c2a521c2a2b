#include "engine/notes.h"

#include <array>
#include <cmath>

namespace {

const std::array<float, 128> kPitches = [] {
    std::array<float, 128> table{};
    for (int n = 0; n < 128; n++) table[size_t(n)] = float(std::pow(2.0, (n - 69) / 12.0));
    return table;
}();

}  // namespace

float NoteToPitch(int note) {
    if (note < 0) note = 0;
    if (note > 127) note = 127;
    return kPitches[size_t(note)];
}

const char* NoteToString(int note) {
    static const char* const kNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                           "F#", "G",  "G#", "A",  "A#", "B"};
    return kNames[((note % 12) + 12) % 12];
}
