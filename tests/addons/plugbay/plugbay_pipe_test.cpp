#include <cmath>

#include "tests/addons/plugbay/plugbay_fixture.h"
#include "tests/engine/addons/test_signal.h"
#include "tests/engine/allocation_counter.h"

namespace {

using PlugbayPipe = PlugbayTest;

TEST_F(PlugbayPipe, BypassAndMuteSkipEffectsAndTheRestRunInOrder) {
    MachinePlugbay* m = AddPlugbay();
    ListTestPlugins();
    EXPECT_STREQ(m->GetName(), "Plugbay plugins");
    EXPECT_TRUE(m->has_input && m->has_output);
    ASSERT_TRUE(Pipe(m).CreateEffect("GainPan"));
    ASSERT_TRUE(Pipe(m).CreateEffect("GainPan"));
    ASSERT_TRUE(Pipe(m).CreateEffect("MonoEffect"));
    Pipe(m).effects[0]->SetParamValue(1, 0.0f);  // hard left: the right side goes silent
    Pipe(m).effects[1]->SetParamValue(0, 0.25f);
    Pipe(m).effects[1]->mute = 1;

    Pipe(m).bypassall = 1;
    Fill(m, 100, 1.0f, 3.0f);
    m->Process();
    EXPECT_EQ(m->buffer_left[99], 1.0f);
    EXPECT_EQ(m->buffer_right[99], 3.0f);

    // Panned (1, 0), the halving skipped, then the mono plug-in triples the mix-down on both.
    Pipe(m).bypassall = 0;
    m->Process();
    EXPECT_FLOAT_EQ(m->buffer_left[99], 1.5f);
    EXPECT_FLOAT_EQ(m->buffer_right[99], 1.5f);
    EXPECT_FLOAT_EQ(m->buffer_left[0], 1.5f);
}

TEST_F(PlugbayPipe, RemovalMovesSlotsDownAndTheWorkBuffersFollowTheEffects) {
    MachinePlugbay* m = AddPlugbay();
    EXPECT_EQ(Pipe(m).workallocated, 0);
    ASSERT_TRUE(Pipe(m).CreateEffect("GainPan"));
    EXPECT_EQ(Pipe(m).workallocated, 1);
    Pipe(m).RemoveEffect(0);
    EXPECT_EQ(Pipe(m).workallocated, 0);
    EXPECT_EQ(Pipe(m).num_effects, 0);

    ASSERT_TRUE(Pipe(m).CreateEffect("GainPan"));
    ASSERT_TRUE(Pipe(m).CreateEffect("StereoEcho"));
    ASSERT_TRUE(Pipe(m).CreateEffect("LowPass"));
    EXPECT_EQ(Pipe(m).workallocated, 1);
    Effect* second = Pipe(m).effects[1];
    Pipe(m).RemoveEffect(3);
    Pipe(m).RemoveEffect(-1);
    EXPECT_EQ(Pipe(m).num_effects, 3);
    Pipe(m).RemoveEffect(0);
    EXPECT_EQ(Names(Pipe(m)), (std::vector<std::string>{"StereoEcho", "LowPass"}));
    EXPECT_EQ(Pipe(m).effects[0], second);
    EXPECT_EQ(Pipe(m).effects[2], nullptr);
    EXPECT_EQ(Pipe(m).workallocated, 1);
}

TEST_F(PlugbayPipe, SaveWritesTwoEffectsAndOpenReadsThemBack) {
    MachinePlugbay* m = AddPlugbay();
    ASSERT_TRUE(Pipe(m).CreateEffect("StereoEcho"));
    ASSERT_TRUE(Pipe(m).CreateEffect("GainPan"));
    Pipe(m).effects[0]->SetParamValue(1, 0.75f);
    Pipe(m).effects[1]->mute = 1;
    Pipe(m).bypassall = 1;
    BMessage saved;
    m->Save(&saved);

    std::vector<std::string> keys;
    for (int32 i = 0; i < saved.CountNames(); i++) {
        const char* key = nullptr;
        type_code type = 0;
        int32 count = 0;
        ASSERT_EQ(saved.GetInfo(B_ANY_TYPE, i, &key, &type, &count), B_OK);
        if (std::string(key).starts_with("Machine::")) continue;
        keys.push_back(key + std::string("x") + std::to_string(count));
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"bypassallx1", "num_effectsx1", "effectnamex2",
                                              "effectx2"}));
    int32 value = 0;
    EXPECT_EQ(saved.FindInt32("num_effects", &value), B_OK);
    EXPECT_EQ(value, 2);
    const char* name = nullptr;
    ASSERT_EQ(saved.FindString("effectname", 1, &name), B_OK);
    EXPECT_STREQ(name, "GainPan");
    BMessage echo;
    ASSERT_EQ(saved.FindMessage("effect", 0, &echo), B_OK);
    std::vector<float> parameters;
    float p = 0.0f;
    for (int32 i = 0; echo.FindFloat("parameter", i, &p) == B_OK; i++) parameters.push_back(p);
    EXPECT_EQ(parameters, (std::vector<float>{0.25f, 0.75f, 0.5f}));
    EXPECT_EQ(echo.FindInt32("mute", &value), B_OK);
    EXPECT_EQ(value, 0);

    MachinePlugbay* copy = AddPlugbay();
    copy->Open(&saved);
    EXPECT_EQ(Pipe(copy).bypassall, 1);
    EXPECT_EQ(Names(Pipe(copy)), (std::vector<std::string>{"StereoEcho", "GainPan"}));
    EXPECT_EQ(Pipe(copy).effects[0]->GetParamValue(1), 0.75f);
    EXPECT_EQ(Pipe(copy).effects[1]->mute, 1);
    EXPECT_EQ(Pipe(copy).workallocated, 1);
    BMessage again;
    Pipe(copy).Save(&again);
    BMessage pipeOnly;
    Pipe(m).Save(&pipeOnly);
    EXPECT_TRUE(again == pipeOnly);

    // Opened again in place, the pipe keeps the plug-ins the record names again, in the
    // record's order and with its values, and makes only the new one.
    Effect* echoKept = Pipe(copy).effects[0];
    Effect* gainKept = Pipe(copy).effects[1];
    Pipe(m).RemoveEffect(0);
    ASSERT_TRUE(Pipe(m).CreateEffect("LowPass"));
    ASSERT_TRUE(Pipe(m).CreateEffect("StereoEcho"));
    Pipe(m).effects[2]->SetParamValue(0, 0.5f);
    BMessage reordered;
    Pipe(m).Save(&reordered);
    Pipe(copy).Open(&reordered);
    EXPECT_EQ(Names(Pipe(copy)), (std::vector<std::string>{"GainPan", "LowPass", "StereoEcho"}));
    EXPECT_EQ(Pipe(copy).effects[0], gainKept);
    EXPECT_EQ(Pipe(copy).effects[2], echoKept);
    BMessage reopened;
    Pipe(copy).Save(&reopened);
    EXPECT_TRUE(reopened == reordered);
    BMessage empty;
    Pipe(copy).Open(&empty);
    EXPECT_EQ(Pipe(copy).num_effects, 0);
    EXPECT_EQ(Pipe(copy).workallocated, 0);
}

