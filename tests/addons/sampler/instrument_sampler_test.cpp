// The Sampler add-on loaded through the instrument roster: pitch, loops, envelope timing,
// note replacement, modifiers, and what it saves and refuses.
#include "addons/Sampler/instrument_sampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/rosters.h"
#include "tests/addons/sampler/test_sample_file.h"
#include "tests/addons/signal_measures.h"
#include "tests/engine/allocation_counter.h"
#include "tests/engine/engine_environment.h"
#include "tests/engine/lock_counter.h"
#include "tests/message/flattened_bytes.h"

namespace {

struct Sound {
    std::vector<float> left;
    std::vector<float> right;
};

class Sampler : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        sampler = Create(0);
        ASSERT_NE(sampler, nullptr);
        modifiers = std::make_unique<Modifiers>(sampler->GetModifierInfoList(), 1);
        note.modifiers = modifiers.get();
    }

    static InstrumentSampler* Create(int32 slot) {
        auto* made = dynamic_cast<InstrumentSampler*>(instrument_roster.Create("Sampler"));
        delete song->instruments[slot].exchange(made);
        return made;
    }

    // A file written from tone and loaded; fails the test when either fails.
    void Load(const ToneFile& tone, const std::string& name = "tone.wav") {
        const std::string path = TestPath(name);
        ASSERT_TRUE(WriteTone(path, tone));
        ASSERT_TRUE(sampler->LoadFile(path.c_str()));
    }

    // Starts key, as the tracker does, on a new note.
    void Start(int32 key) {
        note.note = key;
        note.sounding = 1;
        note.time = 0;
    }

    // frames of the note on instrument, in blocks of block frames as the tracker calls.
    Sound Render(int32 frames, int32 block = 128, InstrumentSampler* instrument = nullptr) {
        if (instrument == nullptr) instrument = sampler;
        Sound out{std::vector<float>(size_t(frames)), std::vector<float>(size_t(frames))};
        for (int32 done = 0; done < frames; done += block) {
            const int32 piece = std::min(block, frames - done);
            instrument->Process(out.left.data() + done, out.right.data() + done, piece, &note);
            note.time += float(piece);
        }
        return out;
    }

    void SetModifier(int32 j, float value) {
        modifiers->CreatePage(j);
        modifiers->SetVal(j, 0, value);
    }

    InstrumentSampler* sampler = nullptr;
    std::unique_ptr<Modifiers> modifiers;
    NoteInfo note;
};

// A 440 Hz sine recorded at 48000 Hz with root 69, looped over whole periods.
ToneFile Sine440() {
    ToneFile tone;
    tone.rate = 48000;
    tone.frames = 48000;
    tone.level = Sine(440, 48000);
    tone.root = 69;
    tone.loop_start = 12000;
    tone.loop_end = 24000;  // 110 periods
    return tone;
}

}  // namespace

TEST_F(Sampler, TheNoteAgainstTheRootSetsThePitchAtAnyRate) {
    ToneFile tone = Sine440();
    tone.loop_end = 0;
    Load(tone);
    sampler->SetEnvelopeTimes(0, 441000, 0);
    const struct {
        int32 key;
        double hz;
    } expected[] = {{69, 440}, {81, 880}, {57, 220}, {93, 1760}};
    for (const auto& e : expected) {
        Start(e.key);
        // Past the fade of the note before.
        const Sound out = Render(22050);
        EXPECT_NEAR(MeasuredFrequency(out.left, 300), e.hz, e.hz * 0.001) << "note " << e.key;
    }
    Start(69);
    SetModifier(InstrumentSampler::kFineTune, 100.0f);
    EXPECT_NEAR(MeasuredFrequency(Render(22050).left, 300), 440 * std::exp2(1 / 12.0), 0.466);
}

