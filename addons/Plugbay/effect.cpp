#include "addons/Plugbay/effect.h"

#include <algorithm>
#include <cmath>

#include "addons/Plugbay/effect_window.h"
#include "addons/Plugbay/window_thread.h"
#include "addons/common/display_text.h"
#include "engine/machine.h"

Effect::Effect(AEffect* record) : effect(record) {}

Effect::~Effect() {
    CloseEditor(window);
    if (fOn) Request(kEffectMainsChanged, 0);
    Request(kEffectClose, 0);
}

void Effect::ShowWindow() {
    if (window != nullptr) return;
    window = new EffectWindow(this);
    window->Show();
}

std::string Effect::GetParamName(int32 index) {
    if (!HasParam(index)) return {};
    // Zeroed and one byte longer than offered, so that a name that fills it still ends.
    char text[kParamNameSize + 1] = {};
    effect->dispatcher(effect, kEffectGetParamName, index, 0, text, 0.0f);
    text[kParamNameSize] = '\0';
    return DisplayText(text);
}

void Effect::EditorSize(int32* width, int32* height) {
    ERect* rect = nullptr;
    effect->dispatcher(effect, kEffectEditGetRect, 0, 0, &rect, 0.0f);
    *width = *height = kEditorDefault;
    if (rect == nullptr) return;
    *width = std::clamp(int32(rect->right) - rect->left, kEditorMin, kEditorMax);
    *height = std::clamp(int32(rect->bottom) - rect->top, kEditorMin, kEditorMax);
}

void Effect::EditorOpen(uintptr_t parent) {
    if (fEditorOpen) return;
    fEditorOpen = true;
    effect->dispatcher(effect, kEffectEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f);
}

void Effect::EditorIdle() {
    if (fEditorOpen) Request(kEffectEditIdle, 0);
}

void Effect::EditorClose() {
    if (!fEditorOpen) return;
    fEditorOpen = false;
    Request(kEffectEditClose, 0);
}

intptr_t Effect::Request(int32_t opcode, intptr_t value, float opt) {
    // Not read back; room for any plug-in that writes a string on open or close.
    char scratch[256] = {};
    return effect->dispatcher(effect, opcode, 0, value, scratch, opt);
}

bool Effect::Init() {
    Request(kEffectOpen, 0);
    fInputCount = effect->numInputs;
    fOutputCount = effect->numOutputs;
    if (fInputCount < 0 || fInputCount > kMaxChannels || fOutputCount < 0 ||
        fOutputCount > kMaxChannels) {
        return false;
    }
    // Beyond our two channels a plug-in reads silence and writes where nothing listens.
    fInputs.assign(std::max(fInputCount, 2), nullptr);
    fOutputs.assign(std::max(fOutputCount, 2), nullptr);
    if (fInputCount > 2) fSilence.assign(Machine::kBufferFrames, 0.0f);
    if (fOutputCount > 2) fDiscard.assign(Machine::kBufferFrames, 0.0f);
    std::fill(fInputs.begin() + 2, fInputs.end(), fSilence.data());
    std::fill(fOutputs.begin() + 2, fOutputs.end(), fDiscard.data());
    Request(kEffectSetSampleRate, 0, 44100.0f);
    Request(kEffectSetBlockSize, Machine::kBufferFrames);
    Request(kEffectMainsChanged, 1);
    fOn = true;
    return true;
}

void Effect::Save(BMessage* msg) const {
    msg->AddInt32("mute", mute);
    for (int32 p = 0; p < GetNumParams(); p++) msg->AddFloat("parameter", GetParamValue(p));
}

void Effect::Open(const BMessage& msg) {
    int32 muted = 0;
    if (msg.FindInt32("mute", &muted) == B_OK) mute = muted;
    // Parameters the record lacks keep the plug-in's own values; values from a file are kept
    // to the range the interface promises.
    float value = 0.0f;
    for (int32 p = 0; p < GetNumParams() && msg.FindFloat("parameter", p, &value) == B_OK; p++) {
        if (std::isfinite(value)) SetParamValue(p, std::clamp(value, 0.0f, 1.0f));
    }
}

void Effect::Run(float* left, float* right, int32 frames) {
    // A one-channel plug-in hears both sides mixed down, and its one output plays on both.
    if (fInputCount == 1) {
        for (int32 f = 0; f < frames; f++) left[f] = 0.5f * (left[f] + right[f]);
    }
    fInputs[0] = fOutputs[0] = left;
    fInputs[1] = fOutputs[1] = right;
    AEffectProcessProc process =
        effect->process != nullptr ? effect->process : effect->processReplacing;
    if (process != nullptr) process(effect, fInputs.data(), fOutputs.data(), frames);
    if (fOutputCount == 1) std::copy(left, left + frames, right);
}
