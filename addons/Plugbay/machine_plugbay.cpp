#include "addons/Plugbay/machine_plugbay.h"

#include "addons/Plugbay/effect_roster.h"
#include "platform/interface/view.h"

MachinePlugbay::MachinePlugbay() {
    SetName("Plugbay plugins");
    has_input = 1;
    has_output = 1;
    effect_roster.ScanAll();
}

MachinePlugbay::~MachinePlugbay() {
    delete view;
}

void MachinePlugbay::ShowWindow() {
    pipe.ShowWindow();
}

void MachinePlugbay::Process() {
    if (pipe.bypassall) return;
    pipe.Run(buffer_left, buffer_right, buffer_length);
}

void MachinePlugbay::Open(BMessage* msg) {
    Machine::Open(msg);
    pipe.Open(msg);
}

void MachinePlugbay::Save(BMessage* msg) {
    Machine::Save(msg);
    pipe.Save(msg);
}
