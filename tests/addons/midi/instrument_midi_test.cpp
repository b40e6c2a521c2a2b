#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/addon_entry.h"
#include "engine/midi_connections.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "platform/kernel/os.h"
#include "tests/engine/allocation_counter.h"
#include "tests/engine/engine_environment.h"
#include "tests/message/flattened_bytes.h"

namespace {

// A port no system has: what the instrument sends reaches only the consumers connected here.
constexpr const char* kTestPort = "Velloran test recorder";
// The output sends in the millisecond of the stamp; the rest is room for a busy machine.
constexpr int32 kLate = 15;

uint32 NowMs() {
    return uint32(system_time() / 1000);
}

// A consumer that notes every message that reaches it and when it arrived.
class Recorder : public BMidi {
  public:
    struct Message {
        char kind;
        int channel;
        int data1;
        int data2;
        uint32 at;
    };

    void NoteOn(uchar channel, uchar note, uchar velocity, uint32) override {
        Note('n', channel, note, velocity);
    }
    void NoteOff(uchar channel, uchar note, uchar velocity, uint32) override {
        Note('f', channel, note, velocity);
    }
    void ControlChange(uchar channel, uchar controller, uchar value, uint32) override {
        Note('c', channel, controller, value);
    }
    void ProgramChange(uchar channel, uchar program, uint32) override {
        Note('p', channel, program, 0);
    }

    // What arrived once count messages have, or after a second.
    std::vector<Message> Wait(size_t count) {
        bigtime_t until = system_time() + 1000000;
        while (system_time() < until && Received().size() < count) snooze(1000);
        return Received();
    }

    std::vector<Message> Received() {
        std::lock_guard<std::mutex> hold(fLock);
        return fReceived;
    }

  private:
    void Note(char kind, int channel, int data1, int data2) {
        std::lock_guard<std::mutex> hold(fLock);
        fReceived.push_back({kind, channel, data1, data2, NowMs()});
    }

    std::mutex fLock;
    std::vector<Recorder::Message> fReceived;
};

std::string Kinds(const std::vector<Recorder::Message>& received) {
    std::string kinds;
    for (const auto& r : received) kinds += r.kind;
    return kinds;
}

const Recorder::Message* First(const std::vector<Recorder::Message>& received, char kind,
                               int data1) {
    for (const auto& r : received)
        if (r.kind == kind && r.data1 == data1) return &r;
    return nullptr;
}

// Messages leave in the millisecond of their stamp, never before it.
void ExpectSentAt(const Recorder::Message* message, uint32 stamp) {
    ASSERT_NE(message, nullptr);
    EXPECT_GE(int32(message->at - stamp), 0) << "arrived before its stamp";
    EXPECT_LE(int32(message->at - stamp), kLate) << "arrived late";
}

std::string SavedPort(Instrument* instrument) {
    BMessage saved;
    instrument->Save(&saved);
    std::string name;
    saved.FindString("port_name", &name);
    return name;
}

class MidiInstrument : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        midi = Create(0);
        ASSERT_NE(midi, nullptr);
        OpenWith({});
        port = MakeMidiConnection(kTestPort);
        port->Connect(&recorder);
        modifiers = std::make_unique<Modifiers>(midi->GetModifierInfoList(), 1);
    }

    void TearDown() override { port->Disconnect(&recorder); }

    // A Midi instrument in song slot slot.
    Instrument* Create(int32 slot) {
        auto* made = dynamic_cast<Instrument*>(instrument_roster.Create("Midi"));
        song->instruments[slot] = made;
        return made;
    }

    // Settings go in the way a song record brings them.
    void OpenWith(std::initializer_list<std::pair<const char*, int32>> values,
                  const std::string& portName = kTestPort) {
        BMessage settings;
        for (const auto& [key, value] : values) settings.AddInt32(key, value);
        settings.AddString("port_name", portName);
        midi->Open(&settings);
    }

    // The note's first call, starting offset frames into the step.
    void Play(int32 key, int32 offset, float time = 0) {
        NoteInfo note;
        note.note = key;
        note.modifiers = modifiers.get();
        note.offset = offset;
        note.time = time;
        midi->Process(nullptr, nullptr, 0, &note);
    }

    void SetModifier(int32 j, float value) {
        modifiers->CreatePage(j);
        modifiers->SetVal(j, 0, value);
    }

    Instrument* midi = nullptr;
    MyMidi* port = nullptr;
    Recorder recorder;
    std::unique_ptr<Modifiers> modifiers;
};

}  // namespace

