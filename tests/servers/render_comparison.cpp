#include "tests/servers/render_comparison.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// The envelope's step: about a millisecond, fine enough to place the song within two.
constexpr int kBlockFrames = 44;
// The recording starts at most this long before the song.
constexpr int64_t kLongestLead = 4 * RenderComparison::kRate;
// Below this the render counts as silent where the recording holds zeros.
constexpr float kAudible = 1e-3f;

const double kNone = std::numeric_limits<double>::quiet_NaN();

// Over both channels of frames interleaved frames.
double Energy(const float* sound, int64_t frames) {
    double sum = 0;
    for (int64_t i = 0; i < 2 * frames; i++) sum += double(sound[i]) * sound[i];
    return sum;
}

double Dot(const float* a, const float* b, int64_t frames) {
    double sum = 0;
    for (int64_t i = 0; i < 2 * frames; i++) sum += double(a[i]) * b[i];
    return sum;
}

double Normalised(double dot, double energyA, double energyB) {
    return energyA > 0 && energyB > 0 ? dot / std::sqrt(energyA * energyB) : 0;
}

// Energy of a frame of both channels.
double FrameEnergy(const float* sound) {
    return double(sound[0]) * sound[0] + double(sound[1]) * sound[1];
}

std::vector<double> Envelope(const std::vector<float>& sound) {
    std::vector<double> envelope(sound.size() / 2 / kBlockFrames);
    for (size_t b = 0; b < envelope.size(); b++) {
        envelope[b] = std::sqrt(Energy(&sound[2 * b * kBlockFrames], kBlockFrames));
    }
    return envelope;
}

// Pearson correlation of a[0..n) and b[0..n): level-free, so a quieter copy matches.
double Pearson(const double* a, const double* b, size_t n) {
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (size_t i = 0; i < n; i++) {
        sa += a[i];
        sb += b[i];
        saa += a[i] * a[i];
        sbb += b[i] * b[i];
        sab += a[i] * b[i];
    }
    const double count = double(n);
    return Normalised(sab - sa * sb / count, saa - sa * sa / count, sbb - sb * sb / count);
}

float Peak(const float* sound, int64_t frames) {
    float peak = 0;
    for (int64_t i = 0; i < 2 * frames; i++) peak = std::max(peak, std::fabs(sound[i]));
    return peak;
}

}  // namespace

RenderComparison::RenderComparison(const std::vector<float>& recording,
                                   const std::vector<float>& render)
    : fRecording(recording), fRender(render) {
    fGlobal = RefineOffset(RoughOffset(), 2 * kBlockFrames);
    MatchWindows();
    CountZeroStretches();
}

int64_t RenderComparison::RoughOffset() const {
    const std::vector<double> recording = Envelope(fRecording);
    const std::vector<double> render = Envelope(fRender);
    // At least a second in common, so that a lag is judged on music, not on its edge.
    const int64_t common = kRate / kBlockFrames;
    const int64_t longest =
        std::min<int64_t>(kLongestLead / kBlockFrames, int64_t(recording.size()) - common);
    int64_t best = 0;
    double bestMatch = -2;
    for (int64_t lag = 0; lag <= longest; lag++) {
        const size_t n = std::min(render.size(), recording.size() - size_t(lag));
        const double match = Pearson(&recording[size_t(lag)], render.data(), n);
        if (match > bestMatch) {
            bestMatch = match;
            best = lag;
        }
    }
    return best * kBlockFrames;
}

int64_t RenderComparison::RefineOffset(int64_t rough, int radius) const {
    int64_t best = rough;
    double bestMatch = -2;
    for (int64_t lag = std::max<int64_t>(0, rough - radius); lag <= rough + radius; lag++) {
        const int64_t n = std::min(Frames(fRender), Frames(fRecording) - lag);
        if (n <= 0) break;
        const float* recording = &fRecording[size_t(2 * lag)];
        const double match = Normalised(Dot(recording, fRender.data(), n), Energy(recording, n),
                                        Energy(fRender.data(), n));
        if (match > bestMatch) {
            bestMatch = match;
            best = lag;
        }
    }
    return best;
}

