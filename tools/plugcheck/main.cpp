// velloran-plugcheck PLUGIN: exits 0 when the plug-in opens, plays one block and closes; else
// prints why on standard output and exits 1. A crash or a hang is the caller's to see.
#include <dlfcn.h>
#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <vector>

#include "addons/Plugbay/host_callback.h"
#include "effect_plugin_interface.h"

namespace {

constexpr int32_t kFrames = 512;
// More channels than any real effect has: a record claiming more is damaged.
constexpr int32_t kMostChannels = 64;

int Refuse(const char* why) {
    std::printf("%s\n", why);
    return 1;
}

AEffectEntryProc Entry(void* library) {
    for (const char* symbol : {AEFFECT_ENTRY_NAME, AEFFECT_ENTRY_NAME_ALT, AEFFECT_ENTRY_NAME_OLD})
        if (void* found = dlsym(library, symbol)) return reinterpret_cast<AEffectEntryProc>(found);
    return nullptr;
}

void PlayOneBlock(AEffect* effect) {
    const int32_t channels =
        effect->numInputs > effect->numOutputs ? effect->numInputs : effect->numOutputs;
    std::vector<std::vector<float>> buffers(size_t(channels), std::vector<float>(kFrames, 0.0f));
    std::vector<float*> pointers;
    for (auto& buffer : buffers) pointers.push_back(buffer.data());
    if (effect->processReplacing != nullptr) {
        effect->processReplacing(effect, pointers.data(), pointers.data(), kFrames);
    } else if (effect->process != nullptr) {
        effect->process(effect, pointers.data(), pointers.data(), kFrames);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return Refuse("usage: velloran-plugcheck PLUGIN");
    // A composer that quits mid-check no longer waits to end a plug-in that hangs.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return Refuse(dlerror());
    AEffectEntryProc entry = Entry(library);
    if (entry == nullptr) return Refuse("it exports no plug-in entry");
    AEffect* effect = entry(Hej);
    if (effect == nullptr || effect->magic != AEFFECT_MAGIC || effect->dispatcher == nullptr)
        return Refuse("it makes no plug-in record");
    if (effect->numInputs < 0 || effect->numOutputs < 0 || effect->numInputs > kMostChannels ||
        effect->numOutputs > kMostChannels || effect->numParams < 0)
        return Refuse("its record claims impossible channel or parameter counts");
    effect->dispatcher(effect, kEffectOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, kEffectSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, kEffectSetBlockSize, 0, kFrames, nullptr, 0.0f);
    effect->dispatcher(effect, kEffectMainsChanged, 0, 1, nullptr, 0.0f);
    PlayOneBlock(effect);
    effect->dispatcher(effect, kEffectMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, kEffectClose, 0, 0, nullptr, 0.0f);
    return 0;
}
