// The synthesizer's sound checked against numbers: pitch, band-limiting, envelope timing,
// replacement without a click, silence, and the settings it saves and opens.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <vector>

#include "tests/addons/signal_measures.h"
#include "tests/addons/synth/synth_fixture.h"
#include "tests/engine/allocation_counter.h"
#include "tests/message/flattened_bytes.h"

namespace {

constexpr double kRate = 44100.0;

// The envelope's level by its definition, for comparison with what the voice did.
double Level(const std::vector<BPoint>& points, double t) {
    if (t >= points.back().x) return points.back().y;
    size_t i = 0;
    while (points[i + 1].x <= t) i++;
    const BPoint a = points[i], b = points[i + 1];
    return a.y + (b.y - a.y) * (t - a.x) / (b.x - a.x);
}

}  // namespace

TEST_F(SynthTest, NoteSixtyNineIsFourHundredFortyHertzAndAnOctaveUpDoubles) {
    SynthPatch patch;
    PureTone(&patch);
    synth->SetPatch(patch);
    // Past the first frames, where the note played before on the same NoteInfo fades.
    const double a4 = MeasuredFrequency(Play(69, 44100), 500);
    EXPECT_NEAR(a4, 440.0, 0.44);
    EXPECT_NEAR(MeasuredFrequency(Play(81, 44100), 500) / a4, 2.0, 0.002);
    EXPECT_NEAR(MeasuredFrequency(Play(57, 44100), 500) / a4, 0.5, 0.0005);

    // The second oscillator a fifth up (700 cents) sounds alone at its own pitch.
    patch.osc[0].level = 0;
    patch.osc[1] = {SynthWaveBank::kSine, 1.0f, 700.0f, 0.5f};
    synth->SetPatch(patch);
    EXPECT_NEAR(MeasuredFrequency(Play(69, 44100), 500), 440.0 * std::exp2(7.0 / 12.0), 0.66);
}

TEST_F(SynthTest, ASawTwoOctavesUpKeepsItsAliasesSixtyDecibelsBelowTheFundamental) {
    for (int32 wave : {SynthWaveBank::kSaw, SynthWaveBank::kSquare, SynthWaveBank::kTriangle}) {
        SynthPatch patch;
        PureTone(&patch);
        patch.osc[0].wave = wave;
        patch.osc[0].width = 0.3f;
        synth->SetPatch(patch);
        // One second after the filter has settled: 1760 Hz makes whole cycles of it, so every
        // harmonic lies on a bin and whatever lies elsewhere was folded back.
        std::vector<float> x = Play(69 + 24, 4410 + 44100);
        x.erase(x.begin(), x.begin() + 4410);
        EXPECT_LT(AliasDecibels(x, 1760), -60.0) << "wave " << wave;
    }
}

TEST_F(SynthTest, TheAmplitudeEnvelopeIsFollowedToTheFrame) {
    SynthPatch patch;
    PureTone(&patch);
    synth->SetPatch(patch);
    const std::vector<float> steady = Play(69, 1000, 37);
    const std::vector<BPoint> points = {{0, 0}, {101, 1}, {250, 1}, {251, 0.5f}, {400, 0}};
    SetEnvelope(&patch.amp, {points[0], points[1], points[2], points[3], points[4]});
    synth->SetPatch(patch);
    // Sub-blocks that fall across the points, as a tracker's rows do.
    const std::vector<float> shaped = Play(69, 1000, 37);
    for (size_t i = 0; i < 1000; i++) {
        if (std::abs(steady[i]) > 0.05f) {
            EXPECT_NEAR(shaped[i] / steady[i], Level(points, double(i)), 1e-4) << "frame " << i;
        }
        if (i >= 400) {
            EXPECT_EQ(shaped[i], 0.0f) << "frame " << i;
        }
    }
    EXPECT_EQ(shaped[0], 0.0f);
}

TEST_F(SynthTest, ANoteReplacingASoundingOneFadesItWithoutAJump) {
    SynthPatch patch;
    PureTone(&patch);
    // Ten milliseconds of attack: the new note's own start is smooth.
    SetEnvelope(&patch.amp, {{0, 0}, {441, 1}});
    synth->SetPatch(patch);
    // Frame 2055 is a crest of note 57's sine, where cutting it would jump furthest.
    std::vector<float> out(6000, 0.0f), right(out.size());
    NoteInfo note;
    Begin(&note, 57);
    Render(&note, &out, &right, 0, 2055);
    const float steady = LargestStep(out, 1000, 2055);
    EXPECT_GT(std::abs(out[2054]), 0.5f);
    Begin(&note, 64);
    Render(&note, &out, &right, 2055, 6000 - 2055);
    // Both notes together never move faster than their slopes added.
    EXPECT_LT(LargestStep(out, 2000, 3000), 2.5f * steady);
    // The old note has gone once its fade is over: the new one alone is at its own pitch.
    EXPECT_NEAR(MeasuredFrequency(out, 2055 + 500), 440.0 * std::exp2(-5.0 / 12.0), 0.5);

    // Without the fade the same replacement would step by the crest's height.
    EXPECT_GT(std::abs(out[2054]), 10 * steady);
}

