// Every add-on found, with what it says about itself. Made anew each time it is asked for.
#pragma once

#include "ui/ie_window.h"

class BTextView;
class Roster;

class AddonInfoWindow : public IEWindow {
  public:
    // The GUI thread. Lists the machines, instruments and importers, and shows itself; it is
    // deleted when closed.
    AddonInfoWindow();

    // The thread that holds the window: appends the heading and each add-on of the roster.
    void InsertInfo(const char* heading, Roster* roster);
    // The thread that holds the window.
    const BTextView* TextView() const { return fText; }

  private:
    BTextView* fText = nullptr;
};
