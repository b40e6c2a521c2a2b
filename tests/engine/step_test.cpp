#include "engine/player.h"
#include "engine/song.h"
#include "tests/engine/allocation_counter.h"
#include "tests/engine/engine_environment.h"

namespace {

using Step = EngineTest;

}  // namespace

TEST_F(Step, AStepAllocatesNothing) {
    for (int i = 0; i < 8; i++) {
        Machine* source = Add("TestSource");
        Machine* effect = Add("TestEffect");
        source->Connect(effect->ID);
        effect->Connect(0);
    }
    BMessage config;
    config.AddInt32("tempo_at", 2);
    config.AddInt32("tempo", 200);
    Add("TestController")->Open(&config);
    ControllerCalls().reserve(64);
    SourceSteps().reserve(1024);
    song->loop = 1;
    song->stop_pos = 3;
    song->Play();
    Steps(1);
    {
        AllocationCounter check;
        ::operator delete(::operator new(16));
        ASSERT_EQ(check.Count(), 1u);
    }
    AllocationCounter counter;
    Steps(40);  // through the sound routine, controller calls, a tempo change and loop jumps
    EXPECT_EQ(counter.Count(), 0u);
    EXPECT_EQ(STEPS_PER_MEASURE, 2);
    EXPECT_GT(ControllerCalls().size(), 10u);
}
