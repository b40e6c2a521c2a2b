// "Checking plug-ins": which plug-in a long scan checks now, and how far it has come.
#pragma once

#include <string>

#include "platform/interface/window.h"

class BStringView;
class ProgressBarView;

class ScanProgressWindow : public BWindow {
  public:
    // The GUI thread. Centred on the screen and shown; only Lock() then Quit() closes it.
    ScanProgressWindow();

    // Any thread. The plug-in checked now is the k-th of n.
    void SetProgress(const std::string& name, int32 k, int32 n);

  private:
    BStringView* fName;
    BStringView* fCount;
    ProgressBarView* fBar;
};
