#include "platform/midi/midi_port.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/platform/midi/recording_consumer.h"

namespace {

bool HasMidiService() {
    return access("/dev/snd/seq", R_OK | W_OK) == 0;
}

class RawPort : public BMidiPort {
  public:
    using BMidiPort::SprayMessage;
};

}  // namespace

TEST(BMidiPort, WithoutServiceListsNoDevices) {
    if (HasMidiService()) GTEST_SKIP() << "this machine has a MIDI sequencer";
    EXPECT_EQ(BMidiPort::CountDevices(), 0);
    char name[64] = "untouched";
    EXPECT_EQ(BMidiPort::GetDeviceName(0, name, sizeof(name)), B_BAD_INDEX);
    EXPECT_STREQ(name, "untouched");
}

TEST(BMidiPort, DeviceNamesNeedRoom) {
    EXPECT_EQ(BMidiPort::GetDeviceName(0, nullptr, 10), B_BAD_VALUE);
    char name[4];
    EXPECT_EQ(BMidiPort::GetDeviceName(0, name, 0), B_BAD_VALUE);
    EXPECT_EQ(BMidiPort::GetDeviceName(-1, name, sizeof(name)), B_BAD_INDEX);
}

TEST(BMidiPort, UnknownPortFailsAndMessagesGoNowhere) {
    BMidiPort port;
    RecordingConsumer consumer;
    port.Connect(&consumer);
    EXPECT_NE(port.Open("Velloran test: no such port"), B_OK);
    EXPECT_NE(std::string(port.ErrorText()).find("Velloran test: no such port"), std::string::npos)
        << port.ErrorText();
    EXPECT_EQ(port.Open(nullptr), B_BAD_VALUE);
    port.NoteOn(1, 60, 100);
    port.NoteOff(1, 60, 0);
    port.ControlChange(1, 7, 100);
    port.ProgramChange(1, 5);
    port.Close();
    // What a port consumes goes out, not on to its own consumers.
    EXPECT_EQ(consumer.Count(), 0u);
}

TEST(BMidiPort, WithoutServiceVirtualInputFails) {
    if (HasMidiService()) GTEST_SKIP() << "this machine has a MIDI sequencer";
    BMidiPort port;
    EXPECT_EQ(port.OpenVirtualInput("Velloran(in)"), B_NOT_SUPPORTED);
    EXPECT_NE(std::string(port.ErrorText()).find("no MIDI service"), std::string::npos)
        << port.ErrorText();
    EXPECT_NE(std::string(port.ErrorText()).find("Velloran(in)"), std::string::npos);
    EXPECT_EQ(port.OpenVirtualInput(nullptr), B_BAD_VALUE);
}

// In a fresh process, since the notice belongs to the first use of MIDI in it.
TEST(BMidiPort, WithoutServiceSaysSoOnceOnStandardError) {
    if (HasMidiService()) GTEST_SKIP() << "this machine has a MIDI sequencer";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            for (int round = 0; round < 3; round++) {
                BMidiPort port;
                BMidiPort::CountDevices();
                port.Open("anything");
                port.OpenVirtualInput("Velloran(in)");
            }
            std::exit(0);
        },
        testing::ExitedWithCode(0),
        "^Velloran: no MIDI service \\(/dev/snd/seq: [^)]*\\); MIDI ports are unavailable\n$");
}

TEST(BMidiPort, IncomingBytesBecomeMessages) {
    RawPort port;
    RecordingConsumer consumer;
    port.Connect(&consumer);
    auto spray = [&](std::initializer_list<uchar> bytes) {
        port.SprayMessage(std::data(bytes), bytes.size(), 77);
    };
    spray({0x90, 69, 100});
    spray({0x8F, 69, 40});
    spray({0x93, 64, 0});  // a note on at velocity 0 ends the note
    spray({0xB9, 7, 127});
    spray({0xC0, 5});
    spray({0x90, 0xC5, 0xE4});  // data bytes keep their low seven bits
    spray({0x90, 60});
    spray({0xF8});
    spray({0xF0, 1, 2, 3});
    spray({0xA0, 60, 10});
    spray({0xE0, 0, 64});
    const std::vector<RecordedMessage> expected = {{'n', 1, 69, 100, 77}, {'f', 16, 69, 40, 77},
                                                   {'f', 4, 64, 0, 77},   {'c', 10, 7, 127, 77},
                                                   {'p', 1, 5, 0, 77},    {'n', 1, 0x45, 0x64, 77}};
    EXPECT_EQ(consumer.Messages(), expected);
}

// Where a sequencer runs: a note sent to our own virtual input comes back from it.
TEST(BMidiPort, VirtualInputReceivesWhatIsSentToIt) {
    if (!HasMidiService()) GTEST_SKIP() << "no MIDI sequencer here";
    BMidiPort input, output;
    RecordingConsumer consumer;
    input.Connect(&consumer);
    ASSERT_EQ(input.OpenVirtualInput("Velloran test(in)"), B_OK) << input.ErrorText();
    std::string listed;
    char name[256];
    for (int32 i = 0; i < BMidiPort::CountDevices(); i++) {
        if (BMidiPort::GetDeviceName(i, name, sizeof(name)) != B_OK) continue;
        if (std::string(name).ends_with("Velloran test(in)")) listed = name;
    }
    if (listed.empty()) GTEST_SKIP() << "the sequencer does not list our own input";
    ASSERT_EQ(output.Open(listed.c_str()), B_OK) << output.ErrorText();
    output.NoteOn(3, 64, 90);
    for (bigtime_t end = system_time() + 5'000'000; system_time() < end && consumer.Count() == 0;)
        snooze(1000);
    ASSERT_EQ(consumer.Count(), 1u);
    RecordedMessage got = consumer.Messages()[0];
    EXPECT_EQ(got.kind, 'n');
    EXPECT_EQ(got.channel, 3);
    EXPECT_EQ(got.data1, 64);
    EXPECT_EQ(got.data2, 90);
}
