#include "platform/midi/midi_synth.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/platform/midi/sound_measures.h"
#include "tests/test_sound_font.h"

namespace {

constexpr double kRate = 44100;
// FluidSynth leaves a floor of about 3e-8 when nothing plays; a soft note is above 2e-3 RMS.
constexpr float kSilence = 1e-6f;
constexpr double kAudible = 0.002;

uint32 Now() {
    return uint32(system_time() / 1000);
}

// Offline rendering through the real FluidSynth and the General MIDI SoundFont.
class BMidiSynthRender : public testing::Test {
  protected:
    void SetUp() override {
        PinTestSoundFont();
        ASSERT_EQ(synth.EnableInput(false, true), B_OK) << synth.ErrorText();
    }

    // The left channel of the next frames frames; the right must not be silent when it is not.
    std::vector<float> Render(int32 frames) {
        std::vector<float> left(size_t(frames), 7.0f), right(size_t(frames), 7.0f);
        EXPECT_EQ(synth.RenderFrames(left.data(), right.data(), frames), B_OK);
        EXPECT_EQ(Peak(left, 0, left.size()) > 1e-4f, Peak(right, 0, right.size()) > 1e-4f);
        return left;
    }

    std::vector<float> Seconds(double seconds) { return Render(int32(seconds * kRate)); }

    BMidiSynth synth;
};

class ScopedSoundFont {
  public:
    explicit ScopedSoundFont(const std::string& path) {
        setenv("VELLORAN_SOUNDFONT", path.c_str(), 1);
    }
    ~ScopedSoundFont() { PinTestSoundFont(); }
};

}  // namespace

TEST_F(BMidiSynthRender, SilentUntilTheNoteThenAtItsPitch) {
    synth.ProgramChange(1, 0);
    std::vector<float> before = Seconds(0.1);
    EXPECT_LT(Peak(before, 0, before.size()), kSilence);
    EXPECT_TRUE(synth.IsLoaded());

    synth.NoteOn(1, 69, 100);
    std::vector<float> note = Seconds(0.8);
    EXPECT_GT(Rms(note, 0, note.size()), kAudible);
    EXPECT_NEAR(EstimatePitch(note, size_t(0.2 * kRate), size_t(0.6 * kRate), kRate), 440.0, 3.0);
}

TEST_F(BMidiSynthRender, NotesSoundAnOctaveApart) {
    for (auto [note, pitch] : {std::pair{57, 220.0}, std::pair{81, 880.0}}) {
        synth.NoteOn(2, uchar(note), 100, B_NOW);
        std::vector<float> sound = Seconds(0.6);
        synth.NoteOff(2, uchar(note), 0, B_NOW);
        Seconds(2.0);
        EXPECT_NEAR(EstimatePitch(sound, size_t(0.2 * kRate), size_t(0.5 * kRate), kRate), pitch,
                    pitch / 100)
            << "note " << note;
    }
}

TEST_F(BMidiSynthRender, DiesAwayAfterNoteOff) {
    synth.NoteOn(1, 60, 110);
    std::vector<float> held = Seconds(0.5);
    double loud = Rms(held, held.size() - 4410, held.size());
    ASSERT_GT(loud, kAudible);
    synth.NoteOff(1, 60, 64);
    std::vector<float> after = Seconds(3.0);
    EXPECT_LT(Rms(after, after.size() - 8820, after.size()), loud * 0.02);
    EXPECT_LT(Rms(after, 0, 4410), loud * 2);
}

TEST_F(BMidiSynthRender, ChannelTenPlaysDrums) {
    BMidiSynth piano;
    ASSERT_EQ(piano.EnableInput(false, true), B_OK);
    synth.NoteOn(10, 38, 110);  // acoustic snare
    piano.NoteOn(1, 38, 110);
    std::vector<float> drum = Seconds(0.4);
    std::vector<float> tone(drum.size()), right(drum.size());
    ASSERT_EQ(piano.RenderFrames(tone.data(), right.data(), int32(tone.size())), B_OK);
    double drumLevel = Rms(drum, 0, drum.size());
    EXPECT_GT(drumLevel, kAudible);
    std::vector<float> difference(drum.size());
    for (size_t i = 0; i < drum.size(); i++) difference[i] = drum[i] - tone[i];
    EXPECT_GT(Rms(difference, 0, difference.size()), drumLevel * 0.5);
}

TEST_F(BMidiSynthRender, MessagesOnUnknownChannelsAreIgnored) {
    synth.NoteOn(0, 60, 100);
    synth.NoteOn(17, 60, 100);
    std::vector<float> sound = Seconds(0.2);
    EXPECT_LT(Peak(sound, 0, sound.size()), kSilence);
}

TEST_F(BMidiSynthRender, QueuedMessagesStartAtTheirFrame) {
    ASSERT_EQ(synth.QueueMessage(1000, 0x90, 69, 100), B_OK);
    std::vector<float> first = Render(4096);
    size_t onset = FirstSounding(first);
    EXPECT_GE(onset, 1000u);
    // FluidSynth starts voices on its own 64-frame blocks, and the attack takes a little time
    // to rise above the floor.
    EXPECT_LT(onset, 1000u + 512);

    synth.NoteOff(1, 69, 0);
    Seconds(3.0);
    ASSERT_EQ(synth.QueueMessage(5000, 0x90, 72, 100), B_OK);
    std::vector<float> early = Render(4096);
    EXPECT_LT(Peak(early, 0, early.size()), 1e-4f);
    std::vector<float> late = Render(4096);
    onset = FirstSounding(late, 1e-4f);
    EXPECT_GE(onset, 5000u - 4096u);
    EXPECT_LT(onset, 5000u - 4096u + 512);
}

