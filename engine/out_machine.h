// The master machine: the end of the graph, whose output goes to the player.
#pragma once

#include "engine/machine.h"

class OutMachine : public Machine {
  public:
    ~OutMachine() override = default;
    // Player thread, under the song lock. Copies the step into the half being filled.
    void Process() override;
};

// Window thread or the song loader.
Machine* CreateMasterMachine();
