#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/player.h"
#include "tests/addons/controllers/saved_settings.h"
#include "tests/engine/engine_environment.h"

namespace {

class ControllerSteps : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        source = Add("TestSource");
        source->Connect(0);
    }

    Machine* AddRepeat(int32 rep1, int32 rep2, int32 reptimes) {
        Machine* repeat = Add("Repeat");
        Configure(repeat, {{"rep1", rep1}, {"rep2", rep2}, {"reptimes", reptimes}});
        return repeat;
    }

    Machine* AddTempo(int32 pos, int32 tempo) {
        Machine* machine = Add("Tempo");
        Configure(machine, {{"pos", pos}, {"tempo", tempo}});
        return machine;
    }

    // Plays the song from the start for steps steps; the position of each step.
    std::vector<int32> Play(int steps) {
        song->Play();
        Steps(steps - 2);  // Play rendered the first two
        std::vector<int32> positions;
        for (const SourceStep& s : SourceSteps())
            if (s.id == source->ID) positions.push_back(s.position);
        return positions;
    }

    // The frames the source was asked for in each step at a position.
    std::vector<int32> FramesAt(int32 position) {
        std::vector<int32> frames;
        for (const SourceStep& s : SourceSteps())
            if (s.id == source->ID && s.position == position) frames.push_back(s.frames);
        return frames;
    }

    Machine* source = nullptr;
};

// Each position of a measure, four steps each at tempo 120.
std::vector<int32> Measures(std::initializer_list<int32> positions) {
    std::vector<int32> steps;
    for (int32 p : positions) steps.insert(steps.end(), 4, p);
    return steps;
}

constexpr int32 kFrames120 = 44100 * 60 / 120 / 4;
constexpr int32 kFrames140 = int32(44100.0 / (140 / 60.0)) / 4;
constexpr int32 kFrames150 = int32(44100.0 / (150 / 60.0)) / 4;

}  // namespace

TEST_F(ControllerSteps, ASpanPlaysItsNumberOfPassesThenPlaybackGoesOn) {
    AddRepeat(4, 8, 2);
    EXPECT_EQ(Play(56), Measures({0, 1, 2, 3, 4, 5, 6, 7, 4, 5, 6, 7, 8, 9}));
}

TEST_F(ControllerSteps, OnePassOrFewerNeverJumpsBack) {
    AddRepeat(0, 2, 1);
    AddRepeat(2, 3, -7);
    EXPECT_EQ(Play(20), Measures({0, 1, 2, 3, 4}));
}

TEST_F(ControllerSteps, TheDefaultsReturnNineHundredAndNinetyEightTimesThenGoOn) {
    Machine* repeat = Add("Repeat");
    EXPECT_EQ(repeat->GetName(), std::string("Repeat"));
    EXPECT_EQ(Saved(repeat, "rep1"), 0);
    EXPECT_EQ(Saved(repeat, "rep2"), 16);
    EXPECT_EQ(Saved(repeat, "reptimes"), 999);
    int jumps = 0;
    for (int arrival = 1; arrival <= 999; arrival++) {
        song->next_position = 16;
        repeat->Process();
        jumps += song->next_position == 0;
    }
    EXPECT_EQ(jumps, 998);
    EXPECT_EQ(song->next_position, 16);
    song->next_position = 16;  // the count went back to 0: a new run of passes
    repeat->Process();
    EXPECT_EQ(song->next_position, 0);
}

TEST_F(ControllerSteps, ComingBackFromBeforeTheSpanStartsThePassesAgain) {
    Machine* repeat = AddRepeat(4, 8, 3);
    song->next_position = 8;
    repeat->Process();
    EXPECT_EQ(song->next_position, 4);
    song->next_position = 3;  // playback left the span backwards
    repeat->Process();
    for (int pass = 0; pass < 2; pass++) {
        song->next_position = 8;
        repeat->Process();
        EXPECT_EQ(song->next_position, 4) << pass;
    }
    song->next_position = 8;
    repeat->Process();
    EXPECT_EQ(song->next_position, 8);
}

TEST_F(ControllerSteps, TheTempoChangesWhereTheNextPositionIsItsPosition) {
    AddTempo(4, 140);
    Play(24);
    EXPECT_EQ(song->tempo, 140);
    EXPECT_EQ(FramesAt(2), std::vector<int32>(4, kFrames120));
    EXPECT_EQ(FramesAt(4), std::vector<int32>(4, kFrames140));
    EXPECT_EQ(FramesAt(5), std::vector<int32>(4, kFrames140));
}

TEST_F(ControllerSteps, OfTwoTempoMachinesAtOnePositionTheLaterWins) {
    AddTempo(2, 100);
    AddTempo(2, 200);
    AddTempo(7, 90);  // never reached
    Play(16);
    EXPECT_EQ(song->tempo, 200);
    EXPECT_EQ(STEPS_PER_MEASURE, 2);
}

TEST_F(ControllerSteps, ARepeatBeforeATempoChangesThePositionTheTempoSees) {
    AddRepeat(0, 2, 2);
    AddTempo(2, 150);
    std::vector<int32> positions = Play(18);
    EXPECT_EQ(std::vector<int32>(positions.begin(), positions.begin() + 16),
              Measures({0, 1, 0, 1}));
    EXPECT_EQ(FramesAt(1), std::vector<int32>(8, kFrames120)) << "no tempo on the jump back";
    EXPECT_EQ(FramesAt(2), std::vector<int32>(2, kFrames150));
    EXPECT_EQ(song->tempo, 150);
}

TEST_F(ControllerSteps, ASavedSongBringsBackBothControllersSettings) {
    AddRepeat(3, 9, 4);
    AddTempo(6, 177);
    char path[] = "/tmp/velloran-controllers-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(song->Save(path), 1);
    song->New();
    ASSERT_EQ(song->Open(path), 1);
    std::remove(path);
    Machine* repeat = nullptr;
    Machine* tempo = nullptr;
    for (int32 i = 0; i < song->num_machines; i++) {
        Machine* m = song->machines[i];
        if (m->addon_name == "Repeat") repeat = m;
        if (m->addon_name == "Tempo") tempo = m;
    }
    ASSERT_NE(repeat, nullptr);
    ASSERT_NE(tempo, nullptr);
    EXPECT_EQ(Saved(repeat, "rep1"), 3);
    EXPECT_EQ(Saved(repeat, "rep2"), 9);
    EXPECT_EQ(Saved(repeat, "reptimes"), 4);
    EXPECT_EQ(Saved(tempo, "pos"), 6);
    EXPECT_EQ(Saved(tempo, "tempo"), 177);
    EXPECT_NE(repeat->view, nullptr);
    EXPECT_NE(tempo->view, nullptr);

    BMessage saved;
    repeat->Save(&saved);
    const char* key = nullptr;
    type_code type;
    std::vector<std::string> keys;
    for (int32 i = 0; i < 4 && saved.GetInfo(B_ANY_TYPE, i, &key, &type) == B_OK; i++)
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"rep1", "rep2", "reptimes", "Machine::position"}));
    // Missing keys keep what the machine had.
    BMessage partial;
    partial.AddPoint("Machine::position", BPoint(1, 1));
    partial.AddInt32("tempo", 500);  // held to the song's range
    tempo->Open(&partial);
    EXPECT_EQ(Saved(tempo, "pos"), 6);
    EXPECT_EQ(Saved(tempo, "tempo"), Song::kMaxTempo);
}
