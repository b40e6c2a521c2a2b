// The program's name and version, centred on the screen: the start-up splash and File ▸ About.
#pragma once

#include "platform/interface/window.h"

class AboutWindow : public BWindow {
  public:
    // The GUI thread. Sets aboutwindow and shows itself; a click, Escape or the close button
    // closes it, as does Lock() then Quit().
    AboutWindow();
    // Clears aboutwindow.
    ~AboutWindow() override;

    // Any thread. Showing a shown window again does nothing.
    void Show() override;
};

// Null while no about window is open. The GUI thread.
extern AboutWindow* aboutwindow;
