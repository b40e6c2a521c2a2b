// The read-out beside the playlist: the group of four measures, the measure within it, the
// time since Play and the player's processor load.
#pragma once

#include <memory>
#include <string>

#include "app/pos_event_view.h"

class BBitmap;

class MeasureView : public PosEventView {
  public:
    // The window's thread. frame: the bounds of "measureview", whose font the read-out takes.
    MeasureView(BRect frame, BView* measureview);
    ~MeasureView() override;

    // The window's thread.
    void Draw(BRect updateRect) override;
    // The window's thread: every third pulse refreshes the load.
    void Pulse() override;
    // Position thread: notes the time before waiting for the window.
    void UpdatePos(float from, float to, float** buffers, long count) override;

    // Any thread. The rows' texts for a position in measures and for seconds played.
    static std::string MeasureText(float position);
    static std::string BeatText(float position);
    static std::string TimeText(double seconds);

  protected:
    void UpdateLocked(float from, float to, float** buffers, long count) override;

  private:
    void Render(float position, double seconds);
    void DrawTime(const std::string& time);

    std::unique_ptr<BBitmap> fBitmap;
    BView* fOffscreen = nullptr;
    // Window lock: pulses write them on the window's thread, positions read them with the
    // window locked.
    std::string fLoad = "0%";
    bool fSilenced = false;
    int64 fSilencedBefore = 0;
    int32 fPulses = 0;
    // Position thread.
    bigtime_t fPlayStart = 0;
    bigtime_t fLastPosition = 0;
    double fSeconds = 0;
};
