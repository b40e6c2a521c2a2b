// The demo song played in real time by the real engine and add-ons of the build tree through a
// sound server started for the test. The sound output is made once per process, so each test
// needs a process of its own (ctest runs them so).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/servers/audio_server.h"

class ServerPlayback : public ::testing::Test {
  public:
    // What the engine showed the user.
    static std::vector<std::string> ShownErrors();

  protected:
    static constexpr int kRenderSeconds = 12;
    static constexpr double kPlaySeconds = 9;

    void SetUp() override;
    // Stops the song and the output before the server goes.
    void TearDown() override;

    // Starts server, then the engine playing to it, and opens the demo song.
    void StartOn(std::unique_ptr<AudioServer> server);
    AudioServer& Server() { return *fServer; }
    // Where the player is, in measures.
    static double Measures();
    // Measures the song should have moved on in seconds at its tempo.
    static double MeasuresIn(double seconds);
    // CPU time this process has used, in seconds.
    static double CpuSeconds();
    // Stops the song; fails and ends the process when it does not return.
    static void StopSong();
    // Plays the demo song through the server, records it there, and sets the recording
    // against the offline render.
    void PlaysTheDemoSongAsTheOfflineRenderDoes(std::unique_ptr<AudioServer> server);

  private:
    void StartEngine(const char* backend);
    static bool WaitUntilFlowing();

    std::unique_ptr<AudioServer> fServer;
};
