// What our plug-ins share: the record, the requests and the parameters, on top of the
// published interface alone. Each plug-in supplies its parameters and its Run.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

#include "effect_plugin_interface.h"

#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

template <int kParams>
class PluginEffect {
  public:
    struct Parameter {
        const char* name;  // at most AEFFECT_NAME_LENGTH characters
        float initial;
    };

    // process set to false leaves only processReplacing, as plug-ins of newer hosts do.
    PluginEffect(int32_t uniqueID, const std::array<Parameter, kParams>& parameters, bool process)
        : fParameters(parameters) {
        for (int i = 0; i < kParams; i++) fValues[i] = parameters[i].initial;
        fRecord.magic = AEFFECT_MAGIC;
        fRecord.dispatcher = Dispatch;
        // Hosts call process in place, so ours leave the processed signal rather than adding
        // it to what the outputs held.
        fRecord.process = process ? Process : nullptr;
        fRecord.setParameter = SetParameter;
        fRecord.getParameter = GetParameter;
        fRecord.numParams = kParams;
        fRecord.numInputs = 2;
        fRecord.numOutputs = 2;
        fRecord.ioRatio = 1.0f;
        fRecord.object = this;
        fRecord.uniqueID = uniqueID;
        fRecord.version = 1;
        fRecord.processReplacing = Process;
    }
    virtual ~PluginEffect() = default;
    PluginEffect(const PluginEffect&) = delete;
    PluginEffect& operator=(const PluginEffect&) = delete;

    AEffect* Record() { return &fRecord; }

  protected:
    // Any thread: parameters change from the host's windows while Run reads them.
    float Value(int index) const { return fValues[index].load(std::memory_order_relaxed); }
    float SampleRate() const { return fSampleRate; }

    // Two channels of frames samples; inputs and outputs may be the same buffers. Allocates
    // nothing.
    virtual void Run(float* const* inputs, float* const* outputs, int32_t frames) = 0;
    // Before the plug-in is switched on: the place to size buffers.
    virtual void Prepare() {}

  private:
    static PluginEffect* Self(AEffect* effect) {
        return static_cast<PluginEffect*>(effect->object);
    }

    static intptr_t Dispatch(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                             void* ptr, float opt) {
        PluginEffect* self = Self(effect);
        switch (opcode) {
            case kEffectClose:
                delete self;
                return 1;
            case kEffectGetParamName:
                return self->CopyName(index, static_cast<char*>(ptr));
            case kEffectSetSampleRate:
                if (opt > 0.0f) self->fSampleRate = opt;
                return 1;
            case kEffectMainsChanged:
                if (value != 0) self->Prepare();
                return 1;
            default:
                return 0;
        }
    }

    intptr_t CopyName(int32_t index, char* text) const {
        if (text == nullptr || index < 0 || index >= kParams) return 0;
        std::strncpy(text, fParameters[index].name, AEFFECT_NAME_LENGTH);
        text[AEFFECT_NAME_LENGTH] = '\0';
        return 1;
    }

    static void Process(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
        if (frames > 0) Self(effect)->Run(inputs, outputs, frames);
    }

    static void SetParameter(AEffect* effect, int32_t index, float value) {
        if (index < 0 || index >= kParams || !(value == value)) return;
        Self(effect)->fValues[index] = std::clamp(value, 0.0f, 1.0f);
    }

    static float GetParameter(AEffect* effect, int32_t index) {
        return index >= 0 && index < kParams ? Self(effect)->Value(index) : 0.0f;
    }

    AEffect fRecord{};
    const std::array<Parameter, kParams> fParameters;
    std::array<std::atomic<float>, kParams> fValues;
    float fSampleRate = 44100.0f;
};
