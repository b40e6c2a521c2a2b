// Every setting of the synthesizer's sound: two oscillators and noise, the filter, and the
// amplitude and filter envelopes. Values are always within their ranges: Open holds what it
// reads to them.
#pragma once

#include "engine/key_val.h"
#include "message/message.h"

class SynthPatch {
  public:
    struct Oscillator {
        int32 wave;    // SynthWaveBank::Wave
        float level;   // 0 .. 1
        float detune;  // cents
        float width;   // of a square's high part, 0.01 .. 0.99 of the cycle
    };

    static constexpr int32 kOscillators = 2;
    static constexpr int32 kNamedPatches = 5;
    // Below a KeyVal's capacity, so copying points never grows it.
    static constexpr int32 kMaxPoints = 31;
    static constexpr float kMaxDetune = 2400.0f;
    static constexpr float kMinCutoff = 20.0f;
    static constexpr float kMaxCutoff = 20000.0f;
    static constexpr float kMaxEnvAmount = 8.0f;  // octaves
    // Ten minutes at 44100 frames a second.
    static constexpr float kMaxEnvFrames = 26460000.0f;

    // The "keys" patch.
    SynthPatch();
    SynthPatch(const SynthPatch&) = delete;
    SynthPatch& operator=(const SynthPatch&) = delete;

    // Allocates nothing: both envelopes keep their arrays.
    void CopyFrom(const SynthPatch& other);
    // index 0 .. kNamedPatches - 1: bass, lead, pad, pluck, keys; others are ignored.
    void SetNamed(int32 index);
    static const char* NameOf(int32 index);

    void Save(BMessage* msg) const;
    // Missing keys leave their setting alone; others are held to their ranges, and an
    // envelope's points to increasing times from zero and levels 0 .. 1.
    void Open(BMessage* msg);

    Oscillator osc[kOscillators];
    float noise;
    float cutoff;     // Hz
    float resonance;  // 0 .. 1
    float envAmount;  // octaves the filter envelope moves the cutoff at full level
    KeyVal amp{"Amplitude", 0};
    KeyVal filter{"Filter", 0};
};
