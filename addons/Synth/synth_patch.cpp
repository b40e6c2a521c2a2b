#include "addons/Synth/synth_patch.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "addons/Synth/synth_wave_bank.h"
#include "engine/finite_values.h"

namespace {

using Wave = SynthWaveBank::Wave;

struct Named {
    const char* name;
    SynthPatch::Oscillator osc[SynthPatch::kOscillators];
    float noise;
    float cutoff;
    float resonance;
    float envAmount;
    std::initializer_list<BPoint> amp;
    std::initializer_list<BPoint> filter;
};

// Times in frames at 44100 a second. Every amplitude envelope ends at zero, so a note that is
// never replaced still falls silent.
const Named kNamed[SynthPatch::kNamedPatches] = {
    {"Bass",
     {{Wave::kSaw, 0.6f, 0, 0.5f}, {Wave::kSquare, 0.4f, -1200, 0.5f}},
     0,
     250,
     0.5f,
     3,
     {{0, 0}, {220, 1}, {8820, 0.8f}, {30870, 0.6f}, {44100, 0}},
     {{0, 0}, {220, 1}, {6615, 0.2f}, {44100, 0}}},
    {"Lead",
     {{Wave::kSaw, 0.5f, 0, 0.5f}, {Wave::kSaw, 0.5f, 7, 0.5f}},
     0,
     1200,
     0.3f,
     2,
     {{0, 0}, {441, 1}, {22050, 0.8f}, {88200, 0.7f}, {110250, 0}},
     {{0, 0}, {441, 1}, {22050, 0.4f}, {110250, 0}}},
    {"Pad",
     {{Wave::kSaw, 0.45f, -6, 0.5f}, {Wave::kSaw, 0.45f, 6, 0.5f}},
     0.02f,
     800,
     0.2f,
     1.5f,
     {{0, 0}, {26460, 1}, {88200, 0.8f}, {176400, 0}},
     {{0, 0}, {44100, 1}, {176400, 0.3f}}},
    {"Pluck",
     {{Wave::kSquare, 0.5f, 0, 0.3f}, {Wave::kTriangle, 0.4f, 1200, 0.5f}},
     0,
     600,
     0.4f,
     4,
     {{0, 0}, {88, 1}, {6615, 0.3f}, {22050, 0}},
     {{0, 0}, {88, 1}, {4410, 0}}},
    {"Keys",
     {{Wave::kTriangle, 0.6f, 0, 0.5f}, {Wave::kSine, 0.3f, 1200, 0.5f}},
     0,
     3000,
     0.1f,
     1,
     {{0, 0}, {220, 1}, {13230, 0.5f}, {66150, 0}},
     {{0, 0}, {220, 1}, {22050, 0}}},
};
constexpr int32 kKeys = 4;

// The envelope's points as a validated envelope holds them; needs no more room than it has.
void CopyPoints(KeyVal* into, const BPoint* points, int32 count) {
    count = std::clamp(count, int32(0), SynthPatch::kMaxPoints);
    std::copy(points, points + count, into->points);
    into->num_points = count;
    into->active = 1;
}

// Increasing times from zero, levels 0 .. 1, at least one point and no more than kMaxPoints.
void Clean(KeyVal* envelope) {
    BPoint* p = envelope->points;
    envelope->num_points = std::clamp(envelope->num_points, int32(0), SynthPatch::kMaxPoints);
    if (envelope->num_points == 0) {
        p[0] = BPoint(0, 0);
        envelope->num_points = 1;
    }
    float earliest = 0.0f;
    for (int32 i = 0; i < envelope->num_points; i++) {
        const float x =
            i == 0 ? 0.0f : FiniteIn(p[i].x, earliest, SynthPatch::kMaxEnvFrames, earliest);
        p[i] = BPoint(x, FiniteIn(p[i].y, 0.0f, 1.0f, 0.0f));
        earliest = x;
    }
    envelope->active = 1;
}

void ReadFloat(BMessage* msg, const std::string& key, float* field, float lo, float hi) {
    float value = 0;
    if (msg->FindFloat(key.c_str(), &value) == B_OK) *field = FiniteIn(value, lo, hi, *field);
}

void ReadEnvelope(BMessage* msg, const char* key, KeyVal* envelope) {
    BMessage saved;
    if (msg->FindMessage(key, &saved) != B_OK) return;
    // Read aside: a damaged count may grow the array, which the one played from never does.
    KeyVal read("", 0);
    read.num_points = 0;
    read.Open(&saved);
    if (read.active == 0) return;
    Clean(&read);
    CopyPoints(envelope, read.points, read.num_points);
}

void SaveEnvelope(BMessage* msg, const char* key, const KeyVal& envelope) {
    BMessage saved;
    envelope.Save(&saved);
    msg->AddMessage(key, &saved);
}

std::string OscKey(int32 i, const char* what) {
    return "synth:osc" + std::to_string(i + 1) + "_" + what;
}

}  // namespace

