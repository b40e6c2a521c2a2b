#include "addons/Plugbay/scan_progress_window.h"

#include "addons/common/display_text.h"
#include "platform/interface/screen.h"
#include "platform/interface/string_view.h"
#include "ui/progress_bar_view.h"

namespace {

constexpr float kWidth = 320;
constexpr float kHeight = 84;
constexpr uchar kGrey = 216;

BRect CentredFrame() {
    const BRect screen = BScreen().Frame();
    const float left = float(int((screen.Width() - kWidth) * 0.5f));
    const float top = float(int((screen.Height() - kHeight) * 0.5f));
    return BRect(left, top, left + kWidth, top + kHeight);
}

BStringView* Line(BView* back, float top, const char* name) {
    auto* line = new BStringView(BRect(10, top, kWidth - 10, top + 16), name, "",
                                 B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
    line->SetViewColor(kGrey, kGrey, kGrey);
    back->AddChild(line);
    return line;
}

}  // namespace

ScanProgressWindow::ScanProgressWindow()
    : BWindow(
          CentredFrame(), "Checking plug-ins", B_TITLED_WINDOW_LOOK, B_FLOATING_APP_WINDOW_FEEL,
          B_NOT_CLOSABLE | B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_AVOID_FOCUS) {
    auto* back = new BView(Bounds(), "back", B_FOLLOW_ALL, B_WILL_DRAW);
    back->SetViewColor(kGrey, kGrey, kGrey);
    AddChild(back);
    fName = Line(back, 8, "plug-in");
    fCount = Line(back, 28, "count");
    fBar = new ProgressBarView(BRect(10, 54, kWidth - 10, 70), "bar");
    back->AddChild(fBar);
    Show();
}

void ScanProgressWindow::SetProgress(const std::string& name, int32 k, int32 n) {
    Lock();
    fName->SetText(DisplayText(name.c_str()).c_str());
    fCount->SetText((std::to_string(k) + " of " + std::to_string(n)).c_str());
    // The k-th is still being checked.
    fBar->SetDone(n > 0 ? float(k - 1) / float(n) : 0);
    Unlock();
}