TEST_F(PlugbayPipe, OpenSkipsUnknownNamesAndKeepsMissingParametersAtThePluginsOwn) {
    BMessage record;
    record.AddInt32("num_effects", 3);
    record.AddString("effectname", "NoSuchEffect");
    record.AddString("effectname", "StereoEcho");
    record.AddString("effectname", "GainPan");
    BMessage unknown;
    unknown.AddInt32("mute", 0);
    unknown.AddFloat("parameter", 0.9f);
    BMessage echo;
    echo.AddInt32("mute", 1);
    echo.AddFloat("parameter", 0.125f);  // one value of three
    BMessage gain;
    gain.AddFloat("parameter", 5.0f);  // beyond the range a plug-in is promised
    gain.AddFloat("parameter", std::nanf(""));
    record.AddMessage("effect", &unknown);
    record.AddMessage("effect", &echo);
    record.AddMessage("effect", &gain);

    MachinePlugbay* m = AddPlugbay();
    m->Open(&record);
    EXPECT_EQ(Pipe(m).bypassall, 0);
    ASSERT_EQ(Names(Pipe(m)), (std::vector<std::string>{"StereoEcho", "GainPan"}));
    Effect* e = Pipe(m).effects[0];
    EXPECT_EQ(e->mute, 1);
    EXPECT_EQ(e->GetParamValue(0), 0.125f);
    EXPECT_EQ(e->GetParamValue(1), 0.4f);
    EXPECT_EQ(e->GetParamValue(2), 0.5f);
    EXPECT_EQ(Pipe(m).effects[1]->mute, 0);
    EXPECT_EQ(Pipe(m).effects[1]->GetParamValue(0), 1.0f);
    EXPECT_EQ(Pipe(m).effects[1]->GetParamValue(1), 0.5f);
}

