#include "app/machine_map_window.h"

#include "app/machine_map_view.h"
#include "app/volume_changer_view.h"
#include "engine/song.h"

MachineMapWindow* machinemapwindow = nullptr;

MachineMapWindow::MachineMapWindow() : IEWindow("MachineMapWindow") {
    Show();
    Lock();
    BView* area = FindView("view");
    fView = new MachineMapView(area->Bounds());
    area->AddChild(fView);
    Unlock();
    machinemapwindow = this;
}

MachineMapWindow::~MachineMapWindow() {
    if (machinemapwindow == this) machinemapwindow = nullptr;
}

void MachineMapWindow::Update() {
    CloseVolumeChanger();
    // Not under the window's lock: the GUI thread holds it while a changer is open, and no
    // other thread may wait for that.
    if (fView != nullptr) fView->Invalidate();
}

void MachineMapWindow::Show() {
    Lock();
    if (IsHidden()) IEWindow::Show();
    Activate();
    Unlock();
}

bool MachineMapWindow::QuitRequested() {
    if (!IsHidden()) Hide();
    return false;
}

void MachineMapWindow::MessageReceived(BMessage* message) {
    if (message->what != kConnectAll) return IEWindow::MessageReceived(message);
    ConnectAll();
}

void MachineMapWindow::ConnectAll() {
    for (int32 i = 1; i < song->num_machines; i++) {
        Machine* machine = song->machines[i];
        if (machine->has_output && machine->num_out_machines == 0) machine->Connect(0);
    }
    fView->Invalidate();
}
