// An instrument that plays a sample, pitched by the note against the sample's root note, with
// an optional loop and an amplitude envelope. The sample travels inside the song.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "addons/Sampler/published.h"
#include "addons/Sampler/sample_data.h"
#include "addons/Sampler/sampler_patch.h"
#include "addons/Sampler/sampler_voice.h"
#include "engine/instrument.h"
#include "engine/key_val.h"

class InstrumentSampler : public Instrument {
  public:
    // Sixty-four tracks' notes with the ones fading out behind them.
    static constexpr int32 kVoices = 128;
    enum { kVelocity, kPan, kFineTune, kSampleStart };

    // What the window shows.
    struct Settings {
        int32 frames = 0;  // 0 without a sample
        int32 rate = 0;
        int32 channels = 0;
        int32 root = 60;
        int32 loop_start = 0;
        int32 loop_end = 0;
        // Frames of the envelope's rise, full level and fall.
        float attack = 0;
        float hold = 0;
        float release = 0;
    };

    InstrumentSampler();
    // Whatever thread frees the song slot, once nothing plays the instrument.
    ~InstrumentSampler() override;

    ModifierInfoList* GetModifierInfoList() override;
    void ShowWindow() override;
    void Reopened() override;
    // Player thread inside a step, or the sound thread for the preview. A call with time 0
    // starts the note, fading out the one its NoteInfo played before.
    void Process(float* left, float* right, long frames, NoteInfo* note) override;
    // A damaged sample is refused with an error naming the instrument, which is left empty.
    void Open(BMessage* msg) override;
    void Save(BMessage* msg) override;

    // Window thread or the song loader. An unreadable file is reported and changes nothing.
    bool LoadFile(const char* path);
    // Window threads. Root held to 0..127, the loop to the sample (start == end: no loop).
    void SetRoot(int32 root);
    void SetLoop(int32 start, int32 end);
    // Frames, each at least 0; the envelope becomes rise, hold and fall to silence.
    void SetEnvelopeTimes(float attack, float hold, float release);
    Settings Current() const;
    std::shared_ptr<const SampleData> Sample() const;

  private:
    // With fEditLock held: replaces what the voices read.
    void Publish();
    void UseSample(std::shared_ptr<const SampleData> sample, int32 root, int32 start, int32 end);
    void StartNote(const SamplerPatch& patch, const NoteInfo* note);
    SamplerVoice* FreeVoice();

    mutable std::mutex fEditLock;
    std::shared_ptr<const SampleData> fSample;
    std::shared_ptr<const SampleLevels> fLevels;
    int32 fRoot = 60;
    int32 fLoopStart = 0;
    int32 fLoopEnd = 0;
    KeyVal fEnvelope;
    Published<SamplerPatch> fPatch;
    SamplerVoice fVoices[kVoices];  // the playing thread's only
};