TEST_F(SynthTest, EveryNamedPatchSoundsThenIsExactlySilentAndNeverAllocates) {
    for (int32 p = 0; p < SynthPatch::kNamedPatches; p++) {
        SynthPatch patch;
        patch.SetNamed(p);
        synth->SetPatch(patch);
        const auto end = int32(patch.amp.points[patch.amp.num_points - 1].x);
        std::vector<float> out(size_t(end + 5000), 0.0f), right(out.size());
        NoteInfo note;
        Begin(&note, 48);
        {
            AllocationCounter counter;
            Render(&note, &out, &right, 0, int32(out.size()), 64);
            EXPECT_EQ(counter.Count(), 0u) << SynthPatch::NameOf(p);
        }
        float loudest = 0;
        for (int32 i = 0; i < end; i++) {
            ASSERT_TRUE(std::isfinite(out[size_t(i)]));
            loudest = std::max(loudest, std::abs(out[size_t(i)]));
        }
        EXPECT_GT(loudest, 0.05f) << SynthPatch::NameOf(p);
        EXPECT_LE(loudest, 1.0f) << SynthPatch::NameOf(p);
        for (size_t i = size_t(end); i < out.size(); i++)
            ASSERT_EQ(out[i], 0.0f) << SynthPatch::NameOf(p) << " frame " << i;
    }
}

TEST_F(SynthTest, SavingAndOpeningGivesTheSameBytesBack) {
    SynthPatch patch;
    patch.SetNamed(2);
    patch.osc[1] = {SynthWaveBank::kSquare, 0.25f, -1234.5f, 0.125f};
    patch.noise = 0.3f;
    patch.envAmount = -2.5f;
    SetEnvelope(&patch.filter, {{0, 0.5f}, {10, 1}, {10, 0.25f}, {99999, 0}});
    synth->SetPatch(patch);
    synth->SetName("Pad copy");
    BMessage saved;
    synth->Save(&saved);

    InstrumentSynth* copy = Create(1);
    copy->Open(&saved);
    BMessage again;
    copy->Save(&again);
    EXPECT_EQ(FlattenedBytes(again), FlattenedBytes(saved));
    EXPECT_EQ(copy->Patch().osc[1].detune, -1234.5f);
    EXPECT_EQ(copy->Patch().filter.num_points, 4);
    EXPECT_EQ(copy->name, "Pad copy");
}

TEST_F(SynthTest, DamagedValuesAreHeldToTheirRangesAndPlayFinite) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    BMessage damaged;
    damaged.AddInt32("synth:osc1_wave", 99);
    damaged.AddInt32("synth:osc2_wave", -7);
    damaged.AddFloat("synth:osc1_level", nan);
    damaged.AddFloat("synth:osc2_level", 7.0f);
    damaged.AddFloat("synth:osc1_detune", 1e9f);
    damaged.AddFloat("synth:osc2_width", -inf);
    damaged.AddFloat("synth:cutoff", inf);
    damaged.AddFloat("synth:resonance", -3.0f);
    damaged.AddFloat("synth:env_amount", nan);
    BMessage amp;
    amp.AddInt32("KeyVal:active", 1);
    amp.AddInt32("KeyVal:num_points", 1000000);
    for (int i = 0; i < 40; i++) {
        amp.AddFloat("KeyVal:px", i == 3 ? nan : float(i % 7 == 0 ? -i : 100 * i));
        amp.AddFloat("KeyVal:py", i == 5 ? inf : float(i) * 0.1f);
    }
    damaged.AddMessage("synth:amp_env", &amp);
    synth->Open(&damaged);

    const SynthPatch& patch = synth->Patch();
    EXPECT_EQ(patch.osc[0].wave, SynthWaveBank::kWaves - 1);
    EXPECT_EQ(patch.osc[1].wave, 0);
    EXPECT_EQ(patch.osc[0].level, SynthPatch().osc[0].level);
    EXPECT_EQ(patch.osc[1].level, 1.0f);
    EXPECT_EQ(patch.osc[0].detune, SynthPatch::kMaxDetune);
    EXPECT_EQ(patch.osc[1].width, SynthPatch().osc[1].width);
    EXPECT_EQ(patch.cutoff, SynthPatch().cutoff);
    EXPECT_EQ(patch.resonance, 0.0f);
    EXPECT_EQ(patch.envAmount, SynthPatch().envAmount);
    ASSERT_EQ(patch.amp.num_points, SynthPatch::kMaxPoints);
    EXPECT_EQ(patch.amp.points[0].x, 0.0f);
    for (int32 i = 1; i < patch.amp.num_points; i++) {
        EXPECT_GE(patch.amp.points[i].x, patch.amp.points[i - 1].x);
        EXPECT_GE(patch.amp.points[i].y, 0.0f);
        EXPECT_LE(patch.amp.points[i].y, 1.0f);
    }
    // Modifier rows a window wrote out of range are held too.
    modifiers->CreatePage(InstrumentSynth::kCutoff);
    modifiers->SetVal(InstrumentSynth::kCutoff, 0, nan);
    modifiers->CreatePage(InstrumentSynth::kPan);
    modifiers->SetVal(InstrumentSynth::kPan, 0, 1e30f);
    for (float v : Play(60, 20000)) ASSERT_TRUE(std::isfinite(v) && std::abs(v) <= 4.0f);
}