SynthPatch::SynthPatch() {
    SetNamed(kKeys);
}

void SynthPatch::CopyFrom(const SynthPatch& other) {
    std::copy(other.osc, other.osc + kOscillators, osc);
    noise = other.noise;
    cutoff = other.cutoff;
    resonance = other.resonance;
    envAmount = other.envAmount;
    CopyPoints(&amp, other.amp.points, other.amp.num_points);
    CopyPoints(&filter, other.filter.points, other.filter.num_points);
}

void SynthPatch::SetNamed(int32 index) {
    if (index < 0 || index >= kNamedPatches) return;
    const Named& named = kNamed[index];
    std::copy(named.osc, named.osc + kOscillators, osc);
    noise = named.noise;
    cutoff = named.cutoff;
    resonance = named.resonance;
    envAmount = named.envAmount;
    CopyPoints(&amp, named.amp.begin(), int32(named.amp.size()));
    CopyPoints(&filter, named.filter.begin(), int32(named.filter.size()));
}

const char* SynthPatch::NameOf(int32 index) {
    return index >= 0 && index < kNamedPatches ? kNamed[index].name : "";
}

void SynthPatch::Save(BMessage* msg) const {
    for (int32 i = 0; i < kOscillators; i++) {
        msg->AddInt32(OscKey(i, "wave").c_str(), osc[i].wave);
        msg->AddFloat(OscKey(i, "level").c_str(), osc[i].level);
        msg->AddFloat(OscKey(i, "detune").c_str(), osc[i].detune);
        msg->AddFloat(OscKey(i, "width").c_str(), osc[i].width);
    }
    msg->AddFloat("synth:noise", noise);
    msg->AddFloat("synth:cutoff", cutoff);
    msg->AddFloat("synth:resonance", resonance);
    msg->AddFloat("synth:env_amount", envAmount);
    SaveEnvelope(msg, "synth:amp_env", amp);
    SaveEnvelope(msg, "synth:filter_env", filter);
}

void SynthPatch::Open(BMessage* msg) {
    for (int32 i = 0; i < kOscillators; i++) {
        int32 wave = 0;
        if (msg->FindInt32(OscKey(i, "wave").c_str(), &wave) == B_OK)
            osc[i].wave = std::clamp(wave, int32(0), SynthWaveBank::kWaves - 1);
        ReadFloat(msg, OscKey(i, "level"), &osc[i].level, 0, 1);
        ReadFloat(msg, OscKey(i, "detune"), &osc[i].detune, -kMaxDetune, kMaxDetune);
        ReadFloat(msg, OscKey(i, "width"), &osc[i].width, 0.01f, 0.99f);
    }
    ReadFloat(msg, "synth:noise", &noise, 0, 1);
    ReadFloat(msg, "synth:cutoff", &cutoff, kMinCutoff, kMaxCutoff);
    ReadFloat(msg, "synth:resonance", &resonance, 0, 1);
    ReadFloat(msg, "synth:env_amount", &envAmount, -kMaxEnvAmount, kMaxEnvAmount);
    ReadEnvelope(msg, "synth:amp_env", &amp);
    ReadEnvelope(msg, "synth:filter_env", &filter);
}
