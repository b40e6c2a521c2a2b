// The demo song played through a user-mode PulseAudio of the test's own.
#include "tests/servers/pulse_server.h"
#include "tests/servers/server_playback.h"

namespace {

class PulseAudio : public ServerPlayback {};

TEST_F(PulseAudio, PlaysTheDemoSongAsTheOfflineRenderDoes) {
    PlaysTheDemoSongAsTheOfflineRenderDoes(std::make_unique<PulseServer>());
}

// Users find the program in their mixers by its name.
TEST_F(PulseAudio, TheStreamIsCalledVelloran) {
    StartOn(std::make_unique<PulseServer>());
    if (HasFatalFailure()) return;
    const std::string streams = static_cast<PulseServer&>(Server()).SinkInputs();
    EXPECT_NE(streams.find("application.name = \"Velloran\""), std::string::npos) << streams;
}

}  // namespace
