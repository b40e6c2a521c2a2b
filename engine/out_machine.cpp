#include "engine/out_machine.h"

#include <algorithm>

#include "engine/player.h"

void OutMachine::Process() {
    int32 half = bigbufnr;
    std::copy(buffer_left, buffer_left + buffer_length, bigbuf1[half]);
    std::copy(buffer_right, buffer_right + buffer_length, bigbuf2[half]);
    // After a tempo change the half plays longer than this step rendered: the rest is silence.
    int32 played = std::min(int32(bigbuflen[half]), kBigBufferFrames);
    if (played > buffer_length) {
        std::fill(bigbuf1[half] + buffer_length, bigbuf1[half] + played, 0.0f);
        std::fill(bigbuf2[half] + buffer_length, bigbuf2[half] + played, 0.0f);
    }
}

Machine* CreateMasterMachine() {
    auto* master = new OutMachine;
    master->SetName("Master");
    master->has_input = 1;
    master->position = BPoint(210, 260);
    return master;
}