TEST_F(Sampler, ASawPlayedOctavesAboveItsRootKeepsItsAliasesSixtyDecibelsDown) {
    // A band-limited saw at 110 Hz (root 45) with every harmonic up to the Nyquist frequency at
    // full strength, looped over 88 periods: eleven periods make 4410 whole frames.
    ToneFile saw;
    saw.level = [](int f, int) {
        double sum = 0;
        for (int k = 1; k * 110 < 22050; k++) sum += std::sin(2 * M_PI * k * 110 * f / 44100) / k;
        return float(0.4 * sum);
    };
    saw.root = 45;
    saw.loop_start = 4410;
    saw.loop_end = 4410 * 9;
    Load(saw);
    sampler->SetEnvelopeTimes(0, 441000, 0);
    // One, two and three octaves up, the loop wrapping many times meanwhile. Each fundamental
    // makes whole cycles over a second and none divides the Nyquist frequency, so whatever
    // lies off its harmonics was folded back.
    for (int32 key : {57, 69, 81}) {
        Start(key);
        std::vector<float> x = Render(4410 + 44100).left;
        x.erase(x.begin(), x.begin() + 4410);
        EXPECT_LT(AliasDecibels(x, 110L << ((key - 45) / 12)), -60.0) << "key " << key;
    }
}

TEST_F(Sampler, RootAndLoopComeFromTheFilesChunksAndAreHeldToTheSample) {
    ToneFile tone;
    tone.frames = 5000;
    tone.root = 64;
    tone.loop_start = 1000;
    tone.loop_end = 3000;
    Load(tone);
    InstrumentSampler::Settings now = sampler->Current();
    EXPECT_EQ(now.root, 64);
    EXPECT_EQ(now.loop_start, 1000);
    EXPECT_EQ(now.loop_end, 3000);
    EXPECT_EQ(now.frames, 5000);

    tone.loop_start = 4000;
    tone.loop_end = 90000;
    Load(tone);
    EXPECT_EQ(sampler->Current().loop_start, 4000);
    EXPECT_EQ(sampler->Current().loop_end, 5000);

    sampler->SetLoop(-20, 1 << 30);
    EXPECT_EQ(sampler->Current().loop_start, 0);
    EXPECT_EQ(sampler->Current().loop_end, 5000);
    sampler->SetLoop(4000, 4000);
    EXPECT_EQ(sampler->Current().loop_end, 0) << "a loop without frames is no loop";

    tone.root = -1;
    Load(tone, "plain.wav");
    now = sampler->Current();
    EXPECT_EQ(now.root, 60);
    EXPECT_EQ(now.loop_end, 0);
}

TEST_F(Sampler, ALoopRepeatsItsFramesExactlyAndASampleWithoutOneEndsInSilence) {
    ToneFile tone;
    tone.frames = 1000;
    tone.level = [](int f, int) { return float(f % 37) / 40.0f - 0.4f; };
    tone.root = 60;
    Load(tone);
    sampler->SetEnvelopeTimes(0, 441000, 0);
    sampler->SetLoop(300, 700);
    Start(60);
    const Sound looped = Render(5000, 333);
    EXPECT_EQ(looped.left[250], tone.level(250, 0));
    for (int32 f = 700; f + 400 < 5000; f++)
        ASSERT_EQ(looped.left[size_t(f)], looped.left[size_t(f + 400)]) << f;

    sampler->SetLoop(0, 0);
    Start(60);
    const Sound once = Render(3000);
    EXPECT_EQ(once.left[999], tone.level(999, 0));
    for (size_t f = 1000; f < 3000; f++) ASSERT_EQ(once.left[f], 0.0f) << f;
}

TEST_F(Sampler, TheEnvelopeFollowsItsPointsToTheFrameAndEndsInExactSilence) {
    ToneFile tone;
    tone.frames = 1000;
    tone.root = 60;
    tone.loop_end = 1000;
    Load(tone);
    sampler->SetEnvelopeTimes(100, 200, 300);
    for (int32 block : {1, 37, 512}) {
        Start(60);
        const Sound out = Render(2000, block);
        EXPECT_EQ(out.left[0], 0.0f);
        EXPECT_FLOAT_EQ(out.left[50], 0.25f);
        EXPECT_LT(out.left[99], 0.5f);
        EXPECT_EQ(out.left[100], 0.5f);
        EXPECT_EQ(out.left[299], 0.5f);
        EXPECT_EQ(out.left[300], 0.5f);
        EXPECT_LT(out.left[301], 0.5f);
        EXPECT_GT(out.left[599], 0.0f);
        for (size_t f = 600; f < 2000; f++) ASSERT_EQ(out.left[f], 0.0f) << "block " << block;
        EXPECT_EQ(out.right, out.left);
    }
}

