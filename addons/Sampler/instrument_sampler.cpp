#include "addons/Sampler/instrument_sampler.h"

#include <algorithm>
#include <atomic>

#include "addons/Sampler/flush_denormals.h"
#include "addons/Sampler/instrument_sampler_window.h"
#include "addons/Sampler/sample_file.h"
#include "engine/finite_values.h"
#include "engine/show_error.h"

namespace {

ModifierInfo minfo[] = {
    {"Velocity", 0.0f, 1.0f, 1.0f},
    {"Pan", -1.0f, 1.0f, 0.0f},
    {"Fine tune", -100.0f, 100.0f, 0.0f},
    {"Sample start", 0.0f, 1.0f, 0.0f},
};
ModifierInfoList minfolist = {4, minfo};

// A click-free rise, ten seconds of sound and half a second's fall.
constexpr float kAttack = 64.0f;
constexpr float kHold = 441000.0f;
constexpr float kRelease = 22050.0f;
// Longer than any sensible envelope segment: ten minutes.
constexpr float kMaxTime = 26460000.0f;
constexpr float kMaxLevel = 4.0f;

// The add-on's one window, shared by every sampler; kept as long as the add-on image.
std::atomic<InstrumentSamplerWindow*> window{nullptr};

float ValueOf(const NoteInfo& note, int index) {
    const ModifierInfo& info = minfo[index];
    const float value = note.modifiers != nullptr ? note.modifiers->GetVal(index) : info.def;
    return FiniteIn(value, info.min, info.max, info.def);
}

// Points as a saved envelope holds them, made safe to play: in order of time, never below 0.
std::vector<BPoint> PlayablePoints(const KeyVal& envelope) {
    std::vector<BPoint> points(envelope.points, envelope.points + envelope.num_points);
    float last = 0.0f;
    for (BPoint& p : points) {
        last = p.x = std::max(last, FiniteIn(p.x, 0.0f, kMaxTime, 0.0f));
        p.y = FiniteIn(p.y, 0.0f, kMaxLevel, 0.0f);
    }
    return points;
}

struct Loop {
    int32 start;
    int32 end;
};

// Start and end within frames; no loop when it would hold no frame.
Loop HeldLoop(int32 start, int32 end, int32 frames) {
    start = std::clamp(start, 0, std::max(frames - 1, 0));
    end = std::clamp(end, 0, frames);
    return end > start ? Loop{start, end} : Loop{0, 0};
}

}  // namespace

InstrumentSampler::InstrumentSampler()
    : fEnvelope("Sampler amplitude", 0), fPatch(std::make_unique<SamplerPatch>()) {
    SetName("Sampler");
    fEnvelope.active = 1;
    SetEnvelopeTimes(kAttack, kHold, kRelease);
}

InstrumentSampler::~InstrumentSampler() {
    if (InstrumentSamplerWindow* shown = window.load()) shown->Forget(this);
}

ModifierInfoList* InstrumentSampler::GetModifierInfoList() {
    return &minfolist;
}

void InstrumentSampler::Reopened() {
    if (InstrumentSamplerWindow* shown = window.load()) shown->Refresh(this);
}

void InstrumentSampler::ShowWindow() {
    InstrumentSamplerWindow* shown = window.load();
    if (shown == nullptr) {
        shown = CreateSamplerWindow(this);
        if (shown == nullptr) {
            ShowError("The Sampler instrument's window is missing from its add-on file.");
            return;
        }
        window = shown;
    }
    shown->Edit(this);
}

void InstrumentSampler::Process(float* left, float* right, long frames, NoteInfo* note) {
    FlushDenormals flush;
    const SamplerPatch* patch = fPatch.Enter();
    if (note->time == 0.0f) StartNote(*patch, note);
    const auto count = int32(std::clamp<long>(frames, 0, INT32_MAX));
    for (SamplerVoice& voice : fVoices) {
        if (voice.Owns(note)) voice.Render(*patch, left, right, count);
    }
    fPatch.Leave();
}

void InstrumentSampler::StartNote(const SamplerPatch& patch, const NoteInfo* note) {
    for (SamplerVoice& voice : fVoices) {
        if (voice.Owns(note)) voice.FadeOut();
    }
    if (patch.sample == nullptr) return;
    const VoiceStart how{note->note, ValueOf(*note, kVelocity), ValueOf(*note, kPan),
                         ValueOf(*note, kFineTune), ValueOf(*note, kSampleStart)};
    FreeVoice()->Start(note, patch, how);
}

// A free voice, else the oldest of those fading out, else the oldest.
SamplerVoice* InstrumentSampler::FreeVoice() {
    SamplerVoice* best = &fVoices[0];
    auto rank = [](const SamplerVoice& v) {
        return v.IsFree() ? INT64_MAX : v.IsFading() ? INT64_MAX / 2 + v.Age() : v.Age();
    };
    for (SamplerVoice& voice : fVoices) {
        if (rank(voice) > rank(*best)) best = &voice;
    }
    best->Stop();
    return best;
}

