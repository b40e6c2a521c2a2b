// The window of the machine map: open from start-up, only ever hidden, with a menu that
// connects every unconnected machine to the master.
#pragma once

#include "app/machine_map_seam.h"
#include "ui/ie_window.h"

class MachineMapView;

class MachineMapWindow : public IEWindow, public MachineMapLink {
  public:
    enum : uint32 { kConnectAll = 170 };

    // The GUI thread, once, with the song made. Sets machinemapwindow; shown at once.
    MachineMapWindow();
    ~MachineMapWindow() override;

    // Any thread. Closes an open volume changer, whose connection may be gone, and redraws.
    void Update() override;
    // The GUI thread.
    void Show() override;
    // The window's thread: hides the window and refuses to close.
    bool QuitRequested() override;
    void MessageReceived(BMessage* message) override;
    // Any thread; the view lives as long as the window.
    MachineMapView* View() const { return fView; }

  private:
    void ConnectAll();

    MachineMapView* fView = nullptr;
};

extern MachineMapWindow* machinemapwindow;