TEST_F(Sampler, AReplacedNoteFadesOutWithoutAJumpWhileTheNewOneStarts) {
    Load(Sine440());
    Start(69);
    // Near a peak of the old note, where cutting it would jump by most of its level.
    Sound out = Render(1026);
    const float step = LargestStep(out.left);
    Start(76);
    const Sound next = Render(2000);
    out.left.insert(out.left.end(), next.left.begin(), next.left.end());
    EXPECT_GT(std::abs(out.left[1025]), 0.7f);
    // No steeper than both notes' own slopes together; a cut would jump by 0.7.
    EXPECT_LT(LargestStep(out.left), step * (1 + std::exp2(7 / 12.0)));
    // Past the fade only the new note sounds: 659 Hz.
    EXPECT_NEAR(MeasuredFrequency(next.left, SamplerVoice::kFadeFrames + 64),
                440 * std::exp2(7 / 12.0), 1.0);
}

TEST_F(Sampler, VelocityPanAndSampleStartShapeTheNote) {
    ToneFile tone;
    tone.frames = 1000;
    tone.level = [](int f, int) { return float(f) / 1000.0f; };
    tone.root = 60;
    Load(tone);
    sampler->SetEnvelopeTimes(0, 441000, 0);
    SetModifier(InstrumentSampler::kVelocity, 0.5f);
    SetModifier(InstrumentSampler::kPan, -1.0f);
    SetModifier(InstrumentSampler::kSampleStart, 0.5f);
    Start(60);
    const Sound out = Render(100);
    EXPECT_FLOAT_EQ(out.left[10], 0.5f * tone.level(int(999 * 0.5f) + 10, 0));
    for (float right : out.right) ASSERT_EQ(right, 0.0f);
}

TEST_F(Sampler, StereoChannelsStayApart) {
    ToneFile tone;
    tone.channels = 2;
    tone.frames = 500;
    tone.level = [](int, int c) { return c == 0 ? 0.25f : -0.75f; };
    tone.root = 60;
    tone.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    Load(tone, "stereo.flac");
    sampler->SetEnvelopeTimes(0, 441000, 0);
    Start(60);
    const Sound out = Render(400);
    // As 16 bits hold them.
    EXPECT_NEAR(out.left[200], 0.25f, 1e-4);
    EXPECT_NEAR(out.right[200], -0.75f, 1e-4);
}

TEST_F(Sampler, PlayingAllocatesNothingAndTakesNoLock) {
    Load(Sine440());
    std::vector<float> left(256), right(256);
    AllocationCounter allocations;
    LockCounter locks;
    for (int i = 0; i < 100; i++) {
        if (i % 10 == 0) Start(60 + i / 10);
        sampler->Process(left.data(), right.data(), 256, &note);
        note.time += 256;
    }
    EXPECT_EQ(allocations.Count(), 0u);
    EXPECT_EQ(locks.Count(), 0u);
}

TEST_F(Sampler, SaveAndOpenGiveTheSameBytesAndSoundWithTheSampleInside) {
    ToneFile tone = Sine440();
    tone.channels = 2;
    Load(tone, "saved.wav");
    std::filesystem::remove(TestPath("saved.wav"));
    sampler->SetEnvelopeTimes(10, 2000, 500);
    sampler->SetRoot(70);
    sampler->SetName("Bells");
    BMessage saved;
    sampler->Save(&saved);

    InstrumentSampler* copy = Create(1);
    copy->Open(&saved);
    BMessage again;
    copy->Save(&again);
    EXPECT_EQ(FlattenedBytes(again), FlattenedBytes(saved));
    EXPECT_TRUE(ShownErrors().empty());

    Start(72);
    const Sound original = Render(3000);
    Start(72);
    const Sound reopened = Render(3000, 128, copy);
    EXPECT_EQ(reopened.left, original.left);
    EXPECT_EQ(reopened.right, original.right);
}

