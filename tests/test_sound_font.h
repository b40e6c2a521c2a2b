// The SoundFont every test that measures sound plays with, whatever the machine's default is:
// notes, levels and timings differ from one SoundFont to another.
#pragma once

#include <cstdlib>

constexpr char kTestSoundFont[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";

inline void PinTestSoundFont() {
    setenv("VELLORAN_SOUNDFONT", kTestSoundFont, 1);
}
