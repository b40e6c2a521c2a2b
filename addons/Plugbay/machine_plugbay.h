// "Plugbay plugins": an effect machine that runs its mixed input through a pipe of plug-ins.
#pragma once

#include "addons/Plugbay/effect_pipe.h"
#include "engine/machine.h"

class MachinePlugbay : public Machine {
  public:
    // Window thread or the song loader. The first machine of the image scans the plug-ins;
    // every machine waits for that scan to end.
    MachinePlugbay();
    ~MachinePlugbay() override;

    // Window thread.
    void ShowWindow() override;
    // Player thread, under the song lock.
    void Process() override;
    // Window thread or the song loader.
    void Open(BMessage* msg) override;
    void Save(BMessage* msg) override;

    EffectPipe pipe;
};