TEST_F(MidiInstrument, ADefaultNoteSendsItsFourMessagesOnItsFirstCallOnly) {
    EXPECT_EQ(midi->name, "Midi");
    const uint32 t = NowMs() + 60;
    FILLBUFFER_TIME = int32(t);
    {
        AllocationCounter counter;  // nothing is due yet, so the sending thread stays idle
        Play(60, 0);
        Play(60, 0, 512);  // the same note's later calls
        Play(60, 256, 1024);
        EXPECT_EQ(counter.Count(), 0u);
    }
    std::vector<Recorder::Message> got = recorder.Wait(4);
    ASSERT_EQ(Kinds(got), "cpnf");  // within one tick controls leave before programs
    EXPECT_EQ(got[0].channel, 1);
    EXPECT_EQ(got[0].data1, 1);
    EXPECT_EQ(got[0].data2, 64);
    EXPECT_EQ(got[1].channel, 1);
    EXPECT_EQ(got[1].data1, 0);
    for (int i : {2, 3}) {
        EXPECT_EQ(got[i].channel, 1);
        EXPECT_EQ(got[i].data1, 60);
        EXPECT_EQ(got[i].data2, 69) << "the float nearest 0.7 makes velocity 69";
    }
    ExpectSentAt(&got[0], t);
    ExpectSentAt(&got[2], t);
    ExpectSentAt(&got[3], t + 100);
    snooze(150000);
    EXPECT_EQ(recorder.Received().size(), 4u);
}

TEST_F(MidiInstrument, TheStartOffsetAndTheSyncOffsetMoveTheStamps) {
    const uint32 fill = NowMs() + 100;
    FILLBUFFER_TIME = int32(fill);
    Play(61, 441);  // 10 ms into the step
    OpenWith({{"syncofs", -80}});
    Play(62, 4410);  // 100 ms in, sent 80 ms early
    OpenWith({{"syncofs", 40}});
    Play(63, 0);
    std::vector<Recorder::Message> got = recorder.Wait(12);
    ASSERT_EQ(got.size(), 12u);
    ExpectSentAt(First(got, 'n', 61), fill + 10);
    ExpectSentAt(First(got, 'f', 61), fill + 110);
    ExpectSentAt(First(got, 'n', 62), fill + 20);
    ExpectSentAt(First(got, 'n', 63), fill + 40);
    ExpectSentAt(First(got, 'f', 63), fill + 140);
}

TEST_F(MidiInstrument, ModifiersChannelAndProgramShapeTheMessages) {
    OpenWith({{"channel", 10}, {"prognum", 42}});
    FILLBUFFER_TIME = int32(NowMs());
    SetModifier(0, 1.0f);
    SetModifier(1, 128.0f);  // the top of the range, one past what a data byte holds
    Play(70, 0);
    SetModifier(0, 0.0f);
    SetModifier(1, 0.0f);
    Play(71, 0);
    std::vector<Recorder::Message> got = recorder.Wait(8);
    ASSERT_EQ(got.size(), 8u);
    for (const auto& r : got) EXPECT_EQ(r.channel, 10);
    EXPECT_EQ(First(got, 'p', 42)->channel, 10);
    EXPECT_EQ(First(got, 'n', 70)->data2, 100);
    EXPECT_EQ(First(got, 'n', 71)->data2, 0);
    std::vector<int> controls;
    for (const auto& r : got)
        if (r.kind == 'c') controls.push_back(r.data2);
    EXPECT_EQ(controls, (std::vector<int>{127, 0}));
}

