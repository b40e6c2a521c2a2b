#include "tests/addons/plugbay/plugbay_fixture.h"
#include "tests/addons/plugbay/recording_effect.h"

namespace {

class PlugbayHost : public PlugbayTest {
  protected:
    void SetUp() override {
        PlugbayTest::SetUp();
        machine = AddPlugbay();
        ListTestPlugins();
    }

    static RecordedSession& Session(const char* plugin) {
        EffectRoster& roster = Effects();
        int index = roster.Find(plugin);
        void* found = nullptr;
        EXPECT_TRUE(index >= 0 && roster.objects[index] != nullptr &&
                    roster.objects[index]->GetObject("RecordingSession", &found));
        return *reinterpret_cast<RecordedSessionFunc>(found)();
    }

    MachinePlugbay* machine = nullptr;
};

TEST_F(PlugbayHost, AnswersWithPlainNumbersAndOpensBeforeSwitchingOnAndOffBeforeClosing) {
    ASSERT_TRUE(Pipe(machine).CreateEffect("RecordingEffect"));
    RecordedSession& s = Session("RecordingEffect");
    EXPECT_EQ(s.version, 2400);
    EXPECT_EQ(s.time, 0);
    EXPECT_EQ(s.rate, 44100);
    EXPECT_EQ(s.block, 16538);
    EXPECT_EQ(s.unknown, 0);
    ASSERT_EQ(s.count, 4);
    EXPECT_EQ(s.requests[0].opcode, kEffectOpen);
    EXPECT_EQ(s.requests[1].opcode, kEffectSetSampleRate);
    EXPECT_EQ(s.requests[1].opt, 44100.0f);
    EXPECT_EQ(s.requests[2].opcode, kEffectSetBlockSize);
    EXPECT_EQ(s.requests[2].value, 16538);
    EXPECT_EQ(s.requests[3].opcode, kEffectMainsChanged);
    EXPECT_EQ(s.requests[3].value, 1);

    Pipe(machine).RemoveEffect(0);
    ASSERT_EQ(s.count, 6);
    EXPECT_EQ(s.requests[4].opcode, kEffectMainsChanged);
    EXPECT_EQ(s.requests[4].value, 0);
    EXPECT_EQ(s.requests[5].opcode, kEffectClose);
}

TEST_F(PlugbayHost, ChannelsBeyondTwoReadSilenceAndTheirOutputIsDropped) {
    ASSERT_TRUE(Pipe(machine).CreateEffect("RecordingEffect"));
    RecordedSession& s = Session("RecordingEffect");
    Fill(machine, Machine::kBufferFrames, 1.0f, 3.0f);
    machine->Process();
    machine->Process();  // a second run still reads silence beyond the two channels
    EXPECT_EQ(s.processed, 2);
    EXPECT_EQ(s.frames, Machine::kBufferFrames);
    EXPECT_EQ(machine->buffer_left[Machine::kBufferFrames - 1], 1.0f);
    EXPECT_EQ(machine->buffer_right[Machine::kBufferFrames - 1], 12.0f);
}

TEST_F(PlugbayHost, AOneChannelPluginHearsBothSidesAndPlaysOnBoth) {
    // This one exports its entry only under the older name.
    ASSERT_TRUE(Pipe(machine).CreateEffect("MonoEffect"));
    Fill(machine, 32, 1.0f, 3.0f);
    machine->Process();
    EXPECT_EQ(machine->buffer_left[31], 6.0f);
    EXPECT_EQ(machine->buffer_right[31], 6.0f);
}

TEST_F(PlugbayHost, ALibraryWithoutAnEntryYieldsNoEffect) {
    EXPECT_FALSE(Pipe(machine).CreateEffect("NotAPlugin"));
    EXPECT_EQ(machine->pipe.num_effects, 0);
    EXPECT_EQ(machine->pipe.workallocated, 0);
}

}  // namespace
