#include "engine/midi_connections.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>
#include <vector>

#include "engine/my_midi_in.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "platform/kernel/os.h"
#include "platform/media/sound_output.h"
#include "tests/engine/engine_environment.h"
#include "tests/platform/midi/recording_consumer.h"

namespace {

uint32 NowMs() {
    return uint32(system_time() / 1000);
}

// A consumer that notes what reached it and when.
class Recorder : public BMidi {
  public:
    struct Received {
        char kind;
        int channel;
        int data1;
        uint32 at;
        bigtime_t atMicros;
    };

    void NoteOn(uchar channel, uchar note, uchar, uint32) override { Note('n', channel, note); }
    void NoteOff(uchar channel, uchar note, uchar, uint32) override { Note('f', channel, note); }
    void ControlChange(uchar channel, uchar controller, uchar, uint32) override {
        Note('c', channel, controller);
    }
    void ProgramChange(uchar channel, uchar program, uint32) override {
        Note('p', channel, program);
    }

    std::vector<Received> Wait(size_t count) {
        bigtime_t until = system_time() + 2000000;
        while (system_time() < until) {
            {
                std::lock_guard<std::mutex> hold(fLock);
                if (fReceived.size() >= count) return fReceived;
            }
            snooze(1000);
        }
        std::lock_guard<std::mutex> hold(fLock);
        return fReceived;
    }

  private:
    void Note(char kind, int channel, int data1) {
        std::lock_guard<std::mutex> hold(fLock);
        const bigtime_t now = system_time();
        fReceived.push_back({kind, channel, data1, uint32(now / 1000), now});
    }

    std::mutex fLock;
    std::vector<Received> fReceived;
};

using MidiConnections = EngineTest;

}  // namespace

// The sending thread sleeps until the next message is due: each leaves in the millisecond of
// its stamp, and those of one millisecond leave in kind order.
TEST_F(MidiConnections, MessagesLeaveInTheMillisecondOfTheirTimeInKindOrder) {
    MyMidi output;
    Recorder recorder;
    output.Connect(&recorder);
    output.Start();
    uint32 due = NowMs() + 5;
    output.NoteOff(1, 60, 64, due);
    output.NoteOn(1, 60, 100, due);
    output.ProgramChange(2, 7, due);
    output.ControlChange(2, 1, 64, due);
    output.NoteOn(1, 72, 100, due + 1000);  // not yet
    // Twenty more, 3 to 60 ms ahead, sent out of order.
    constexpr int kSpread = 20;
    for (int i = 0; i < kSpread; i++)
        output.NoteOn(3, uchar(i), 100, due + 3 * ((i * 7) % kSpread) + 3);
    std::vector<Recorder::Received> got = recorder.Wait(4 + kSpread);
    ASSERT_EQ(got.size(), 4u + kSpread);
    std::string kinds;
    for (size_t i = 0; i < 4; i++) kinds += got[i].kind;
    EXPECT_EQ(kinds, "cpnf");
    EXPECT_EQ(got[1].data1, 7);
    std::vector<bigtime_t> late;
    for (const Recorder::Received& r : got) {
        const uint32 stamp = r.channel == 3 ? due + 3 * ((r.data1 * 7) % kSpread) + 3 : due;
        late.push_back(r.atMicros - bigtime_t(stamp) * 1000);
        EXPECT_GE(late.back(), 0) << "left before its time";
    }
    std::sort(late.begin(), late.end());
    EXPECT_LT(late[late.size() / 2], 1000) << "most leave within their millisecond";
    EXPECT_LT(late.back(), 15000) << "even on a busy machine";
    snooze(100000);
    EXPECT_EQ(recorder.Wait(4 + kSpread).size(), 4u + kSpread);  // the later one still waits
    output.Stop();
}

TEST_F(MidiConnections, OnePortNameOneOutputAndNeverNone) {
    MyMidi* synth = MakeMidiConnection("Internal Synth");
    ASSERT_NE(synth, nullptr);
    EXPECT_EQ(MakeMidiConnection("Internal Synth"), synth);
    MyMidi* unnamed = MakeMidiConnection("");
    EXPECT_NE(unnamed, synth);
    std::string longName(40, 'L');
    MyMidi* full = MakeMidiConnection(longName.c_str());
    MyMidi* prefix = MakeMidiConnection(longName.substr(0, 31).c_str());
    EXPECT_NE(full, prefix);
    EXPECT_EQ(MakeMidiConnection(longName.c_str()), full);
    std::vector<MyMidi*> more;
    for (int i = 0; i < 10; i++) {
        more.push_back(MakeMidiConnection(("No such port " + std::to_string(i)).c_str()));
        ASSERT_NE(more.back(), nullptr);
    }
    // The table holds ten: the last names share one output that plays nowhere.
    EXPECT_EQ(more[8], more[9]);
    EXPECT_EQ(MakeMidiConnection(nullptr), unnamed);
    ASSERT_EQ(ShownErrors().size(), 1u);
    EXPECT_NE(ShownErrors()[0].find("No such port 6"), std::string::npos) << ShownErrors()[0];
}

