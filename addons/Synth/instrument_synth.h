// An instrument that makes its own sound: a two-oscillator subtractive synthesizer whose
// notes the tracker renders straight into the machine graph.
#pragma once

#include <array>

#include "addons/Synth/synth_patch.h"
#include "addons/Synth/synth_voice.h"
#include "engine/instrument.h"

class InstrumentSynth : public Instrument {
  public:
    enum { kVelocity, kCutoff, kResonance, kPan, kModifiers };
    // Tracks and previews that sound at once before the longest unheard one gives up its
    // voices.
    static constexpr int32 kSlots = 256;

    InstrumentSynth();
    // Whatever thread frees the song slot. The add-on's window stops editing this instrument
    // first.
    ~InstrumentSynth() override;

    ModifierInfoList* GetModifierInfoList() override;
    // Window thread. Shows the add-on's one window, editing this instrument.
    void ShowWindow() override;
    void Reopened() override;
    // Player thread inside a step, or the sound thread for the preview. Adds the note's sound;
    // a note starting where another still sounds fades that one out.
    void Process(float* left, float* right, long frames, NoteInfo* note) override;
    void Open(BMessage* msg) override;
    void Save(BMessage* msg) override;

    // Window thread or the song loader. Takes the song lock, so a step never hears half a
    // patch.
    void SetPatch(const SynthPatch& wanted);
    // Window thread: the settings played now. Only SetPatch changes them.
    const SynthPatch& Patch() const { return fPatch; }

  private:
    // The voices of one NoteInfo: the note it plays and the one it replaced, fading.
    struct Slot {
        const NoteInfo* owner = nullptr;
        uint64 lastUse = 0;
        SynthVoice current;
        SynthVoice fading;
    };

    Slot& SlotFor(const NoteInfo* note);
    void StartNote(Slot* slot, const NoteInfo& note);

    SynthPatch fPatch;
    std::array<Slot, kSlots> fSlots;
    uint64 fCalls = 0;
};
