#include "tests/servers/demo_render.h"

#include <sndfile.h>

#include <fstream>

#include "tests/servers/child_process.h"

DemoRender::DemoRender() : fFolder("velloran-render-") {}

bool DemoRender::Make(int seconds, std::string* error) {
    const std::string out = fFolder / "demo.wav";
    const std::string log = fFolder / "render.log";
    const int status =
        ChildProcess::Run({VELLORAN_RENDER, DEMO_SONG, "-o", out, "--float", "--seconds",
                           std::to_string(seconds), "--quiet"},
                          log, 60000, {std::string("VELLORAN_SOUNDFONT=") + SOUNDFONT});
    if (status != 0) {
        std::ifstream in(log);
        *error = "velloran-render failed: " + std::string(std::istreambuf_iterator<char>(in), {});
        return false;
    }
    return Read(out, error);
}

bool DemoRender::Read(const std::string& path, std::string* error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr || info.samplerate != 44100 || info.channels != 2) {
        if (file != nullptr) sf_close(file);
        *error = "not a 44100 Hz stereo file: " + path;
        return false;
    }
    fSamples.assign(size_t(info.frames) * 2, 0.0f);
    const sf_count_t read = sf_readf_float(file, fSamples.data(), info.frames);
    sf_close(file);
    if (read != info.frames) *error = "short file: " + path;
    return read == info.frames;
}
