// A test plug-in with RECORDING_INPUTS inputs and RECORDING_OUTPUTS outputs that logs every
// request of its host. Its first output is its first input plus ten times every input beyond
// the second; its second output twice its second input plus the same; every output beyond the
// second is filled with 1e6. With one input and one output it triples its input.
#include <cstring>

#include "effect_plugin_interface.h"
#include "tests/addons/plugbay/recording_effect.h"

#define RECORDING_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

RecordedSession session;
AEffect record;

intptr_t Dispatch(AEffect*, int32_t opcode, int32_t index, intptr_t value, void*, float opt) {
    if (session.count < RecordedSession::kMaxRequests) {
        session.requests[session.count++] = {opcode, index, value, opt};
    }
    return 0;
}

float Extras(float** inputs, int32_t f) {
    float sum = 0.0f;
    for (int i = 2; i < RECORDING_INPUTS; i++) sum += inputs[i][f];
    return 10.0f * sum;
}

void Process(AEffect*, float** inputs, float** outputs, int32_t frames) {
    session.processed++;
    session.frames = frames;
    for (int32_t f = 0; f < frames; f++) {
        if (RECORDING_OUTPUTS == 1) {
            outputs[0][f] = 3.0f * inputs[0][f];
            continue;
        }
        float extra = Extras(inputs, f);
        outputs[0][f] = inputs[0][f] + extra;
        outputs[1][f] = 2.0f * inputs[1][f] + extra;
        for (int o = 2; o < RECORDING_OUTPUTS; o++) outputs[o][f] = 1e6f;
    }
}

AEffect* Entry(AEffectHostCallback host) {
    std::memset(&session, 0, sizeof session);
    session.version = host(nullptr, kHostVersion, 0, 0, nullptr, 0.0f);
    session.time = host(nullptr, kHostGetTime, 0, 0, nullptr, 0.0f);
    session.rate = host(nullptr, kHostGetSampleRate, 0, 0, nullptr, 0.0f);
    session.block = host(nullptr, kHostGetBlockSize, 0, 0, nullptr, 0.0f);
    session.unknown = host(nullptr, 4242, 0, 0, nullptr, 0.0f);
    record = AEffect{};
    record.magic = AEFFECT_MAGIC;
    record.dispatcher = Dispatch;
    record.process = Process;
    record.numInputs = RECORDING_INPUTS;
    record.numOutputs = RECORDING_OUTPUTS;
    return &record;
}

}  // namespace

RECORDING_EXPORT RecordedSession* RecordingSession() {
    return &session;
}

// The one-channel build exports its entry only under the older name.
#if RECORDING_OUTPUTS == 1
RECORDING_EXPORT AEffect* VSTPluginMain(AEffectHostCallback host) {
    return Entry(host);
}
#else
RECORDING_EXPORT AEffect* main_plugin(AEffectHostCallback host) {
    return Entry(host);
}
#endif
