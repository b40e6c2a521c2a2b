// The demo song played through a user-mode PulseAudio of the test's own.
#include "tests/servers/pulse_server.h"
#include "tests/servers/server_playback.h"

namespace {

class PulseAudio : public ServerPlayback {};

TEST_F(PulseAudio, PlaysTheDemoSongAsTheOfflineRenderDoes) {
    PlaysTheDemoSongAsTheOfflineRenderDoes(std::make_unique<PulseServer>());
}

}  // namespace