TEST_F(MidiConnections, TheInputPreviewsTheInstrumentOnItsChannelsSlot) {
    auto* instrument = dynamic_cast<Instrument*>(instrument_roster.Create("TestInstrument"));
    song->instruments[3] = instrument;
    MyMidiIn input;
    input.NoteOn(3, 62, 100, 0);
    PlayOutput(256);
    ASSERT_FALSE(InstrumentCalls().empty());
    EXPECT_EQ(InstrumentCalls()[0].note, 62);
    EXPECT_EQ(InstrumentCalls()[0].instrument, instrument);
    InstrumentCalls().clear();
    input.NoteOn(5, 64, 100, 0);  // empty slot: the old preview goes on, no new note
    PlayOutput(256);
    for (const auto& call : InstrumentCalls()) EXPECT_EQ(call.note, 62);
    input.ProgramChange(1, 42, 0);
    EXPECT_EQ(input.Program(), 42);
}

namespace {

// The strongest period between 300 and 600 Hz, by autocorrelation.
double Pitch(const std::vector<float>& mono, size_t from, size_t length) {
    double best = 0;
    int bestLag = 0;
    for (int lag = 44100 / 600; lag <= 44100 / 300; lag++) {
        double sum = 0;
        for (size_t i = from; i < from + length; i++) sum += mono[i] * mono[i + size_t(lag)];
        if (sum > best) {
            best = sum;
            bestLag = lag;
        }
    }
    return bestLag > 0 ? 44100.0 / bestLag : 0;
}

}  // namespace

// The synthesizer's output passes messages on ahead of their time, and the synthesizer starts
// each at the frame of the sound output that its stamp names on the output's frame clock.
TEST_F(MidiConnections, TheSynthesizerSoundsANoteAtItsFrameAndPitch) {
    MyMidi* synth = MakeMidiConnection("Internal Synth");
    ASSERT_TRUE(ShownErrors().empty()) << ShownErrors()[0];
    constexpr int32 kBuffer = 512;
    SoundOutput& output = SoundOutput::Default();
    const FrameClock clock{output.FramesPlayed(), system_time() / 1000 * 1000};
    output.SetClock(clock);
    const uint32 due = uint32(clock.time / 1000) + 100;
    synth->ProgramChange(1, 0, due);
    synth->NoteOn(1, 69, 100, due);
    synth->NoteOff(1, 69, 0, due + 600);
    // As fast as it renders: the frames, not the time they are made at, place the note.
    std::vector<float> mono;
    std::vector<float> out(kBuffer * 2);
    for (int b = 0; b < 80; b++) {
        ASSERT_EQ(output.Render(out.data(), kBuffer), B_OK);
        for (int32 f = 0; f < kBuffer; f++) mono.push_back(out[2 * f] + out[2 * f + 1]);
    }
    size_t first = 0;
    while (first < mono.size() && std::abs(mono[first]) < 1e-4f) first++;
    ASSERT_LT(first, mono.size()) << "the note never sounded";
    // 100 ms in, then FluidSynth's 64-frame grid and the attack rising out of silence.
    EXPECT_GE(first, 4410u);
    EXPECT_LE(first, 4410u + 64 + 441);
    EXPECT_NEAR(Pitch(mono, first + 4410, 4096), 440.0, 6.0);
}

// Offline the caller sends: due messages reach the synthesizer with their own stamps, in a
// tick's order within one millisecond, and a port gets nothing.
TEST_F(EngineTest, OfflineFlushesSendStampedMessagesToTheSynthesizerAndNothingToPorts) {
    SetMidiOffline(true);
    MyMidi* port = MakeMidiConnection("A port that is not plugged in");
    MyMidi* synth = MakeMidiConnection("Internal Synth");
    RecordingConsumer toPort;
    RecordingConsumer toSynth;
    ASSERT_EQ(port->Connect(&toPort), B_OK);
    ASSERT_EQ(synth->Connect(&toSynth), B_OK);
    port->NoteOn(1, 60, 100, 5000);
    synth->NoteOff(2, 60, 0, 5000);
    synth->NoteOn(2, 60, 90, 5000);
    synth->ControlChange(2, 1, 64, 5000);
    synth->NoteOn(2, 62, 80, 4990);

    FlushMidiConnections(4995, true);
    EXPECT_EQ(toSynth.Messages(), (std::vector<RecordedMessage>{{'n', 2, 62, 80, 4990}}));
    FlushMidiConnections(5001, true);
    EXPECT_EQ(toSynth.Messages(), (std::vector<RecordedMessage>{{'n', 2, 62, 80, 4990},
                                                                {'c', 2, 1, 64, 5000},
                                                                {'n', 2, 60, 90, 5000},
                                                                {'f', 2, 60, 0, 5000}}));
    EXPECT_EQ(toPort.Count(), 0u);
    // Back in real time the outputs' own threads send again.
    SetMidiOffline(false);
    port->Disconnect(&toPort);
    synth->NoteOn(2, 64, 70, NowMs());
    for (int i = 0; i < 100 && toSynth.Count() < 5; i++) snooze(5000);
    synth->Disconnect(&toSynth);
    EXPECT_EQ(toSynth.Count(), 5u);
}
