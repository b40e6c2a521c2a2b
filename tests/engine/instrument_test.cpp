#include "engine/instrument.h"

#include <atomic>
#include <thread>

#include "engine/key_val.h"
#include "engine/notes.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "tests/engine/engine_environment.h"

namespace {

ModifierInfo kInfo[3] = {{"Velocity", 0, 127, 100}, {"Pan", -1, 1, 0.5f}, {"Bend", -2, 2, -1}};
ModifierInfoList kList = {3, kInfo};

using Instruments = EngineTest;

}  // namespace

TEST(Notes, PitchIsLimitedToTheNoteRangeAndNamesIgnoreTheOctave) {
    EXPECT_EQ(NoteToPitch(69), 1.0f);
    EXPECT_FLOAT_EQ(NoteToPitch(81), 2.0f);
    EXPECT_FLOAT_EQ(NoteToPitch(57), 0.5f);
    EXPECT_EQ(NoteToPitch(-5), NoteToPitch(0));
    EXPECT_NEAR(NoteToPitch(0), 0.01858f, 1e-5);
    EXPECT_EQ(NoteToPitch(200), NoteToPitch(127));
    EXPECT_NEAR(NoteToPitch(127), 28.51f, 0.01);
    EXPECT_STREQ(NoteToString(61), "C#");
    EXPECT_STREQ(NoteToString(69), "A");
    EXPECT_STREQ(NoteToString(-1), "B");
}

TEST(ModifiersTable, DefaultsUntilWrittenAndIndicesOutsideAreIgnored) {
    Modifiers m(&kList, 8);
    EXPECT_EQ(m.GetVal(1, 3), 0.5f);
    EXPECT_EQ(m.pages[1], nullptr);
    m.SetVal(1, 3, -0.25f);
    ASSERT_NE(m.pages[1], nullptr);
    EXPECT_EQ(m.GetVal(1, 3), -0.25f);
    EXPECT_EQ(m.GetVal(1, 2), 0.5f);
    m.current = 3;
    EXPECT_EQ(m.GetVal(1), -0.25f);
    m.SetVal(3, 0, 1);  // no such modifier
    m.SetVal(0, 8, 1);  // no such row
    m.SetVal(-1, 0, 1);
    EXPECT_EQ(m.pages[3], nullptr);
    EXPECT_EQ(m.pages[0], nullptr);
    EXPECT_EQ(m.GetVal(5, 0), 0.0f);
    EXPECT_EQ(m.GetVal(2, 99), -1.0f);
    Modifiers none(nullptr, 4);
    none.SetVal(0, 0, 1);
    EXPECT_EQ(none.GetVal(0, 0), 0.0f);
}

TEST(ModifiersTable, SaveWritesPagesInOrderAndOpenReadsWhatIsThere) {
    Modifiers m(&kList, 4);
    m.SetVal(2, 1, 1.5f);
    m.SetVal(0, 0, 64);
    BMessage saved;
    m.Save(&saved);
    int32 count = 0;
    saved.GetInfo("name", nullptr, &count);
    EXPECT_EQ(count, 2);
    std::string first;
    saved.FindString("name", 0, &first);
    EXPECT_EQ(first, "Velocity");
    const void* data;
    ssize_t size;
    ASSERT_EQ(saved.FindData("val", B_FLOAT_TYPE, 1, &data, &size), B_OK);
    EXPECT_EQ(size, 16);

    Modifiers back(&kList, 4);
    back.Open(&saved);
    EXPECT_EQ(back.GetVal(2, 1), 1.5f);
    EXPECT_EQ(back.GetVal(0, 0), 64.0f);
    EXPECT_EQ(back.pages[1], nullptr);

    BMessage shortPage;
    shortPage.AddInt32("length", 4);
    shortPage.AddString("name", "Unknown");
    shortPage.AddData("val", B_FLOAT_TYPE, "\0\0\0\0", 4);
    shortPage.AddString("name", "Pan");
    float one = 1.0f;
    shortPage.AddData("val", B_FLOAT_TYPE, &one, 4);
    Modifiers partial(&kList, 4);
    partial.Open(&shortPage);
    EXPECT_EQ(partial.GetVal(1, 0), 1.0f);
    EXPECT_EQ(partial.GetVal(1, 3), 0.5f);
    EXPECT_EQ(partial.pages[0], nullptr);
}