TEST_F(Sampler, ADamagedSampleIsRefusedWithAnErrorAndPlaysSilence) {
    ToneFile tone;
    tone.frames = 100;
    Load(tone);
    sampler->SetName("Drums");
    BMessage saved;
    sampler->Save(&saved);
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(saved.FindData("sample_data", B_FLOAT_TYPE, &data, &size), B_OK);
    std::vector<float> frames(size_t(size) / sizeof(float));
    std::memcpy(frames.data(), data, size_t(size));
    std::vector<float> withNan = frames;
    withNan[50] = std::numeric_limits<float>::quiet_NaN();

    auto damaged = [&](const char* key, int32 value, const std::vector<float>& values) {
        BMessage msg = saved;
        msg.RemoveName("sample_data");
        msg.AddData("sample_data", B_FLOAT_TYPE, values.data(),
                    ssize_t(values.size() * sizeof(float)));
        if (key != nullptr) {
            msg.RemoveName(key);
            msg.AddInt32(key, value);
        }
        return msg;
    };
    const std::vector<float> truncated(frames.begin(), frames.begin() + 60);
    BMessage cases[] = {
        damaged(nullptr, 0, truncated),
        damaged(nullptr, 0, withNan),
        damaged("sample_frames", SampleData::kMaxFrames + 1, frames),
        damaged("sample_frames", -100, frames),
        damaged("sample_channels", 3, frames),
        damaged("sample_rate", 0, frames),
    };
    for (BMessage& msg : cases) {
        Load(tone);
        ShownErrors().clear();
        sampler->Open(&msg);
        ASSERT_EQ(ShownErrors().size(), 1u);
        EXPECT_NE(ShownErrors()[0].find("\"Drums\""), std::string::npos) << ShownErrors()[0];
        EXPECT_EQ(sampler->Sample(), nullptr);
        Start(60);
        const Sound out = Render(500);
        for (float v : out.left) ASSERT_EQ(v, 0.0f);
    }
}

TEST_F(Sampler, AnUnreadableFileIsNamedInAnErrorAndChangesNothing) {
    ToneFile tone;
    tone.frames = 300;
    Load(tone);
    const auto before = sampler->Sample();
    const std::string text = TestPath("notes.txt");
    FILE* out = std::fopen(text.c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fputs("not a sound", out);
    std::fclose(out);
    for (const std::string& path : {text, TestPath("missing.wav")}) {
        ShownErrors().clear();
        EXPECT_FALSE(sampler->LoadFile(path.c_str()));
        ASSERT_EQ(ShownErrors().size(), 1u);
        EXPECT_NE(ShownErrors()[0].find(path), std::string::npos) << ShownErrors()[0];
        EXPECT_EQ(sampler->Sample(), before);
    }
}

TEST_F(Sampler, ALoadedSampleReplacesTheOldOneWhichIsFreedOnceNothingPlaysIt) {
    ToneFile tone;
    tone.frames = 5000;
    tone.root = 60;
    Load(tone, "first.wav");
    Start(60);
    Render(1000);
    std::weak_ptr<const SampleData> first = sampler->Sample();
    tone.level = [](int, int) { return -0.25f; };
    Load(tone, "second.wav");
    EXPECT_TRUE(first.expired());
    // The note of the old sample is gone; the next note plays the new one.
    for (float v : Render(500).left) ASSERT_EQ(v, 0.0f);
    Start(60);
    EXPECT_FLOAT_EQ(Render(200).left[100], -0.25f);
}

TEST_F(Sampler, TheSongFileCarriesTheSampleToAnotherMachine) {
    ToneFile tone = Sine440();
    Load(tone, "song.wav");
    std::filesystem::remove(TestPath("song.wav"));
    BMessage before;
    sampler->Save(&before);
    const std::string path = TestPath("sampled.vel");
    ASSERT_EQ(song->Save(path.c_str()), 1);
    song->New();
    ASSERT_EQ(song->Open(path.c_str()), 1);
    auto* opened = dynamic_cast<InstrumentSampler*>(song->instruments[0].load());
    ASSERT_NE(opened, nullptr);
    BMessage after;
    opened->Save(&after);
    EXPECT_EQ(FlattenedBytes(after), FlattenedBytes(before));
    EXPECT_TRUE(ShownErrors().empty());
}
