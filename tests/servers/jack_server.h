// A JACK server under a name of its own on the dummy driver (44100 frames/s, 512-frame
// periods unless told otherwise), and a client of the test's that records what Velloran plays to
// it.
#pragma once

#include <memory>

#include "tests/servers/audio_server.h"
#include "tests/servers/child_process.h"
#include "tests/servers/jack_recorder.h"
#include "tests/servers/private_folder.h"

class JackServer : public AudioServer {
  public:
    explicit JackServer(int periodFrames = 512);
    ~JackServer() override;

    const char* Backend() const override { return "jack"; }
    bool Start(std::string* error) override;
    // Waits for Velloran's ports and connects to them.
    bool StartRecording(std::string* error) override;
    std::vector<float> StopRecording() override;
    size_t FramesRecorded() const override;
    void Kill() override;
    std::string Log() const override;

  private:
    std::vector<std::string> Environment() const;
    // Starts jackd with these options before the driver's; true once it answers.
    bool Launch(const std::vector<std::string>& options);
    bool LaunchUnderAPoolName();
    // The shared memory of its own that the server has mapped: what it leaves when killed.
    std::vector<std::string> MappedSharedMemory() const;
    // What a server that did not end cleanly left in shared memory.
    void RemoveLeftovers() const;

    // Declared first so that it goes after the processes that use it.
    PrivateFolder fFolder;
    std::string fName;
    int fPeriodFrames;
    ChildProcess fServer;
    std::vector<std::string> fLeftovers;
    std::unique_ptr<JackRecorder> fRecorder;
};