TEST_F(MidiInstrument, SaveAndOpenRestoreEverySettingAndFillInTheDefaults) {
    OpenWith({{"prognum", 17}, {"syncofs", -25}, {"channel", 16}});
    midi->SetName("Lead");
    BMessage saved;
    midi->Save(&saved);
    std::vector<std::string> keys;
    const char* key = nullptr;
    type_code type;
    for (int32 i = 0; saved.GetInfo(B_ANY_TYPE, i, &key, &type) == B_OK; i++) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"prognum", "syncofs", "channel", "port_name",
                                              "Instrument::name"}));

    Instrument* copy = Create(1);
    copy->Open(&saved);
    BMessage again;
    copy->Save(&again);
    EXPECT_EQ(FlattenedBytes(again), FlattenedBytes(saved));
    EXPECT_EQ(copy->name, "Lead");

    BMessage empty;
    empty.AddString("port_name", "");
    Instrument* fresh = Create(2);
    fresh->Open(&empty);
    BMessage defaults;
    fresh->Save(&defaults);
    int32 value = -1;
    EXPECT_EQ(defaults.FindInt32("prognum", &value), B_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(defaults.FindInt32("syncofs", &value), B_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(defaults.FindInt32("channel", &value), B_OK);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(SavedPort(fresh), "Internal Synth");
}

TEST_F(MidiInstrument, LongPortNamesAreCutToFiftyOneBytesOnACharacterBoundary) {
    const std::string longName = "Port " + std::string(60, 'x');
    OpenWith({}, longName);
    EXPECT_EQ(SavedPort(midi), longName.substr(0, 51));
    // What it sends goes to the output of the cut name.
    port->Disconnect(&recorder);
    port = MakeMidiConnection(longName.substr(0, 51).c_str());
    port->Connect(&recorder);
    FILLBUFFER_TIME = int32(NowMs());
    Play(60, 0);
    EXPECT_EQ(recorder.Wait(4).size(), 4u);

    const std::string accented = std::string(50, 'a') + "\xc3\xa9";  // ends in a 2-byte é
    OpenWith({}, accented);
    EXPECT_EQ(SavedPort(midi), std::string(50, 'a'));
}

TEST_F(MidiInstrument, TheImageDescribesItselfOnceAndNamesTheGeneralMidiSounds) {
    int index = instrument_roster.Find("Midi");
    ASSERT_GE(index, 0);
    SharedObject* image = instrument_roster.objects[index];
    void* getInfo = nullptr;
    void* version = nullptr;
    ASSERT_TRUE(image->GetObject("GetInfo", &getInfo));
    ASSERT_TRUE(image->GetObject("GetAddonVersion", &version));
    BMessage* info = reinterpret_cast<GetInfoFunc>(getInfo)();
    EXPECT_EQ(reinterpret_cast<GetInfoFunc>(getInfo)(), info);
    const char* text = nullptr;
    ASSERT_EQ(info->FindString("info", &text), B_OK);
    EXPECT_STREQ(text, "Standard component");
    EXPECT_EQ(info->FindString("developer", &text), B_OK);
    EXPECT_EQ(reinterpret_cast<GetAddonVersionFunc>(version)(), 1);

    ModifierInfoList* list = midi->GetModifierInfoList();
    ASSERT_EQ(list->count, 2);
    EXPECT_STREQ(list->info[0].name, "Volume");
    EXPECT_FLOAT_EQ(list->info[0].def, 0.7f);
    EXPECT_STREQ(list->info[1].name, "Controller 1");
    EXPECT_FLOAT_EQ(list->info[1].max, 128.0f);

    void* titles = nullptr;
    void* names = nullptr;
    ASSERT_TRUE(image->GetObject("gm_nametitles", &titles));
    ASSERT_TRUE(image->GetObject("gm_names", &names));
    auto* title = static_cast<const char* const*>(titles);
    auto* name = static_cast<const char* const*>(names);
    EXPECT_STREQ(title[6], "Ensemble strings and voices");
    EXPECT_STREQ(title[15], "Sound Effects");
    EXPECT_STREQ(name[0], "ACOUSTIC GRAND");
    EXPECT_STREQ(name[24], "ACOUSTIC GUITAR NYLON");
    EXPECT_STREQ(name[81], "SAWTOOTH WAVE");
    EXPECT_STREQ(name[127], "GUNSHOT");
    for (int i = 0; i < 128; i++) EXPECT_GT(std::strlen(name[i]), 0u) << i;
}