void InstrumentSampler::Publish() {
    auto patch = std::make_unique<SamplerPatch>();
    patch->sample = fSample;
    patch->levels = fLevels;
    patch->root = fRoot;
    patch->loop_start = fLoopStart;
    patch->loop_end = fLoopEnd;
    patch->envelope = PlayablePoints(fEnvelope);
    fPatch.Publish(std::move(patch));
}

void InstrumentSampler::UseSample(std::shared_ptr<const SampleData> sample, int32 root, int32 start,
                                  int32 end) {
    const Loop loop = HeldLoop(start, end, sample != nullptr ? sample->Frames() : 0);
    if (sample == nullptr)
        fLevels = nullptr;
    else if (sample != fSample || loop.start != fLoopStart || loop.end != fLoopEnd || !fLevels)
        fLevels = std::make_shared<const SampleLevels>(*sample, loop.start, loop.end);
    fSample = std::move(sample);
    fRoot = std::clamp(root, 0, 127);
    fLoopStart = loop.start;
    fLoopEnd = loop.end;
    Publish();
}

bool InstrumentSampler::LoadFile(const char* path) {
    SampleFile file = ReadSampleFile(path);
    if (file.data == nullptr) {
        ShowError("%s", file.error.c_str());
        return false;
    }
    std::lock_guard<std::mutex> hold(fEditLock);
    UseSample(std::move(file.data), file.root, file.loop_start, file.loop_end);
    return true;
}

void InstrumentSampler::SetRoot(int32 root) {
    std::lock_guard<std::mutex> hold(fEditLock);
    fRoot = std::clamp(root, 0, 127);
    Publish();
}

void InstrumentSampler::SetLoop(int32 start, int32 end) {
    std::lock_guard<std::mutex> hold(fEditLock);
    UseSample(fSample, fRoot, start, end);
}

void InstrumentSampler::SetEnvelopeTimes(float attack, float hold, float release) {
    std::lock_guard<std::mutex> guard(fEditLock);
    attack = FiniteIn(attack, 0.0f, kMaxTime, kAttack);
    hold = FiniteIn(hold, 0.0f, kMaxTime, kHold);
    release = FiniteIn(release, 0.0f, kMaxTime, kRelease);
    fEnvelope.num_points = 1;
    fEnvelope.points[0] = BPoint(0.0f, 0.0f);
    fEnvelope.InsertPoint(attack, 1.0f);
    fEnvelope.InsertPoint(attack + hold, 1.0f);
    fEnvelope.InsertPoint(attack + hold + release, 0.0f);
    Publish();
}

InstrumentSampler::Settings InstrumentSampler::Current() const {
    std::lock_guard<std::mutex> hold(fEditLock);
    Settings now;
    if (fSample != nullptr) {
        now.frames = fSample->Frames();
        now.rate = fSample->Rate();
        now.channels = fSample->Channels();
    }
    now.root = fRoot;
    now.loop_start = fLoopStart;
    now.loop_end = fLoopEnd;
    const BPoint* p = fEnvelope.points;
    if (fEnvelope.num_points >= 4) {
        now.attack = p[1].x - p[0].x;
        now.hold = p[2].x - p[1].x;
        now.release = p[3].x - p[2].x;
    }
    return now;
}

std::shared_ptr<const SampleData> InstrumentSampler::Sample() const {
    std::lock_guard<std::mutex> hold(fEditLock);
    return fSample;
}

void InstrumentSampler::Open(BMessage* msg) {
    Instrument::Open(msg);
    std::string why;
    std::shared_ptr<const SampleData> sample = SampleData::Open(*msg, &why);
    if (!why.empty()) {
        ShowError(
            "The sampler \"%s\" holds a damaged sample (%s); it plays silence until a "
            "sample is loaded.",
            GetName(), why.c_str());
    }
    int32 root = SampleFile::kDefaultRoot, start = 0, end = 0;
    msg->FindInt32("root", &root);
    msg->FindInt32("loop_start", &start);
    msg->FindInt32("loop_end", &end);
    std::lock_guard<std::mutex> hold(fEditLock);
    BMessage envelope;
    if (msg->FindMessage("envelope", &envelope) == B_OK) fEnvelope.Open(&envelope);
    UseSample(std::move(sample), root, start, end);
}

void InstrumentSampler::Save(BMessage* msg) {
    {
        std::lock_guard<std::mutex> hold(fEditLock);
        if (fSample != nullptr) fSample->Save(msg);
        msg->AddInt32("root", fRoot);
        msg->AddInt32("loop_start", fLoopStart);
        msg->AddInt32("loop_end", fLoopEnd);
        BMessage envelope;
        fEnvelope.Save(&envelope);
        msg->AddMessage("envelope", &envelope);
    }
    Instrument::Save(msg);
}
