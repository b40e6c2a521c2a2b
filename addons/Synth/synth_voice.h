// One sounding note of the synthesizer: oscillators and noise through the filter, shaped by
// the amplitude envelope, and faded out when a new note takes its place.
#pragma once

#include "addons/Synth/envelope_cursor.h"
#include "addons/Synth/synth_filter.h"
#include "addons/Synth/synth_oscillator.h"
#include "addons/Synth/synth_patch.h"

class SynthVoice {
  public:
    // What a note brings, fixed when it starts: the modifier values of its row.
    struct Note {
        float frequency;       // Hz, before the oscillators' detune
        float velocity;        // 0 .. 1
        float cutoffShift;     // octaves
        float resonanceShift;  // added to the patch's
        float pan;             // -1 left .. 1 right
    };

    // About five milliseconds: short enough to sound like the new note's start, long enough
    // that the old one ends without a click.
    static constexpr int32 kFadeFrames = 220;

    // Player or sound thread, inside Process: no allocation.
    void Start(const Note& note, const SynthPatch& patch, double time);
    void FadeOut();
    // The note's own clock, in frames since it started.
    void SetTime(double time) { fTime = time; }
    bool Sounding() const { return fSounding; }
    // Adds frames of the voice, advancing its clock; adds nothing once it has ended.
    void Render(float* left, float* right, long frames, const SynthPatch& patch);

  private:
    // Frames the filter keeps one tuning for.
    static constexpr int32 kBlock = 16;

    void RenderBlock(float* left, float* right, int32 frames, const SynthPatch& patch);
    float Noise() {
        fNoise ^= fNoise << 13;
        fNoise ^= fNoise >> 17;
        fNoise ^= fNoise << 5;
        return float(int32(fNoise)) * (1.0f / 2147483648.0f);
    }

    SynthOscillator fOsc[SynthPatch::kOscillators];
    SynthFilter fFilter;
    EnvelopeCursor fAmp;
    EnvelopeCursor fCut;
    Note fNote{};
    double fTime = 0;
    float fFade = 1;
    float fFadeStep = 0;
    float fLeft = 0;
    float fRight = 0;
    uint32 fNoise = 1;
    bool fSounding = false;
};
