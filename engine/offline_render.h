// The song played offline, faster than real time: the steps of playback in order, timed by
// the player's offline clock, with the synthesizers' notes placed on their own frames.
#pragma once

#include "engine/player.h"

// The renderer's thread, with the player driven offline (PlayerDrive::kOffline).
class OfflineRender {
  public:
    // The most frames played at once, so no piece holds more than one change of half.
    static constexpr int32 kPiece = 512;

    // With the song loaded: plays it from the start. Without synths the MIDI messages are
    // dropped, which is what a pass that only measures the song wants. The hook, if any, sees
    // every step rendered, with its frame counted from the render's first frame.
    OfflineRender(bool synths, StepHook hook = nullptr, void* data = nullptr);
    // Stops the song.
    ~OfflineRender();
    OfflineRender(const OfflineRender&) = delete;
    OfflineRender& operator=(const OfflineRender&) = delete;

    // The next frames: the song's output (the player's volume applied) and, when rendering
    // synths, the synthesizers' sound, each overwritten. A pair that is not wanted may be
    // null (the synthesizers' only without synths).
    void Render(float* songLeft, float* songRight, float* synthLeft, float* synthRight,
                int32 frames);
    // Frames rendered so far.
    int64 Frames() const { return fFrames; }

  private:
    static void SeeStep(void* render, const PlayedStep& step);
    void RenderPiece(float* songLeft, float* songRight, float* synthLeft, float* synthRight,
                     int32 frames);

    const bool fSynths;
    StepHook fHook;
    void* fHookData;
    int64 fFirstFrame = 0;
    int64 fFrames = 0;
    float fMix[kPiece * 2] = {};
};

// Window thread or the renderer. The measure after the last one at which any machine plays
// content of its own, 0 when none does.
int32 SongContentEnd();