TEST_F(PlugbayPipe, TheSeventeenthEffectIsRefused) {
    MachinePlugbay* m = AddPlugbay();
    for (int i = 0; i < EffectPipe::kMaxEffects; i++) ASSERT_TRUE(Pipe(m).CreateEffect("GainPan"));
    EXPECT_FALSE(Pipe(m).CreateEffect("GainPan"));
    EXPECT_FALSE(Pipe(m).CreateEffect("NoSuchEffect"));
    EXPECT_EQ(Pipe(m).num_effects, 16);

    BMessage record;
    record.AddInt32("num_effects", 17);
    for (int i = 0; i < 16; i++) record.AddString("effectname", "GainPan");
    record.AddString("effectname", "LowPass");
    Pipe(m).Open(&record);  // a full pipe takes nothing more
    EXPECT_EQ(Pipe(m).num_effects, 16);
    MachinePlugbay* copy = AddPlugbay();
    Pipe(copy).Open(&record);
    EXPECT_EQ(Pipe(copy).num_effects, 16);
    EXPECT_EQ(Names(Pipe(copy)).back(), "GainPan");
}

TEST_F(PlugbayPipe, ASecondMachineDoesNotScanAgain) {
    MachinePlugbay* first = AddPlugbay();
    ASSERT_TRUE(Pipe(first).CreateEffect("LowPass"));
    EffectRoster& roster = Effects();
    int index = roster.Find("LowPass");
    ASSERT_GE(index, 0);
    SharedObject* loaded = roster.objects[index];
    ASSERT_NE(loaded, nullptr);
    int32 count = roster.count;
    AddPlugbay();
    EXPECT_EQ(roster.objects[index], loaded);  // a scan would have forgotten the library
    EXPECT_EQ(roster.count, count);
    for (const char* name : {"GainPan", "StereoEcho", "LowPass"}) EXPECT_GE(roster.Find(name), 0);
}

TEST_F(PlugbayPipe, TheSendPathAddsTheEffectsOutputToTheDestination) {
    MachinePlugbay* m = AddPlugbay();
    std::vector<float> left(64, 1.0f), right(64, 2.0f);
    Pipe(m).UpdateBuffers(left.data(), right.data(), 64);
    EXPECT_EQ(Pipe(m).work[0], left.data());  // no effects: nothing to run
    Pipe(m).Process();
    EXPECT_EQ(left[0], 1.0f);

    ASSERT_TRUE(Pipe(m).CreateEffect("GainPan"));
    Pipe(m).effects[0]->SetParamValue(0, 0.25f);
    Pipe(m).UpdateBuffers(left.data(), right.data(), 1000000);
    EXPECT_EQ(Pipe(m).frames, Machine::kBufferFrames);
    Pipe(m).UpdateBuffers(left.data(), right.data(), 64);
    EXPECT_EQ(Pipe(m).work[0][0], 0.0f);
    std::fill(Pipe(m).work[0], Pipe(m).work[0] + 64, 4.0f);
    Pipe(m).Process();
    EXPECT_EQ(left[63], 3.0f);
    EXPECT_EQ(right[63], 2.0f);
}

TEST_F(PlugbayPipe, ThreePluginsPlayThroughTheGraphWithoutAllocating) {
    Machine* source = Add("TestSource");
    MachinePlugbay* m = AddPlugbay();
    source->Connect(m->ID);
    m->Connect(0);
    for (const char* name : {"GainPan", "StereoEcho", "LowPass"}) {
        ASSERT_TRUE(Pipe(m).CreateEffect(name));
    }
    Pipe(m).effects[0]->SetParamValue(0, 0.25f);
    Pipe(m).effects[1]->mute = 1;
    Pipe(m).effects[2]->mute = 1;
    SourceSteps().reserve(64);
    song->Play();
    Steps(1);
    Pipe(m).effects[2]->mute = 0;
    Pipe(m).effects[2]->SetParamValue(0, 1.0f);  // cutoff beyond the tone: a touch of colour
    Pipe(m).effects[1]->mute = 0;
    AllocationCounter counter;
    Steps(8);
    EXPECT_EQ(counter.Count(), 0u);
    Pipe(m).effects[1]->mute = 1;
    Pipe(m).effects[2]->mute = 1;
    Steps(1);
    const SourceStep& last = SourceSteps().back();
    EXPECT_FLOAT_EQ(m->buffer_left[10], 0.5f * TestSignal(last.position, last.step, 10));
    EXPECT_FLOAT_EQ(m->buffer_right[10], -0.5f * TestSignal(last.position, last.step, 10));
}

}  // namespace
