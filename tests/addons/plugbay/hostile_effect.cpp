// A test plug-in that claims many parameters whose names fill the whole buffer or are not
// UTF-8, whose values lie outside 0..1, and that counts calls beyond its current count. Every
// instance shares one record, so a test changes the count through any of them.
#include <cstring>

#include "effect_plugin_interface.h"
#include "tests/addons/plugbay/hostile_effect.h"

#define HOSTILE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kNameBuffer = 256;

HostileState state;
AEffect record;

bool Beyond(int32_t index) {
    const bool beyond = index < 0 || index >= record.numParams;
    state.outOfRange += beyond;
    return beyond;
}

void CopyName(int32_t index, char* text) {
    if (index == 0) {
        std::memset(text, 'A', kNameBuffer);  // no end of its own
    } else if (index == 1) {
        std::strcpy(text,
                    "Gr\xfc\xdf"
                    "e");  // Latin-1
    } else if (index == 2) {
        std::strcpy(text,
                    "Gr\xc3\xb6\xc3\x9f"
                    "e");  // UTF-8
    } else {
        text[0] = 'P';
        text[1] = char('0' + index % 10);
    }
}

intptr_t Dispatch(AEffect*, int32_t opcode, int32_t index, intptr_t value, void* ptr, float) {
    if (opcode == kEffectGetParamName && !Beyond(index)) CopyName(index, static_cast<char*>(ptr));
    state.switchedOff += opcode == kEffectMainsChanged && value == 0;
    state.closed += opcode == kEffectClose;
    return 0;
}

void SetParameter(AEffect*, int32_t index, float value) {
    if (Beyond(index)) return;
    state.sets++;
    state.lastIndex = index;
    state.lastValue = value;
}

float GetParameter(AEffect*, int32_t index) {
    return Beyond(index) ? 0.0f : state.values[index];
}

void Process(AEffect*, float**, float**, int32_t) {}

}  // namespace

HOSTILE_EXPORT HostileState* HostileSession() {
    return &state;
}

HOSTILE_EXPORT AEffect* main_plugin(AEffectHostCallback) {
    record = AEffect{};
    record.magic = AEFFECT_MAGIC;
    record.dispatcher = Dispatch;
    record.process = Process;
    record.setParameter = SetParameter;
    record.getParameter = GetParameter;
    record.numParams = HostileState::kMostParams;
    record.numInputs = 2;
    record.numOutputs = 2;
    return &record;
}
