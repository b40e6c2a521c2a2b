#include "engine/machine.h"

#include <algorithm>
#include <cmath>

#include "engine/player.h"
#include "tests/engine/addons/test_signal.h"
#include "tests/engine/engine_environment.h"

namespace {

using MachineGraph = EngineTest;

// What the master wrote for the last step rendered.
float MasterLeft(int32 frame) {
    return bigbuf1[EngineTest::LastHalf()][frame];
}
float MasterRight(int32 frame) {
    return bigbuf2[EngineTest::LastHalf()][frame];
}

}  // namespace

TEST_F(MachineGraph, FreshMachinesSitOnTheMapByTheirId) {
    Machine* master = song->machines[0];
    EXPECT_EQ(master->position, BPoint(210, 260));
    EXPECT_STREQ(master->GetName(), "Master");
    EXPECT_EQ(master->addon_name, "Master");
    EXPECT_TRUE(master->has_input);
    EXPECT_FALSE(master->has_output);
    Machine* first = Add("TestSource");
    EXPECT_EQ(first->ID, 1);
    EXPECT_EQ(first->position, BPoint(10, 10));
    EXPECT_EQ(first->addon_name, "TestSource");
    for (int i = 2; i <= 7; i++) Add("TestSource");
    EXPECT_EQ(song->machines[7]->position, BPoint(110, 50));
    EXPECT_EQ(song->machines[7]->view_height, 16);
}

TEST_F(MachineGraph, ConnectRefusesSelfMissingPortsAndLoops) {
    Machine* a = Add("TestEffect");
    Machine* b = Add("TestEffect");
    Machine* c = Add("TestEffect");
    Machine* controller = Add("TestController");
    EXPECT_EQ(a->Connect(a->ID), 0);
    EXPECT_TRUE(ShownErrors().empty());
    EXPECT_EQ(song->machines[0]->Connect(a->ID), 0);
    EXPECT_EQ(a->Connect(controller->ID), 0);
    EXPECT_EQ(a->Connect(99), 0);
    ASSERT_EQ(a->Connect(b->ID), 1);
    ASSERT_EQ(b->Connect(c->ID), 1);
    EXPECT_EQ(c->Connect(a->ID), 0);
    EXPECT_EQ(a->Connect(c->ID), 1);  // two paths to one machine are no loop
    ASSERT_EQ(ShownErrors().size(), 3u);
    EXPECT_EQ(ShownErrors()[0], "Master has no Output!");
    EXPECT_EQ(ShownErrors()[1], "Test controller has no Input!");
    EXPECT_EQ(ShownErrors()[2],
              "Eternal loop error encountered!\nCircular connections cant be solved!");
    EXPECT_EQ(a->num_out_machines, 2);
    EXPECT_EQ(c->num_in_machines, 2);
    EXPECT_EQ(c->in_machine[1], a->ID);
    EXPECT_EQ(c->in_vol_left[1], 1.0f);
}

TEST_F(MachineGraph, AFullSideRefusesTheFiftyFirstConnection) {
    Machine* source = Add("TestSource");
    Machine* effect = Add("TestEffect");
    for (int i = 0; i < Machine::kMaxConnections; i++) ASSERT_EQ(source->Connect(effect->ID), 1);
    EXPECT_EQ(source->Connect(0), 0);
    ASSERT_EQ(ShownErrors().size(), 1u);
    EXPECT_EQ(ShownErrors()[0], "Test source already has 50 connections!");
    source->Disconnect(effect->ID);
    EXPECT_EQ(source->num_out_machines, 0);
    EXPECT_EQ(effect->num_in_machines, 0);
}

TEST_F(MachineGraph, DisconnectRemovesParallelConnectionsAndKeepsOrder) {
    Machine* a = Add("TestSource");
    Machine* b = Add("TestSource");
    Machine* fx = Add("TestEffect");
    a->Connect(fx->ID);
    b->Connect(fx->ID);
    a->Connect(fx->ID);
    fx->in_vol_left[1] = 0.5f;
    a->Disconnect(fx->ID);
    EXPECT_EQ(a->num_out_machines, 0);
    ASSERT_EQ(fx->num_in_machines, 1);
    EXPECT_EQ(fx->in_machine[0], b->ID);
    EXPECT_EQ(fx->in_vol_left[0], 0.5f);
    a->Disconnect(fx->ID);  // nothing left to remove, nothing reported
    EXPECT_TRUE(ShownErrors().empty());
}

TEST_F(MachineGraph, StepMixesInputsWithTheirVolumesAndRunsSharedSourcesOnce) {
    Machine* src = Add("TestSource");
    Machine* fx1 = Add("TestEffect");
    Machine* fx2 = Add("TestEffect");
    src->Connect(fx1->ID);
    src->Connect(fx2->ID);
    fx1->Connect(0);
    fx2->Connect(0);
    song->machines[0]->in_vol_left[1] = 0.5f;
    song->Play();  // renders steps 0 and 1
    // left: 2s + 0.5 * 2s; right: 0.5 * -s + 0.5 * -s
    float s = TestSignal(0, 1, 100);
    EXPECT_FLOAT_EQ(MasterLeft(100), 3.0f * s);
    EXPECT_FLOAT_EQ(MasterRight(100), -s);
    EXPECT_EQ(src->processed, 1);
    EXPECT_EQ(SourceSteps().size(), 2u);
}

