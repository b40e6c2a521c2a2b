#include "addons/Plugbay/host_callback.h"

#include "engine/machine.h"

namespace {

constexpr intptr_t kHostInterfaceVersion = 2400;
constexpr intptr_t kSampleRate = 44100;

}  // namespace

intptr_t Hej(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    switch (opcode) {
        case kHostVersion:
            return kHostInterfaceVersion;
        case kHostGetSampleRate:
            return kSampleRate;
        case kHostGetBlockSize:
            return Machine::kBufferFrames;
        case kHostGetTime:  // no transport to report: null
        default:
            return 0;
    }
}
