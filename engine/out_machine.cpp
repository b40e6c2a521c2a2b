#include "engine/out_machine.h"

#include <algorithm>

#include "engine/player.h"

void OutMachine::Process() {
    int32 half = bigbufnr;
    std::copy(buffer_left, buffer_left + buffer_length, bigbuf1[half]);
    std::copy(buffer_right, buffer_right + buffer_length, bigbuf2[half]);
}

Machine* CreateMasterMachine() {
    auto* master = new OutMachine;
    master->SetName("Master");
    master->has_input = 1;
    master->position = BPoint(210, 260);
    return master;
}
