#include "app/measure_view.h"

#include <cstdio>

#include "engine/finite_values.h"
#include "engine/player.h"
#include "engine/song.h"
#include "platform/interface/bitmap.h"

namespace {

constexpr rgb_color kBackground = {216, 216, 216, 255};
constexpr rgb_color kText = {0, 0, 0, 255};
constexpr rgb_color kAlarm = {200, 0, 0, 255};
constexpr float kLeft = 3;
// The time's colon sits closer to its digits, so that "m:ss" fits the view's 26 pixels.
constexpr float kColonTuck = 1.5f;
constexpr float kMeasureRow = 12, kBeatRow = 24, kTimeRow = 36, kLoadRow = 48;
constexpr int32 kPulsesPerLoad = 3;
// The position thread runs only while the song plays: a pause in its calls of five of its
// periods means the song stopped, and the next call starts a new play.
constexpr bigtime_t kStopGap = 250000;

int32 WholeMeasures(float position) {
    return ClampToInt(double(position), 0, Song::kLastPosition);
}

std::string Format(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

MeasureView::MeasureView(BRect frame, BView* measureview)
    : PosEventView(frame, "MeasureView", B_FOLLOW_LEFT | B_FOLLOW_TOP,
                   B_WILL_DRAW | B_PULSE_NEEDED),
      fBitmap(std::make_unique<BBitmap>(Bounds(), B_RGB32, true)),
      fOffscreen(new BView(Bounds(), "view", B_FOLLOW_NONE, B_WILL_DRAW)) {
    SetViewColor(kBackground);
    BFont font;
    if (measureview) measureview->GetFont(&font);
    fOffscreen->SetFont(&font);
    fBitmap->AddChild(fOffscreen);
    Render(0, 0);
}

MeasureView::~MeasureView() {
    StopPositions();
}

void MeasureView::Draw(BRect) {
    fBitmap->Lock();
    DrawBitmap(fBitmap.get(), BPoint(0, 0));
    fBitmap->Unlock();
}

void MeasureView::Pulse() {
    fPulses = (fPulses + 1) % kPulsesPerLoad;
    if (fPulses != 0) return;
    fLoad = Format("%d%%", GetPlayerCPUConsumption());
    // Samples the mixer played as silence since the last refresh, for not being numbers.
    const int64 silenced = GetSilencedSamples();
    fSilenced = silenced > fSilencedBefore;
    fSilencedBefore = silenced;
}

void MeasureView::UpdatePos(float from, float to, float** buffers, long count) {
    // Time since the song started playing, on the player's clock. The song's own time cannot
    // be told from its position, whose measures last as long as the tempo of their day.
    const bigtime_t now = PlayerClock();
    if (fLastPosition == 0 || now - fLastPosition > kStopGap) fPlayStart = now;
    fLastPosition = now;
    fSeconds = double(now - fPlayStart) / 1e6;
    PosEventView::UpdatePos(from, to, buffers, count);
}

std::string MeasureView::MeasureText(float position) {
    return Format("%03d", WholeMeasures(position) / 4);
}

std::string MeasureView::BeatText(float position) {
    return Format("%d", WholeMeasures(position) % 4 + 1);
}

std::string MeasureView::TimeText(double seconds) {
    const int32 whole = ClampToInt(seconds, 0, 999 * 60);
    // From ten minutes on, the minutes alone, which keeps the row four characters wide.
    if (whole >= 600) return Format("%dm", whole / 60);
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", int(whole / 60), int(whole % 60));
    return text;
}

void MeasureView::UpdateLocked(float, float to, float**, long) {
    Render(to, fSeconds);
    Invalidate();
}

void MeasureView::DrawTime(const std::string& time) {
    const size_t colon = time.find(':');
    fOffscreen->DrawString(time.substr(0, colon).c_str(), BPoint(kLeft, kTimeRow));
    if (colon == std::string::npos) return;
    fOffscreen->MovePenBy(-kColonTuck, 0);
    fOffscreen->DrawString(":");
    fOffscreen->MovePenBy(-kColonTuck, 0);
    fOffscreen->DrawString(time.substr(colon + 1).c_str());
}

void MeasureView::Render(float position, double seconds) {
    fBitmap->Lock();
    fOffscreen->SetHighColor(kBackground);
    fOffscreen->FillRect(fOffscreen->Bounds());
    fOffscreen->SetHighColor(kText);
    fOffscreen->DrawString(MeasureText(position).c_str(), BPoint(kLeft, kMeasureRow));
    fOffscreen->DrawString(BeatText(position).c_str(), BPoint(kLeft, kBeatRow));
    DrawTime(TimeText(seconds));
    // Samples were silenced: the load in red, marked.
    if (fSilenced) fOffscreen->SetHighColor(kAlarm);
    fOffscreen->DrawString((fLoad + (fSilenced ? "!" : "")).c_str(), BPoint(kLeft, kLoadRow));
    fOffscreen->Sync();
    fBitmap->Unlock();
}
