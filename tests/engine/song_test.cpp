#include "engine/song.h"

#include "engine/player.h"
#include "tests/engine/engine_environment.h"

namespace {

struct Position {
    int32 position;
    int32 step;
    bool operator==(const Position&) const = default;
};

class SongSteps : public EngineTest {
  protected:
    // The position and step of every step the test source rendered.
    std::vector<Position> Rendered() {
        std::vector<Position> seen;
        for (const SourceStep& s : SourceSteps()) seen.push_back({s.position, s.step});
        return seen;
    }
};

}  // namespace

TEST_F(SongSteps, FourStepsAMeasureAndControllersOnTheLastOne) {
    Machine* controller = Add("TestController");
    Add("TestSource")->Connect(0);
    song->Play();
    EXPECT_EQ(STEPS_PER_MEASURE, 4);
    Steps(6);
    ASSERT_EQ(Rendered(), (std::vector<Position>{
                              {0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 1}, {1, 2}, {1, 3}}));
    ASSERT_EQ(ControllerCalls().size(), 2u);
    EXPECT_EQ(ControllerCalls()[0].id, controller->ID);
    EXPECT_EQ(ControllerCalls()[0].step, 3);
    EXPECT_EQ(ControllerCalls()[0].next_position, 1);
    EXPECT_EQ(ControllerCalls()[1].next_position, 2);
    EXPECT_EQ(song->position, 2);

    controller->mute = 1;
    Steps(4);
    EXPECT_EQ(ControllerCalls().size(), 2u);
}

TEST_F(SongSteps, LoopPlaysFromStartToBeforeStop) {
    Add("TestSource")->Connect(0);
    song->loop = 1;
    song->start_pos = 2;
    song->stop_pos = 4;
    song->Play();
    Steps(14);
    std::vector<int32> measures;
    for (const Position& p : Rendered()) {
        if (p.step == 0) measures.push_back(p.position);
    }
    EXPECT_EQ(measures, (std::vector<int32>{2, 3, 2, 3}));
}

TEST_F(SongSteps, ControllerJumpIsLoopedBackWhenItLandsOnStop) {
    BMessage config;
    config.AddInt32("jump_at", 1);
    config.AddInt32("jump_to", 10);
    Add("TestController")->Open(&config);
    song->loop = 1;
    song->start_pos = 0;
    song->stop_pos = 10;
    song->Play();
    Steps(2);
    EXPECT_EQ(song->position, 0);
    // Without the loop the jump goes through.
    song->loop = 0;
    Steps(4);
    EXPECT_EQ(song->position, 10);
}

TEST_F(SongSteps, ATempoChangeStartsWithTheMeasureItNames) {
    const struct {
        int32 tempo;
        int32 frames;
        int32 steps;
    } cases[] = {{160, 4134, 4}, {161, 8217, 2}, {40, 16537, 4}, {200, 6615, 2}, {125, 5292, 4}};
    for (const auto& c : cases) {
        song->New();
        SourceSteps().clear();
        BMessage config;
        config.AddInt32("tempo_at", 1);
        config.AddInt32("tempo", c.tempo);
        Add("TestController")->Open(&config);
        Add("TestSource")->Connect(0);
        song->Play();
        Steps(2);  // the measure's last step: the controller changes the tempo
        EXPECT_EQ(song->tempo, c.tempo);
        EXPECT_EQ(STEPS_PER_MEASURE, c.steps) << c.tempo;
        // That step keeps its old length, rendered and played.
        EXPECT_EQ(SourceSteps().back().frames, 5512);
        EXPECT_EQ(bigbuflen[LastHalf()], 5512) << c.tempo;
        Steps(1);
        EXPECT_EQ(SourceSteps().back().frames, c.frames) << c.tempo;
        EXPECT_EQ(bigbuflen[LastHalf()], c.frames) << c.tempo;
        EXPECT_EQ(SourceSteps().back().position, 1);
        EXPECT_EQ(SourceSteps().back().step, 0);
    }
}

TEST_F(SongSteps, TwoStepsAMeasureAboveTempo160) {
    Add("TestSource")->Connect(0);
    song->main_tempo = 200;
    song->Play();
    EXPECT_EQ(STEPS_PER_MEASURE, 2);
    Steps(2);
    EXPECT_EQ(Rendered(), (std::vector<Position>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
    EXPECT_EQ(SourceSteps()[0].frames, 6615);
}

TEST_F(SongSteps, RemovingAMachineRenumbersConnectionsAndSolo) {
    Machine* m[5];
    m[0] = song->machines[0];
    for (int i = 1; i < 5; i++) m[i] = Add(i == 1 ? "TestSource" : "TestEffect");
    m[1]->Connect(3);
    m[3]->Connect(4);
    m[4]->Connect(0);
    m[1]->Connect(2);
    song->solo_machine = 4;
    song->RemoveMachine(2);
    ASSERT_EQ(song->num_machines, 4);
    EXPECT_EQ(song->machines[2], m[3]);
    EXPECT_EQ(m[3]->ID, 2);
    EXPECT_EQ(m[4]->ID, 3);
    ASSERT_EQ(m[1]->num_out_machines, 1);
    EXPECT_EQ(m[1]->out_machine[0], 2);
    EXPECT_EQ(m[3]->in_machine[0], 1);
    EXPECT_EQ(m[3]->out_machine[0], 3);
    EXPECT_EQ(m[4]->in_machine[0], 2);
    EXPECT_EQ(song->machines[0]->in_machine[0], 3);
    EXPECT_EQ(song->solo_machine, 3);
    song->RemoveMachine(3);
    EXPECT_EQ(song->solo_machine, 0);
    song->RemoveMachine(17);
    EXPECT_EQ(song->num_machines, 3);
}

TEST_F(SongSteps, AddMachineRefusesUnknownNamesAndAFullTable) {
    EXPECT_EQ(song->AddMachine("NoSuchMachine"), -1);
    EXPECT_EQ(song->AddMachine("NotALibrary"), -1);
    EXPECT_EQ(song->AddMachine("testsource"), -1);
    EXPECT_EQ(song->AddMachine("TestInstrument"), -1);
    EXPECT_EQ(song->num_machines, 1);
    for (int i = 1; i < Song::kMachineSlots; i++) ASSERT_EQ(song->AddMachine("TestSource"), i);
    EXPECT_EQ(song->AddMachine("TestSource"), -1);
    EXPECT_EQ(song->num_machines, Song::kMachineSlots);
}

TEST_F(SongSteps, PlayStartsAtTheLoopStartWithTheSongTempo) {
    song->loop = 1;
    song->start_pos = 5;
    song->main_tempo = 90;
    Add("TestSource")->Connect(0);
    song->Play();
    ASSERT_FALSE(SourceSteps().empty());
    EXPECT_EQ(SourceSteps()[0].position, 5);
    EXPECT_EQ(song->tempo, 90);
    EXPECT_EQ(song->is_playing, 1);
    EXPECT_EQ(playing, 1);
    Steps(2);
    song->Stop();
    EXPECT_EQ(song->is_playing, 0);
    EXPECT_EQ(playing, 0);
    EXPECT_EQ(song->step, 0);
    EXPECT_EQ(song->position, 6);
    song->New();
    EXPECT_EQ(song->num_machines, 1);
    EXPECT_EQ(song->loop, 0);
    EXPECT_EQ(song->title, "Unnamed");
}
