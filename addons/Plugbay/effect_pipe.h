// The chain of up to 16 effect plug-ins a Plugbay machine runs its sound through, in order.
#pragma once

#include <atomic>

#include "addons/Plugbay/effect.h"
#include "message/message.h"
#include "platform/kernel/locker.h"

class EffectPipeWindow;

// The operations are virtual so that code outside the add-on image reaches them through the
// object alone.
class EffectPipe {
  public:
    static constexpr int32 kMaxEffects = 16;

    EffectPipe();
    virtual ~EffectPipe();
    EffectPipe(const EffectPipe&) = delete;
    EffectPipe& operator=(const EffectPipe&) = delete;

    // Window thread. Appends the named plug-in; false (the pipe unchanged) when it cannot be
    // made or the pipe is full.
    virtual bool CreateEffect(const char* name);
    // Window thread, or one it never waits for. An index outside the pipe changes nothing;
    // the pipe window is refilled and the effect's parameter window closed before it goes.
    virtual void RemoveEffect(int32 index);
    virtual void RemoveAllEffects();
    // Window thread. Opens the pipe window, or leaves the open one as it is.
    virtual void ShowWindow();
    // Window thread or the song loader: the pipe's part of the machine's record.
    virtual void Open(BMessage* msg);
    virtual void Save(BMessage* msg);
    // The send-style path: effects run over the cleared work buffers and their output is added
    // to the destination. Any thread but the sound thread.
    virtual void UpdateBuffers(float* left, float* right, int32 count);
    virtual void Process();
    // Player thread: runs the unmuted effects in place over frames of both channels.
    void Run(float* left, float* right, int32 count);

    EffectPipeWindow* window = nullptr;
    float* dest[2] = {};
    BLocker* lock;
    int32 workallocated = 0;
    float* work[2] = {};
    int32 frames = 0;
    std::atomic<int32> num_effects{0};
    Effect* effects[kMaxEffects] = {};
    std::atomic<int32> bypassall{0};

  private:
    // Under lock. Takes the effect into the next slot; false when the pipe is full.
    bool Append(Effect* effect, const char* name);
    void AllocateWork();
    void RefreshWindow();
    // As Open: the plug-ins msg names, in its order, with the record's item to open each
    // kept one from again, or -1 for one made and opened here; kept marks the pipe's own.
    int32 Gather(BMessage* msg, Effect** order, int32* reopen, bool* kept);
    // As Open: the first plug-in of that name not kept yet, or -1.
    int32 Unkept(const char* name, const bool* kept) const;
};