void RenderComparison::MatchWindows() {
    for (int64_t start = 0; start + kWindowFrames <= Frames(fRender); start += kWindowFrames) {
        if (fGlobal + start - kSearchFrames < 0) continue;
        if (fGlobal + start + kWindowFrames + kSearchFrames > Frames(fRecording)) break;
        const double energy = Energy(&fRender[size_t(2 * start)], kWindowFrames);
        if (std::sqrt(energy / (2 * kWindowFrames)) < kSounding) continue;
        fWindows.push_back(Match(start, energy));
    }
}

RenderComparison::Window RenderComparison::Match(int64_t start, double renderEnergy) const {
    const float* render = &fRender[size_t(2 * start)];
    const float* at = &fRecording[size_t(2 * (fGlobal + start))];
    Window window{start, 0, -2, std::sqrt(Energy(at, kWindowFrames) / renderEnergy)};
    // The recording's energy under the window, slid along with the lag.
    double energy = Energy(at - 2 * kSearchFrames, kWindowFrames);
    for (int lag = -kSearchFrames; lag <= kSearchFrames; lag++) {
        const float* recording = at + 2 * lag;
        const double match =
            Normalised(Dot(recording, render, kWindowFrames), std::max(energy, 0.0), renderEnergy);
        if (match > window.match) {
            window.match = match;
            window.lag = lag;
        }
        if (lag < kSearchFrames) {
            energy += FrameEnergy(recording + 2 * kWindowFrames) - FrameEnergy(recording);
        }
    }
    return window;
}

void RenderComparison::CountZeroStretches() {
    const int64_t end = std::min(Frames(fRecording), fGlobal + Frames(fRender));
    int64_t run = 0;
    for (int64_t frame = fGlobal; frame <= end; frame++) {
        if (frame < end && fRecording[size_t(2 * frame)] == 0.0f &&
            fRecording[size_t(2 * frame + 1)] == 0.0f) {
            run++;
            continue;
        }
        const float* render = &fRender[size_t(2 * (frame - run - fGlobal))];
        if (run >= kZeroRunFrames && Peak(render, run) > kAudible) fZeroStretches++;
        run = 0;
    }
}

int RenderComparison::QuietWindows() const {
    return int(std::count_if(fWindows.begin(), fWindows.end(),
                             [](const Window& w) { return w.level < kQuietShare; }));
}

double RenderComparison::SameNotesShare() const {
    if (fWindows.empty()) return kNone;
    const auto same = std::count_if(fWindows.begin(), fWindows.end(),
                                    [](const Window& w) { return w.match >= kSameNotes; });
    return double(same) / double(fWindows.size());
}

double RenderComparison::LevelRatio() const {
    if (fWindows.empty()) return kNone;
    std::vector<double> levels;
    for (const Window& window : fWindows) levels.push_back(window.level);
    std::nth_element(levels.begin(), levels.begin() + long(levels.size() / 2), levels.end());
    return levels[levels.size() / 2];
}

double RenderComparison::Percentile(double share) const {
    std::vector<int> lags;
    for (const Window& window : fWindows) {
        if (window.match >= kSameNotes) lags.push_back(window.lag);
    }
    if (lags.empty()) return kNone;
    std::sort(lags.begin(), lags.end());
    return lags[size_t(std::lround(share * double(lags.size() - 1)))];
}

std::string RenderComparison::Summary() const {
    char text[400];
    snprintf(text, sizeof(text),
             "global offset %.2f ms; %d sounding windows; window offsets p5 %.2f, p50 %.2f, "
             "p95 %.2f ms, spread %.2f ms; same notes in %.1f%% of windows; %d quiet windows, "
             "%d stretches of zeros; level %.3f of the render's",
             GlobalOffsetMs(), SoundingWindows(), Ms(Percentile(0.05)), Ms(Percentile(0.5)),
             Ms(Percentile(0.95)), SpreadMs(), 100 * SameNotesShare(), QuietWindows(),
             ZeroStretches(), LevelRatio());
    return text;
}
