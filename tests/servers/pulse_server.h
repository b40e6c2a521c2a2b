// A user-mode PulseAudio with one null sink, in a runtime folder of its own, and parec
// recording the sink's monitor.
#pragma once

#include "tests/servers/audio_server.h"
#include "tests/servers/child_process.h"
#include "tests/servers/private_folder.h"

class PulseServer : public AudioServer {
  public:
    static constexpr const char* kSink = "velloran_test";

    PulseServer();
    ~PulseServer() override;

    const char* Backend() const override { return "pulse"; }
    bool Start(std::string* error) override;
    bool StartRecording(std::string* error) override;
    std::vector<float> StopRecording() override;
    size_t FramesRecorded() const override;
    void Kill() override;
    std::string Log() const override;
    // What pactl lists of the streams playing to the server.
    std::string SinkInputs();

  private:
    std::string Address() const { return "unix:" + fFolder / "native"; }
    // The variables that keep the server and its clients to the private folder.
    std::vector<std::string> Environment() const;
    bool WriteConfigurations() const;
    bool WaitUntilAnswering(std::string* error);
    int Control(const std::vector<std::string>& arguments);

    // Declared first so that it goes after the processes that use it.
    PrivateFolder fFolder;
    ChildProcess fServer;
    ChildProcess fRecorder;
};
