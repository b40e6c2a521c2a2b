// The demo song played through a JACK server of the test's own on the dummy driver.
#include "tests/servers/jack_server.h"
#include "tests/servers/server_playback.h"

namespace {

class Jack : public ServerPlayback {};

TEST_F(Jack, PlaysTheDemoSongAsTheOfflineRenderDoes) {
    PlaysTheDemoSongAsTheOfflineRenderDoes(std::make_unique<JackServer>());
}

}  // namespace
