// A plug-in that crashes (FAULT_CRASH) or never returns (FAULT_HANG) when it is opened, as
// plug-ins built for other systems sometimes do.
#include <unistd.h>

#include <csignal>

#include "effect_plugin_interface.h"

namespace {

intptr_t Dispatch(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    if (opcode != kEffectOpen) return 0;
#ifdef FAULT_CRASH
    std::raise(SIGSEGV);
#else
    for (;;) pause();
#endif
    return 0;
}

AEffect record = [] {
    AEffect made{};
    made.magic = AEFFECT_MAGIC;
    made.dispatcher = Dispatch;
    made.numInputs = 2;
    made.numOutputs = 2;
    return made;
}();

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* main_plugin(AEffectHostCallback) {
    return &record;
}
