#include "addons/Synth/synth_voice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void SynthVoice::Start(const Note& note, const SynthPatch& patch, double time) {
    fNote = note;
    for (int32 i = 0; i < SynthPatch::kOscillators; i++)
        fOsc[i].Start(note.frequency * std::exp2(patch.osc[i].detune / 1200.0f));
    fFilter = SynthFilter();
    fAmp = EnvelopeCursor();
    fCut = EnvelopeCursor();
    fTime = time;
    fFade = 1;
    fFadeStep = 0;
    // Equal power across the field.
    const float angle = (note.pan + 1.0f) * std::numbers::pi_v<float> / 4.0f;
    fLeft = std::cos(angle);
    fRight = std::sin(angle);
    // Every note starts its noise alike, so that renders repeat.
    fNoise = 0x9e3779b9u;
    fSounding = true;
}

void SynthVoice::FadeOut() {
    fFadeStep = 1.0f / float(kFadeFrames);
}

void SynthVoice::Render(float* left, float* right, long frames, const SynthPatch& patch) {
    for (long done = 0; fSounding && done < frames;) {
        if (EnvelopeCursor::Ended(patch.amp, fTime) || fFade <= 0.0f) {
            fSounding = false;
            return;
        }
        const auto n = int32(std::min<long>(frames - done, kBlock));
        RenderBlock(left + done, right + done, n, patch);
        done += n;
    }
}

void SynthVoice::RenderBlock(float* left, float* right, int32 frames, const SynthPatch& patch) {
    const float shift = fNote.cutoffShift + patch.envAmount * fCut.LevelAt(patch.filter, fTime);
    fFilter.Tune(patch.cutoff * std::exp2(shift), patch.resonance + fNote.resonanceShift);
    for (int32 i = 0; i < SynthPatch::kOscillators; i++)
        fOsc[i].Shape(patch.osc[i].wave, patch.osc[i].width);
    const float level0 = patch.osc[0].level;
    const float level1 = patch.osc[1].level;
    const float noise = patch.noise;
    for (int32 f = 0; f < frames; f++) {
        const float raw = fOsc[0].Next() * level0 + fOsc[1].Next() * level1 + Noise() * noise;
        const float gain = fAmp.LevelAt(patch.amp, fTime) * fFade * fNote.velocity;
        const float out = fFilter.Next(raw) * gain;
        left[f] += out * fLeft;
        right[f] += out * fRight;
        fTime += 1.0;
        fFade = std::max(0.0f, fFade - fFadeStep);
    }
}
