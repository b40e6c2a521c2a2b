// wav_onsets WAV: the times, in milliseconds, at which sounds start in a rendered song: where
// the level of a 5 ms window rises well above the windows before it, at most one per 100 ms.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWindow = 220;
// Louder than what the synthesizer leaves between notes, quieter than any note's start.
constexpr double kFloor = 0.002;
constexpr double kRise = 4;
constexpr int kRefractoryWindows = 20;

std::vector<double> WindowLevels(SNDFILE* file, int channels) {
    std::vector<double> levels;
    std::vector<float> frames(size_t(kWindow * channels));
    sf_count_t read;
    while ((read = sf_readf_float(file, frames.data(), kWindow)) > 0) {
        double sum = 0;
        for (sf_count_t i = 0; i < read * channels; i++)
            sum += double(frames[size_t(i)]) * frames[size_t(i)];
        levels.push_back(std::sqrt(sum / double(read * channels)));
    }
    return levels;
}

}  // namespace

int main(int argc, char** argv) {
    SF_INFO info{};
    SNDFILE* file = argc == 2 ? sf_open(argv[1], SFM_READ, &info) : nullptr;
    if (file == nullptr) {
        std::fprintf(stderr, "usage: wav_onsets WAV (%s)\n", sf_strerror(nullptr));
        return 2;
    }
    const std::vector<double> levels = WindowLevels(file, info.channels);
    sf_close(file);
    int last = -kRefractoryWindows;
    for (size_t i = 0; i < levels.size(); i++) {
        const double before = i < 2 ? 0 : std::min(levels[i - 1], levels[i - 2]);
        if (levels[i] < kFloor || levels[i] < kRise * before || int(i) - last < kRefractoryWindows)
            continue;
        last = int(i);
        std::printf("%.0f\n", double(i) * kWindow * 1000.0 / info.samplerate);
    }
    return 0;
}
