// The one way the program's windows reach the machine map. Until a map window is attached,
// every call does nothing.
#pragma once

class MachineMapLink {
  public:
    virtual ~MachineMapLink() = default;
    // Any thread: redraw the map from the song. Never waits for the map's window lock, which
    // the GUI thread holds while a volume changer is open.
    virtual void Update() = 0;
    // The GUI thread.
    virtual void Show() = 0;
};

// The GUI thread, at start-up. The map stays attached until the process ends.
void AttachMachineMap(MachineMapLink* map);
// Any thread.
void UpdateMachineMap();
// The GUI thread.
void ShowMachineMap();
