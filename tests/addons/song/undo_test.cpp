// Undo and redo over the demo song with the shipped add-ons: every kind of edit goes back to
// the very bytes the song saved before it, and forth again, touching only what differs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Midi/instrument_midi.h"
#include "addons/Plugbay/effect_window.h"
#include "addons/Plugbay/machine_plugbay.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "engine/undo_history.h"
#include "tests/engine/engine_environment.h"

namespace {

class UndoTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_EQ(song->Open(DEMO_SONG), 1);
        history = std::make_unique<UndoHistory>(*song);
        saved.push_back(song->FileBytes());
    }

    // Commits the edit just made, which the menu then names as expected.
    void Committed(const std::string& name) {
        ASSERT_TRUE(history->Commit()) << name;
        EXPECT_EQ(history->UndoName(), name);
        saved.push_back(song->FileBytes());
    }

    template <typename T>
    T* First() {
        for (int32 i = 0; i < song->num_machines; i++)
            if (auto* found = dynamic_cast<T*>(song->machines[i])) return found;
        return nullptr;
    }

    std::unique_ptr<UndoHistory> history;
    std::vector<std::vector<char>> saved;
};

TEST_F(UndoTest, EveryKindOfEditGoesBackAndForthToTheSameBytes) {
    EXPECT_FALSE(history->Commit());
    const int added = song->AddMachine("Gridloom");
    ASSERT_GT(added, 0);
    Committed("Add Gridloom");
    song->machines[added]->Connect(0);
    Committed("Changes to 2 Machines");
    auto* tracker = First<PatternTracker>();
    ASSERT_NE(tracker, nullptr);
    tracker->tracks[0]->pages[0].setnote(3, 77);
    tracker->tracks[0]->pages[0].setstatus(3, 1);
    Committed(std::string("Changes to ") + tracker->GetName());
    song->machines[2]->SetName("Low End");
    song->machines[2]->mute = 1;
    Committed("Changes to Low End");
    song->main_tempo = 150;
    Committed("Tempo");
    song->loop = 1;
    song->stop_pos = 8;
    Committed("Loop");
    auto* midi = dynamic_cast<InstrumentMidi*>(song->instruments[1].load());
    ASSERT_NE(midi, nullptr);
    midi->prognum = 40;
    Committed(std::string("Changes to ") + midi->GetName());
    song->PutInstrument(20, dynamic_cast<Instrument*>(instrument_roster.Create("Synth")));
    Committed("Changes to Instruments");
    auto* echo = First<MachinePlugbay>();
    ASSERT_NE(echo, nullptr);
    ASSERT_TRUE(echo->pipe.CreateEffect("StereoEcho"));
    echo->pipe.effects[1]->SetParamValue(0, 0.25f);
    Committed("Changes to Echo");
    // A parameter undone keeps the plug-in, and its window, open.
    Effect* first = echo->pipe.effects[0];
    first->ShowWindow();
    EffectWindow* window = first->window;
    ASSERT_NE(window, nullptr);
    first->SetParamValue(0, 0.75f);
    ASSERT_TRUE(history->Commit());
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(echo->pipe.effects[0], first);
    EXPECT_EQ(first->window, window);
    EXPECT_TRUE(song->FileBytes() == saved.back());
    EXPECT_EQ(history->RedoName(), "Changes to Echo");
    const std::string removed = song->machines[3]->GetName();
    song->RemoveMachine(3);
    Committed("Remove " + removed);

    // Undoing the removal puts the machine back in its place; the others stay the objects
    // they were, so their windows stay open.
    std::vector<Machine*> before(song->machines, song->machines + song->num_machines);
    ASSERT_TRUE(history->Undo());
    EXPECT_TRUE(song->FileBytes() == saved[saved.size() - 2]);
    for (size_t i = 0; i < before.size(); i++)
        EXPECT_EQ(song->machines[i < 3 ? i : i + 1], before[i]) << i;
    EXPECT_EQ(history->RedoName(), "Remove " + removed);

    for (size_t k = saved.size() - 2; k-- > 0;) {
        ASSERT_TRUE(history->Undo()) << k;
        ASSERT_TRUE(song->FileBytes() == saved[k]) << k;
    }
    EXPECT_FALSE(history->Undo());
    EXPECT_EQ(echo->pipe.num_effects.load(), 1)
        << "opened again, the pipe is replaced, not added to";
    // Taking the added plug-in out and putting it back keeps the one that stayed.
    EXPECT_EQ(echo->pipe.effects[0]->window, window);
    for (size_t k = 1; k < saved.size(); k++) {
        ASSERT_TRUE(history->Redo()) << k;
        ASSERT_TRUE(song->FileBytes() == saved[k]) << k;
    }
    EXPECT_FALSE(history->Redo());
    EXPECT_EQ(echo->pipe.effects[0]->window, window);
    EXPECT_TRUE(ShownErrors().empty());
}

