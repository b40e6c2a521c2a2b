// One sounding note of the sampler: where it is in the sample, how fast it moves, and how far
// along its envelope and its fade-out it is. Lives in a table the instrument makes once.
#pragma once

#include <cstdint>

#include "addons/Sampler/sampler_patch.h"
#include "engine/note_info.h"

struct VoiceStart {
    int32 note = 60;
    float velocity = 1.0f;
    float pan = 0.0f;    // -1 left .. 1 right
    float cents = 0.0f;  // fine tune
    float start = 0.0f;  // where in the sample, 0 .. 1
};

class SamplerVoice {
  public:
    // Frames over which a replaced note fades out: about 6 ms.
    static constexpr int32 kFadeFrames = 256;
    // The rate the engine renders at.
    static constexpr double kOutputRate = 44100.0;

    // Starts on the patch's sample, which must exist.
    void Start(const NoteInfo* owner, const SamplerPatch& patch, const VoiceStart& how);
    // Fades out from now on; once faded the voice is free.
    void FadeOut();
    void Stop() { fOwner = nullptr; }

    bool Owns(const NoteInfo* note) const { return fOwner == note; }
    bool IsFree() const { return fOwner == nullptr; }
    bool IsFading() const { return fFadeStep > 0.0f; }
    int64_t Age() const { return fTime; }

    // Adds frames of the voice, Catmull-Rom interpolated (4 points, third order) from the
    // sample, or above the root from the band-limited level its step needs. A voice
    // whose sample was replaced, whose envelope or fade has ended, or that ran past the end
    // of a sample without a loop stops and adds nothing more.
    void Render(const SamplerPatch& patch, float* left, float* right, int32 frames);

  private:
    // The envelope's level and slope at fTime, and for how many frames they hold; false past
    // the last point at level zero.
    bool EnvelopeRun(const SamplerPatch& patch, float* level, float* slope, int32* run) const;
    template <int Channels>
    int32 RenderRun(const SamplerPatch& patch, float* left, float* right, int32 frames, float level,
                    float slope);
    // Back into the loop, or stopped at the end of the sample; whether the voice goes on.
    bool Wrap(const SamplerPatch& patch);

    const NoteInfo* fOwner = nullptr;
    uint64_t fSerial = 0;
    double fPosition = 0.0;
    double fStep = 1.0;
    float fGain[2] = {};
    float fFade = 1.0f;
    float fFadeStep = 0.0f;
    int64_t fTime = 0;  // frames since the start, on the envelope's scale
};
