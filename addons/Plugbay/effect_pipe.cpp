#include "addons/Plugbay/effect_pipe.h"

#include <algorithm>
#include <cstring>

#include "addons/Plugbay/effect_pipe_window.h"
#include "addons/Plugbay/effect_roster.h"
#include "addons/Plugbay/effect_window.h"
#include "addons/Plugbay/window_thread.h"
#include "engine/machine.h"

namespace {

BMessage EffectRecord(BMessage* msg, int32 index) {
    BMessage record;
    msg->FindMessage("effect", index, &record);
    return record;
}

}  // namespace

EffectPipe::EffectPipe() : lock(new BLocker("EffectPipe")) {}

// The window goes first: it shows the effects.
EffectPipe::~EffectPipe() {
    CloseEditor(window);
    RemoveAllEffects();
    delete lock;
}

void EffectPipe::ShowWindow() {
    if (window == nullptr) window = CreateEffectPipeWindow(this);
}

void EffectPipe::RefreshWindow() {
    OnWindowThread([this] {
        if (window != nullptr) window->Rescan1();
    });
}

bool EffectPipe::CreateEffect(const char* name) {
    if (num_effects >= kMaxEffects) return false;
    // Loading and opening a plug-in can take long: the player keeps playing meanwhile.
    Effect* made = effect_roster.Create(name);
    if (made == nullptr) return false;
    lock->Lock();
    bool added = Append(made, name);
    lock->Unlock();
    if (!added) delete made;
    return added;
}

bool EffectPipe::Append(Effect* effect, const char* name) {
    int32 count = num_effects;
    if (count >= kMaxEffects) return false;
    std::strncpy(effect->name, name, Effect::kNameSize - 1);
    AllocateWork();
    effects[count] = effect;
    num_effects = count + 1;
    return true;
}

void EffectPipe::AllocateWork() {
    if (workallocated) return;
    work[0] = new float[Machine::kBufferFrames]();
    work[1] = new float[Machine::kBufferFrames]();
    workallocated = 1;
}

void EffectPipe::RemoveEffect(int32 index) {
    lock->Lock();
    int32 count = num_effects;
    if (index < 0 || index >= count) {
        lock->Unlock();
        return;
    }
    Effect* gone = effects[index];
    std::copy(effects + index + 1, effects + count, effects + index);
    effects[count - 1] = nullptr;
    num_effects = count - 1;
    float* freed[2] = {nullptr, nullptr};
    if (count == 1 && workallocated) {
        std::swap(freed[0], work[0]);
        std::swap(freed[1], work[1]);
        work[0] = dest[0];
        work[1] = dest[1];
        workallocated = 0;
    }
    lock->Unlock();
    RefreshWindow();
    // Closing a plug-in can take long: outside the lock, so the player need not wait.
    delete gone;
    delete[] freed[0];
    delete[] freed[1];
}

void EffectPipe::RemoveAllEffects() {
    for (int32 i = num_effects - 1; i >= 0; i--) RemoveEffect(i);
}

void EffectPipe::Run(float* left, float* right, int32 count) {
    lock->Lock();
    for (int32 i = 0; i < num_effects; i++) {
        if (!effects[i]->mute) effects[i]->Run(left, right, count);
    }
    lock->Unlock();
}

void EffectPipe::UpdateBuffers(float* left, float* right, int32 count) {
    lock->Lock();
    // The work buffers hold one machine buffer; a longer request is cut to that.
    frames = std::clamp(count, 0, Machine::kBufferFrames);
    // Always kept, so that work buffers allocated after this call still have a destination.
    dest[0] = left;
    dest[1] = right;
    if (workallocated) {
        std::fill(work[0], work[0] + frames, 0.0f);
        std::fill(work[1], work[1] + frames, 0.0f);
    } else {
        work[0] = left;
        work[1] = right;
    }
    lock->Unlock();
}

void EffectPipe::Process() {
    lock->Lock();
    if (workallocated && dest[0] != nullptr && dest[1] != nullptr) {
        Run(work[0], work[1], frames);
        for (int32 f = 0; f < frames; f++) dest[0][f] += work[0][f];
        for (int32 f = 0; f < frames; f++) dest[1][f] += work[1][f];
    }
    lock->Unlock();
}

void EffectPipe::Save(BMessage* msg) {
    lock->Lock();
    msg->AddInt32("bypassall", bypassall);
    msg->AddInt32("num_effects", num_effects);
    for (int32 i = 0; i < num_effects; i++) {
        msg->AddString("effectname", effects[i]->name);
        BMessage record;
        effects[i]->Save(&record);
        msg->AddMessage("effect", &record);
    }
    lock->Unlock();
}

void EffectPipe::Open(BMessage* msg) {
    int32 value = 0;
    bypassall = msg->FindInt32("bypassall", &value) == B_OK ? value : 0;
    // Opened again in place (paste, undo), the record replaces the pipe rather than adding to
    // it. A plug-in it names again is kept, so its parameter window stays open.
    Effect* order[kMaxEffects] = {};
    int32 reopen[kMaxEffects] = {};
    bool kept[kMaxEffects] = {};
    const int32 placed = Gather(msg, order, reopen, kept);
    for (int32 j = num_effects - 1; j >= 0; j--)
        if (!kept[j]) RemoveEffect(j);
    lock->Lock();
    for (int32 k = 0; k < placed; k++) {
        if (reopen[k] >= 0) order[k]->Open(EffectRecord(msg, reopen[k]));
        effects[k] = order[k];
    }
    if (placed > 0) AllocateWork();
    num_effects = placed;
    lock->Unlock();
    for (int32 k = 0; k < placed; k++)
        if (effects[k]->window != nullptr) effects[k]->window->Refresh();
    RefreshWindow();
}

int32 EffectPipe::Gather(BMessage* msg, Effect** order, int32* reopen, bool* kept) {
    int32 count = 0;
    msg->FindInt32("num_effects", &count);
    int32 placed = 0;
    const char* name = nullptr;
    for (int32 i = 0; i < count && placed < kMaxEffects; i++) {
        if (msg->FindString("effectname", i, &name) != B_OK) break;
        if (const int32 held = Unkept(name, kept); held >= 0) {
            kept[held] = true;
            order[placed] = effects[held];
            reopen[placed++] = i;
            continue;
        }
        // Loading and opening a plug-in can take long: the player keeps playing meanwhile.
        Effect* made = effect_roster.Create(name);
        if (made == nullptr) continue;
        std::strncpy(made->name, name, Effect::kNameSize - 1);
        made->Open(EffectRecord(msg, i));
        order[placed] = made;
        reopen[placed++] = -1;
    }
    return placed;
}

int32 EffectPipe::Unkept(const char* name, const bool* kept) const {
    for (int32 j = 0; j < num_effects; j++)
        if (!kept[j] && std::strncmp(name, effects[j]->name, Effect::kNameSize - 1) == 0) return j;
    return -1;
}
