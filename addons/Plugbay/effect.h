// One loaded effect plug-in of a pipe: its record, its roster name and its mute switch.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "effect_plugin_interface.h"
#include "engine/addon.h"
#include "message/message.h"

class EffectWindow;

class Effect : public Addon {
  public:
    static constexpr int32 kNameSize = 152;
    // More channels than any real plug-in has; a record claiming more is refused.
    static constexpr int32 kMaxChannels = 64;
    // The room offered for a parameter's name, far beyond what the interface promises.
    static constexpr int32 kParamNameSize = 256;
    // An editor's sides, whatever size the plug-in claims.
    static constexpr int32 kEditorMin = 16;
    static constexpr int32 kEditorMax = 4096;
    static constexpr int32 kEditorDefault = 200;

    // The record as the plug-in's entry returned it; Init opens it.
    explicit Effect(AEffect* record);
    // Any thread the window thread never waits for: closes the parameter window, switches the
    // plug-in off and closes it.
    ~Effect() override;
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    // Window thread. Opens the parameter window, or leaves the open one as it is.
    void ShowWindow();
    // Any thread, as the parameter windows call them while the pipe plays. The count is read
    // again before each call, since a plug-in may change it; an index beyond it calls nothing.
    void SetParamValue(int32 index, float value) {
        if (HasParam(index) && effect->setParameter != nullptr)
            effect->setParameter(effect, index, value);
    }
    float GetParamValue(int32 index) const {
        return HasParam(index) && effect->getParameter != nullptr
                   ? effect->getParameter(effect, index)
                   : 0.0f;
    }
    int32 GetNumParams() const { return effect->numParams > 0 ? effect->numParams : 0; }
    // Window thread. The parameter's name as text to show; empty beyond the count.
    std::string GetParamName(int32 index);
    // Window thread or the song loader. Opens the plug-in, tells it the rate and the longest
    // block and switches it on; false when its channels cannot be served.
    bool Init();
    // Window thread. The plug-in's own editor: whether it has one, its size in pixels kept to
    // what a window can hold, and the calls that open it in a native window, let it work and
    // close it. Close reaches the plug-in once for each open; idle only while it is open.
    bool HasEditor() const { return (effect->flags & kEffectFlagsHasEditor) != 0; }
    void EditorSize(int32* width, int32* height);
    void EditorOpen(uintptr_t parent);
    void EditorIdle();
    void EditorClose();
    // The "mute" and "parameter" fields of one effect's record.
    void Save(BMessage* msg) const;
    void Open(const BMessage& msg);
    // Player thread. Runs the plug-in in place over frames of both channels; allocates nothing.
    void Run(float* left, float* right, int32 frames);

    EffectWindow* window = nullptr;
    AEffect* effect;
    char name[kNameSize] = {};
    std::atomic<int32> mute{0};

  private:
    bool HasParam(int32 index) const { return index >= 0 && index < GetNumParams(); }
    intptr_t Request(int32_t opcode, intptr_t value, float opt = 0.0f);

    bool fOn = false;
    bool fEditorOpen = false;
    int32 fInputCount = 0;
    int32 fOutputCount = 0;
    // Channel pointers for every channel the plug-in has: ours first, then scratch.
    std::vector<float*> fInputs;
    std::vector<float*> fOutputs;
    std::vector<float> fSilence;
    std::vector<float> fDiscard;
};
