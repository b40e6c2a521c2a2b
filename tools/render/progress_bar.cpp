#include "tools/render/progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kWidth = 30;
constexpr bigtime_t kRedraw = 100000;
constexpr double kSettle = 0.5;

}  // namespace

ProgressBar::ProgressBar(int32 measures, int64 frames)
    : fShown(isatty(STDERR_FILENO) != 0),
      fMeasures(measures),
      fFrames(std::max<int64>(frames, 1)),
      fStart(system_time()) {}

std::string ProgressBar::Line(int32 done, int32 total, double fraction, double elapsed) {
    fraction = std::clamp(fraction, 0.0, 1.0);
    const int filled = int(fraction * kWidth + 0.5);
    std::string bar(size_t(filled), '#');
    bar.append(size_t(kWidth - filled), '-');
    char text[128];
    // Too early to tell how long the rest will take.
    if (fraction <= 0 || elapsed < kSettle) {
        std::snprintf(text, sizeof(text), "[%s] measure %d of %d", bar.c_str(), int(done),
                      int(total));
    } else {
        const double left = elapsed / fraction - elapsed;
        std::snprintf(text, sizeof(text), "[%s] measure %d of %d, %.0f s left", bar.c_str(),
                      int(done), int(total), left);
    }
    return text;
}

void ProgressBar::Show(int32 measures, int64 frames) {
    const bigtime_t now = system_time();
    if (!fShown || now - fLastDrawn < kRedraw) return;
    fLastDrawn = now;
    const std::string line = Line(std::min(measures, fMeasures), fMeasures,
                                  double(frames) / double(fFrames), double(now - fStart) / 1e6);
    std::fprintf(stderr, "\r%s\033[K", line.c_str());
    std::fflush(stderr);
}

void ProgressBar::Finish() {
    if (fShown) std::fprintf(stderr, "\r\033[K");
}
