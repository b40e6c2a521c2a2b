// A sound server started for one test: private to it, recorded, and made to vanish on demand.
#pragma once

#include <string>
#include <vector>

// The test's thread.
class AudioServer {
  public:
    virtual ~AudioServer() = default;

    // What VELLORAN_AUDIO calls the output that plays to it.
    virtual const char* Backend() const = 0;
    // Starts it, waits until it answers, and points this process at it; false with *error.
    virtual bool Start(std::string* error) = 0;
    // Records what Velloran plays to it from now on; false with *error.
    virtual bool StartRecording(std::string* error) = 0;
    // What was recorded: interleaved stereo float at 44100 frames/s.
    virtual std::vector<float> StopRecording() = 0;
    // Frames recorded so far.
    virtual size_t FramesRecorded() const = 0;
    // Makes it vanish at once, as a crash would.
    virtual void Kill() = 0;
    // What it said, for a failure message.
    virtual std::string Log() const = 0;
};
