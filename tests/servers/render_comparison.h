// A recording of what a sound server received set against the offline render of the same
// song: how far it lags, how steadily, whether sound went missing, and whether the same notes
// sound. Everything is computed at construction.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class RenderComparison {
  public:
    static constexpr int kRate = 44100;
    // About 100 ms, long enough to hold a note's onset and short enough to see jitter.
    static constexpr int kWindowFrames = 4410;
    // How far a window's sound may sit from where the whole recording places it.
    static constexpr int kSearchFrames = 15 * kRate / 1000;
    // Windows of the render at least this loud (RMS) are compared: -54 dBFS, below the demo's
    // soft intro and above the gaps between its notes.
    static constexpr double kSounding = 0.002;
    // A recording this much quieter than the render at the same place has lost the sound.
    static constexpr double kQuietShare = 0.1;
    // Exact zeros this long in a recording where the render sounds: a buffer never played.
    static constexpr int kZeroRunFrames = 32;
    // Normalised correlation from which a window holds the same notes.
    static constexpr double kSameNotes = 0.9;

    // Both interleaved stereo at kRate frames/s; the recording starts before the song does.
    RenderComparison(const std::vector<float>& recording, const std::vector<float>& render);

    // Where the render's first frame is in the recording, in ms.
    double GlobalOffsetMs() const { return Ms(fGlobal); }
    // The windows of the render that sound and lie within the recording.
    int SoundingWindows() const { return int(fWindows.size()); }
    // The 95th minus the 5th percentile of the offsets of the windows that hold the same notes
    // (elsewhere the best lag means nothing), in ms; NaN without any.
    double SpreadMs() const { return Ms(Percentile(0.95) - Percentile(0.05)); }
    // Sounding windows that the recording holds at under kQuietShare of the render's level.
    int QuietWindows() const;
    // Runs of kZeroRunFrames or more exact zeros in the recording where the render sounds.
    int ZeroStretches() const { return fZeroStretches; }
    // Share of sounding windows whose best correlation reaches kSameNotes; NaN without any.
    double SameNotesShare() const;
    // The recording's level over the render's, the median over the sounding windows.
    double LevelRatio() const;
    // The figures, on one line.
    std::string Summary() const;

  private:
    struct Window {
        int64_t start;  // first frame in the render
        int lag;        // frames past the global offset where it matches best
        double match;   // normalised correlation there
        double level;   // the recording's RMS over the render's, at the global offset
    };

    static double Ms(double frames) { return frames * 1000.0 / kRate; }
    int64_t Frames(const std::vector<float>& sound) const { return int64_t(sound.size() / 2); }
    int64_t RoughOffset() const;
    int64_t RefineOffset(int64_t rough, int radius) const;
    void MatchWindows();
    Window Match(int64_t start, double renderEnergy) const;
    void CountZeroStretches();
    double Percentile(double share) const;

    std::vector<float> fRecording;
    std::vector<float> fRender;
    int64_t fGlobal = 0;
    std::vector<Window> fWindows;
    int fZeroStretches = 0;
};