TEST_F(UndoTest, APendingEditIsCommittedFirstAndANewEditDropsWhatWasUndone) {
    const int32 tempo = song->main_tempo;
    song->main_tempo = 90;
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(song->main_tempo.load(), tempo);
    ASSERT_TRUE(history->Redo());
    EXPECT_EQ(song->main_tempo.load(), 90);
    ASSERT_TRUE(history->Undo());
    song->AddMachine("Repeat");
    EXPECT_FALSE(history->Redo()) << "the new edit is committed, and nothing is left to redo";
    EXPECT_EQ(history->UndoName(), "Add Repeat");
    EXPECT_FALSE(history->CanRedo());
    // Picking another machine changes nothing heard while none plays alone.
    song->solo_machine = 4;
    EXPECT_FALSE(history->Commit());
}

TEST_F(UndoTest, KeepsAHundredStepsAndSharesWhatDidNotChange) {
    // Each step holds only the settings that changed.
    const size_t songBytes = history->Bytes();
    EXPECT_GE(songBytes, song->FileBytes().size() - 4096);
    for (int32 i = 0; i < 10; i++) {
        song->main_tempo = 60 + i;
        ASSERT_TRUE(history->Commit());
    }
    EXPECT_LT(history->Bytes(), songBytes + 10 * 1024);

    // Steps of a whole pattern each go first when the history would hold more than allowed.
    UndoHistory bounded(*song, songBytes + 1024 * 1024);
    TrackPage& page = First<PatternTracker>()->tracks[0]->pages[0];
    for (int32 i = 0; i < 40; i++) {
        page.setnote(5, 40 + i);
        ASSERT_TRUE(bounded.Commit());
        EXPECT_LE(bounded.Bytes(), songBytes + 1024 * 1024) << i;
    }
    EXPECT_LT(bounded.Steps(), 40u);
    EXPECT_GT(bounded.Steps(), 5u);

    song->New();
    history->Reset();
    for (int32 i = 0; i < 120; i++) {
        song->main_tempo = 60 + i;
        ASSERT_TRUE(history->Commit());
    }
    EXPECT_EQ(history->Steps(), UndoHistory::kMaxSteps + 1);
    for (size_t i = 0; i < UndoHistory::kMaxSteps; i++) ASSERT_TRUE(history->Undo()) << i;
    EXPECT_FALSE(history->Undo());
    EXPECT_EQ(song->main_tempo.load(), 60 + 19);
}

TEST_F(UndoTest, UndoWhilePlayingKeepsPlaying) {
    song->Play();
    Steps(4);
    song->AddMachine("Gridloom");
    song->main_tempo = 100;
    const int32 step = song->step;
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(song->is_playing.load(), 1);
    EXPECT_EQ(song->tempo.load(), song->main_tempo.load());
    Steps(4);
    EXPECT_EQ(song->step.load(), (step + 4) % STEPS_PER_MEASURE);
    EXPECT_TRUE(song->FileBytes() == saved[0]);
}

}  // namespace
