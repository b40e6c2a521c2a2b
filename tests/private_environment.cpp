// Linked into every test program: whatever the machine has chosen or runs, tests measure with
// one SoundFont and reach no sound server or MIDI service but those they start themselves.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/test_sound_font.h"

namespace {

struct PrivateEnvironment {
    PrivateEnvironment() {
        PinTestSoundFont();
        const std::string name = "velloran-none-" + std::to_string(getpid());
        setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
        setenv("JACK_NO_START_SERVER", "1", 1);
        setenv("PULSE_SERVER", ("unix:/nonexistent/" + name + "/native").c_str(), 1);
        // No plug-ins from the machine's own folders; checks of ours are kept apart from the
        // user's.
        setenv("VST_PATH", "", 1);
        setenv("XDG_CACHE_HOME", "/tmp/velloran-test-cache", 1);
    }
};

[[maybe_unused]] const PrivateEnvironment environment;

}  // namespace