TEST_F(MachineGraph, MutedSourcesAreSkippedAndSoloSilencesOtherSources) {
    Machine* a = Add("TestSource");
    Machine* b = Add("TestSource");
    a->Connect(0);
    b->Connect(0);
    a->mute = 1;
    a->buffer_left[5] = 123.0f;
    song->Play();
    EXPECT_EQ(a->buffer_left[5], 123.0f);  // untouched
    EXPECT_EQ(a->processed, 0);
    EXPECT_FLOAT_EQ(MasterLeft(5), TestSignal(0, 1, 5));

    a->mute = 0;
    song->solo = 1;
    song->solo_machine = b->ID;
    Steps(1);
    EXPECT_EQ(a->processed, 0);
    EXPECT_EQ(b->processed, 1);
    EXPECT_EQ(song->machines[0]->processed, 1);
    EXPECT_FLOAT_EQ(MasterLeft(5), TestSignal(0, 2, 5));
}

TEST_F(MachineGraph, AMutedMasterPlaysSilence) {
    Add("TestSource")->Connect(0);
    song->Play();
    EXPECT_NE(MasterLeft(7), 0.0f);
    song->machines[0]->mute = 1;
    Steps(2);
    EXPECT_EQ(MasterLeft(7), 0.0f);
    // And what the sound routine then plays is silence too.
    std::vector<float> heard = PlayOutput(2 * 5512);
    EXPECT_EQ(*std::max_element(heard.begin(), heard.end()), 0.0f);
    EXPECT_EQ(*std::min_element(heard.begin(), heard.end()), 0.0f);
}

TEST_F(MachineGraph, SaveWritesTheBaseKeysInOrderAndOpenRestoresThem) {
    Machine* a = Add("TestSource");
    Machine* fx = Add("TestEffect");
    a->Connect(fx->ID);
    fx->Connect(0);
    fx->in_vol_right[0] = 0.25f;
    fx->mute = 1;
    fx->SetName("Echo");
    BMessage saved;
    fx->Save(&saved);
    const char* expected[] = {"Machine::position",
                              "Machine::name",
                              "Machine::ID",
                              "Machine::mute",
                              "Machine::num_in_machines",
                              "Machine::in_machine",
                              "Machine::in_vol_left",
                              "Machine::in_vol_right",
                              "Machine::num_out_machines",
                              "Machine::out_machine"};
    ASSERT_EQ(saved.CountNames(), 10);
    for (int32 i = 0; i < 10; i++) {
        const char* name;
        ASSERT_EQ(saved.GetInfo(B_ANY_TYPE, i, &name, nullptr), B_OK);
        EXPECT_STREQ(name, expected[i]);
    }
    Machine* copy = Add("TestEffect");
    copy->Open(&saved);
    EXPECT_EQ(copy->GetName(), std::string("Echo"));
    EXPECT_EQ(copy->mute, 1);
    EXPECT_EQ(copy->num_in_machines, 1);
    EXPECT_EQ(copy->in_vol_right[0], 0.25f);
    EXPECT_EQ(copy->in_vol_left[0], 1.0f);
    EXPECT_EQ(copy->out_machine[0], 0);
}

// A connection volume that is not a number would make the whole mix NaN: it opens as the
// default, full volume.
TEST_F(MachineGraph, VolumesThatAreNotFiniteOpenAtFullVolume) {
    Machine* src = Add("TestSource");
    src->Connect(0);
    BMessage hostile;
    hostile.AddPoint("Machine::position", BPoint(10, 10));
    hostile.AddInt32("Machine::num_in_machines", 1);
    hostile.AddInt32("Machine::in_machine", src->ID);
    hostile.AddFloat("Machine::in_vol_left", NAN);
    hostile.AddFloat("Machine::in_vol_right", -INFINITY);
    hostile.AddInt32("Machine::num_out_machines", 0);
    Machine* master = song->machines[0];
    master->Open(&hostile);
    EXPECT_EQ(master->in_vol_left[0], 1.0f);
    EXPECT_EQ(master->in_vol_right[0], 1.0f);
    song->Play();
    EXPECT_FLOAT_EQ(MasterLeft(100), TestSignal(0, 1, 100));
    EXPECT_TRUE(std::isfinite(MasterRight(100)));
}

TEST_F(MachineGraph, OpenWithoutBaseKeysFeedsTheMaster) {
    Machine* src = Add("TestSource");
    BMessage old;
    old.AddInt32("instrument", 3);
    src->Open(&old);
    ASSERT_EQ(src->num_out_machines, 1);
    EXPECT_EQ(src->out_machine[0], 0);
    EXPECT_EQ(song->machines[0]->in_machine[0], src->ID);
}

TEST_F(MachineGraph, DestroyingAMachineRemovesItsConnectionsFromBothEnds) {
    Machine* a = Add("TestSource");
    Machine* fx = Add("TestEffect");
    a->Connect(fx->ID);
    fx->Connect(0);
    song->RemoveMachine(fx->ID);
    EXPECT_EQ(a->num_out_machines, 0);
    EXPECT_EQ(song->machines[0]->num_in_machines, 0);
    EXPECT_EQ(CheckForLoopErrors(a, a), 1);
    EXPECT_EQ(CheckForLoopErrors(a, song->machines[0]), 0);
}

// Lists read from a file may hold a loop the new connection does not close: the check ends.
TEST_F(MachineGraph, TheLoopCheckEndsOnALoopItIsNotPartOf) {
    Machine* a = Add("TestSource");
    Machine* fx = Add("TestEffect");
    Machine* master = song->machines[0];
    master->out_machine[master->num_out_machines++] = fx->ID;
    fx->out_machine[fx->num_out_machines++] = 0;
    EXPECT_EQ(CheckForLoopErrors(a, master), 0);
    EXPECT_EQ(CheckForLoopErrors(fx, master), 1);
    EXPECT_EQ(a->Connect(0), 1);
    master->num_out_machines = 0;
    fx->num_out_machines = 0;
}
