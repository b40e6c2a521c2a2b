// The demo song rendered offline by velloran-render, as a user renders it, and read back.
#pragma once

#include <string>
#include <vector>

#include "tests/servers/private_folder.h"

class DemoRender {
  public:
    DemoRender();

    // Renders the first seconds of the demo song with the SoundFont the tests pin; false
    // with *error.
    bool Make(int seconds, std::string* error);
    // Interleaved stereo float at 44100 frames/s.
    const std::vector<float>& Samples() const { return fSamples; }

  private:
    bool Read(const std::string& path, std::string* error);

    PrivateFolder fFolder;
    std::vector<float> fSamples;
};