TEST_F(BMidiSynthRender, MessagesAtOneFrameApplyInTheOrderSent) {
    BMidiSynth other;
    ASSERT_EQ(other.EnableInput(false, true), B_OK);
    // Off then on leaves the note sounding; on then off ends it at once.
    synth.QueueMessage(0, 0x90, 60, 100);
    Render(2048);
    other.QueueMessage(0, 0x90, 60, 100);
    std::vector<float> scratch(2048), right(2048);
    other.RenderFrames(scratch.data(), right.data(), 2048);
    synth.QueueMessage(64, 0x80, 60, 0);
    synth.QueueMessage(64, 0x90, 60, 100);
    other.QueueMessage(64, 0x90, 60, 100);
    other.QueueMessage(64, 0x80, 60, 0);
    std::vector<float> sounding = Seconds(1.0);
    std::vector<float> ended(sounding.size());
    right.resize(sounding.size());
    other.RenderFrames(ended.data(), right.data(), int32(ended.size()));
    size_t from = size_t(0.7 * kRate), to = size_t(1.0 * kRate);
    EXPECT_GT(Rms(sounding, from, to), 5 * Rms(ended, from, to));
}

TEST_F(BMidiSynthRender, TimedMessagesWaitForTheirTime) {
    synth.NoteOn(1, 69, 100, Now() + 60'000);
    std::vector<float> sound = Seconds(0.3);
    EXPECT_LT(Peak(sound, 0, sound.size()), kSilence);
    synth.NoteOn(1, 72, 100, Now() - 5);
    sound = Seconds(0.3);
    EXPECT_GT(Rms(sound, 0, sound.size()), kAudible);
}

TEST_F(BMidiSynthRender, QueueIsBoundedAndDrainsOnRendering) {
    EXPECT_EQ(synth.QueueMessage(-1, 0x90, 60, 100), B_BAD_VALUE);
    EXPECT_EQ(synth.QueueMessage(0, 0xA0, 60, 100), B_BAD_VALUE);
    EXPECT_EQ(synth.QueueMessage(0, 0xF8, 0, 0), B_BAD_VALUE);
    for (int32 i = 0; i < BMidiSynth::kQueueCapacity; i++) {
        ASSERT_EQ(synth.QueueMessage(100'000, 0xB0, 7, 100), B_OK) << i;
    }
    EXPECT_EQ(synth.QueueMessage(0, 0x90, 60, 100), B_NO_MEMORY);
    Render(64);
    EXPECT_EQ(synth.RenderFrames(nullptr, nullptr, 64), B_BAD_VALUE);
    // The queue emptied into the pending events; those stay full until their frame passes.
    EXPECT_EQ(synth.QueueMessage(0, 0x90, 60, 100), B_OK);
    Render(100'000);
    std::vector<float> sound = Render(4096);
    EXPECT_GT(Rms(sound, 0, sound.size()), kAudible);
}

TEST(BMidiSynth, MissingSoundFontGivesAnErrorNamingItAndSilence) {
    const std::string path = "/nonexistent/velloran/test.sf2";
    ScopedSoundFont soundFont(path);
    BMidiSynth synth;
    EXPECT_EQ(BMidiSynth::SoundFontPath(), path);
    EXPECT_EQ(synth.EnableInput(false, true), B_ENTRY_NOT_FOUND);
    EXPECT_NE(std::string(synth.ErrorText()).find(path), std::string::npos) << synth.ErrorText();
    EXPECT_FALSE(synth.IsLoaded());
    synth.NoteOn(1, 69, 127);
    synth.NoteOn(10, 38, 127);
    std::vector<float> left(8192, 1.0f), right(8192, 1.0f);
    ASSERT_EQ(synth.RenderFrames(left.data(), right.data(), 8192), B_OK);
    EXPECT_LT(Peak(left, 0, left.size()), kSilence);
    EXPECT_LT(Peak(right, 0, right.size()), kSilence);
}

TEST(BMidiSynth, FileThatIsNoSoundFontIsRefused) {
    std::string path = testing::TempDir() + "velloran-not-a-soundfont.sf2";
    std::ofstream(path) << "RIFF but not really a SoundFont at all";
    ScopedSoundFont soundFont(path);
    BMidiSynth synth;
    EXPECT_EQ(synth.EnableInput(false, true), B_BAD_DATA);
    EXPECT_NE(std::string(synth.ErrorText()).find(path), std::string::npos) << synth.ErrorText();
    EXPECT_FALSE(synth.IsLoaded());
    std::remove(path.c_str());
}

TEST(BMidiSynth, DefaultSoundFontIsTheGeneralMidiOne) {
    unsetenv("VELLORAN_SOUNDFONT");
    EXPECT_EQ(BMidiSynth::SoundFontPath(), "/usr/share/sounds/sf2/default-GM.sf2");
    ScopedSoundFont empty("");
    EXPECT_EQ(BMidiSynth::SoundFontPath(), "/usr/share/sounds/sf2/default-GM.sf2");
}