// A note starting during playback reads a page an editor makes at that moment: it sees the
// default or the written value, never an unfilled page.
TEST(ModifiersTable, APageIsFilledBeforeAPlayerSeesIt) {
    for (int round = 0; round < 200; round++) {
        Modifiers values(&kList, 256);
        std::atomic<bool> done{false};
        std::thread player([&] {
            while (!done.load()) {
                const float seen = values.GetVal(2, 17);
                ASSERT_TRUE(seen == -1.0f || seen == 1.5f) << seen;
            }
        });
        values.SetVal(2, 17, 1.5f);
        values.Reset();
        values.SetVal(2, 17, 1.5f);
        done = true;
        player.join();
        EXPECT_EQ(values.GetVal(2, 17), 1.5f);
        EXPECT_EQ(values.GetVal(2, 18), -1.0f);
    }
}

TEST(Envelopes, InsertDeleteGrowAndRoundTrip) {
    int32 before = GetNumKeyVal();
    auto* kv = new KeyVal("Volume", 1);
    EXPECT_EQ(GetNumKeyVal(), before + 1);
    EXPECT_EQ(GetKeyVal(before), kv);
    EXPECT_EQ(kv->num_points, 5);
    EXPECT_EQ(kv->points[1], BPoint(5000, 1.0f));
    kv->InsertPoint(-10, 0.5f);
    EXPECT_EQ(kv->points[1], BPoint(-10, 0.5f));
    kv->InsertPoint(5000, 0.7f);
    EXPECT_EQ(kv->points[3], BPoint(5000, 0.7f));  // after the point with the same x
    kv->DeletePoint(0);
    EXPECT_EQ(kv->num_points, 7);
    kv->DeletePoint(1);
    EXPECT_EQ(kv->points[1], BPoint(5000, 1.0f));
    kv->DeletePoint(40);
    while (kv->num_points < 31) kv->InsertPoint(float(kv->num_points) * 100000, 0);
    EXPECT_EQ(kv->capacity, 32);
    kv->InsertPoint(1e9f, 0);
    EXPECT_EQ(kv->capacity, 64);
    EXPECT_EQ(kv->num_points, 32);

    kv->active = 1;
    BMessage saved;
    kv->Save(&saved);
    KeyVal copy("Copy", 0);
    EXPECT_EQ(GetNumKeyVal(), before + 1);
    copy.Open(&saved);
    EXPECT_EQ(copy.num_points, 32);
    EXPECT_GE(copy.capacity, 33);
    EXPECT_EQ(copy.points[31], BPoint(1e9f, 0));
    BMessage lying;
    lying.AddInt32("KeyVal:active", 1);
    lying.AddInt32("KeyVal:num_points", 1000000);
    lying.AddFloat("KeyVal:px", 1);
    lying.AddFloat("KeyVal:py", 2);
    copy.Open(&lying);
    EXPECT_EQ(copy.num_points, 1);
    BMessage inactive;
    copy.Open(&inactive);
    EXPECT_EQ(copy.active, 0);
    delete kv;
    EXPECT_EQ(GetNumKeyVal(), before);
}

TEST_F(Instruments, TheSongCallsInstrumentsThroughItsSources) {
    Addon* made = instrument_roster.Create("TestInstrument");
    auto* instrument = dynamic_cast<Instrument*>(made);
    ASSERT_NE(instrument, nullptr);
    EXPECT_STREQ(instrument->GetName(), "<unnamed>");
    song->instruments[4] = instrument;
    BMessage config;
    config.AddInt32("instrument", 4);
    Machine* source = Add("TestSource");
    source->Open(&config);
    song->Play();
    Steps(3);
    ASSERT_EQ(InstrumentCalls().size(), 5u);  // two steps rendered by Play, then three
    EXPECT_EQ(InstrumentCalls()[0].instrument, instrument);
    EXPECT_EQ(InstrumentCalls()[0].frames, 5512);
    EXPECT_EQ(InstrumentCalls()[0].time, 0.0f);
    EXPECT_EQ(InstrumentCalls()[4].time, 4.0f * 5512);

    // The preview is heard while the song is stopped, through the sound routine.
    song->Stop();
    InstrumentCalls().clear();
    instrument->PreviewPlayNote(64);
    std::vector<float> heard = PlayOutput(5000);
    ASSERT_GE(InstrumentCalls().size(), 2u);
    EXPECT_EQ(InstrumentCalls()[0].note, 64);
    EXPECT_EQ(InstrumentCalls()[0].time, 0.0f);
    EXPECT_EQ(InstrumentCalls()[1].time, float(InstrumentCalls()[0].frames));
    EXPECT_EQ(heard[0], 0.25f);
    EXPECT_EQ(heard[9999], 0.25f);

    song->instruments[4] = nullptr;
    InstrumentCalls().clear();
    heard = PlayOutput(100);
    EXPECT_TRUE(InstrumentCalls().empty());
    EXPECT_EQ(heard[0], 0.0f);
    instrument->PreviewPlayNote(70);  // no longer in the song: nothing happens
    PlayOutput(100);
    EXPECT_TRUE(InstrumentCalls().empty());
    delete instrument;
}
