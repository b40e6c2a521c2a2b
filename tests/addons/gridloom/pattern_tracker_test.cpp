// The pattern tracker through the roster: defaults, rows per step, slots, groove, editing and
// the saved form, played on the recording test instrument.
#include "addons/Gridloom/pattern_tracker.h"

#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <vector>

#include "addons/Gridloom/tracker_globals.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "platform/interface/view.h"
#include "tests/engine/allocation_counter.h"
#include "tests/engine/engine_environment.h"

namespace {

constexpr const char* kNoInstrument =
    "You must have at least 1 instrument\nbefore you can create a track!";

// Each test's SetUp brings the tempo, and with it STEPS_PER_MEASURE, back to the song's.
class Gridloom : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        grooveofs = 0;
        setval = 1;
    }

    PatternTracker* AddTracker() { return dynamic_cast<PatternTracker*>(Add("Gridloom")); }

    Instrument* AddInstrument(int slot) {
        auto* made = dynamic_cast<Instrument*>(instrument_roster.Create("TestInstrument"));
        song->instruments[slot] = made;
        return made;
    }

    // A tracker with one track on instrument slot 0.
    PatternTracker* TrackerWithTrack() {
        AddInstrument(0);
        PatternTracker* tracker = AddTracker();
        EXPECT_EQ(tracker->AddTrack(), 0);
        return tracker;
    }

    // Rows from..to of page 0 of the track start notes whose number is their row.
    static void FillRows(PatternTracker* tracker, int from, int to, int track = 0) {
        TrackPage& page = tracker->tracks[track]->pages[0];
        for (int row = from; row <= to; row++) {
            page.setstatus(row, 1);
            page.setnote(row, row);
        }
    }

    // One block rendered at the position, as a song step would.
    static void Render(PatternTracker* tracker, int32 position, int32 step, int32 frames) {
        song->position = position;
        song->step = step;
        tracker->buffer_length = frames;
        tracker->Process();
    }

    void ExpectCalls(const std::vector<InstrumentCall>& expected) {
        ASSERT_EQ(InstrumentCalls().size(), expected.size());
        for (size_t i = 0; i < expected.size(); i++) {
            const InstrumentCall& got = InstrumentCalls()[i];
            EXPECT_EQ(got.note, expected[i].note) << i;
            EXPECT_EQ(got.offset, expected[i].offset) << i;
            EXPECT_EQ(got.frames, expected[i].frames) << i;
            EXPECT_EQ(got.time, expected[i].time) << i;
        }
    }

    static InstrumentCall Call(int32 note, int32 offset, long frames, float time = 0) {
        return {nullptr, frames, note, offset, time, 1};
    }
};

TEST_F(Gridloom, ANewMachineAndTrackHoldTheDefaults) {
    PatternTracker* tracker = AddTracker();
    ASSERT_NE(tracker, nullptr);
    EXPECT_STREQ(tracker->GetName(), "Gridloom");
    EXPECT_EQ(tracker->has_output, 1);
    EXPECT_EQ(tracker->has_input, 0);
    EXPECT_EQ(tracker->num_pages, 1);
    EXPECT_EQ(tracker->num_measures, 4);
    EXPECT_EQ(tracker->step_per_measure, 8);
    EXPECT_EQ(tracker->color, (rgb_color{20, 119, 175, 255}));
    EXPECT_EQ(tracker->num_tracks, 0);
    ASSERT_NE(tracker->view, nullptr);
    EXPECT_STREQ(tracker->view->Name(), "PatternView");
    AddInstrument(3);
    ASSERT_EQ(tracker->AddTrack(), 0);
    const Track* track = tracker->tracks[0];
    EXPECT_EQ(track->instrument, 3);
    ASSERT_TRUE(track->pages[0].IsInitialized());
    EXPECT_FALSE(track->pages[1].IsInitialized());
    for (int row = 0; row < TrackPage::kRows; row++) {
        EXPECT_EQ(track->pages[0].NoteAt(row), 69);
        EXPECT_EQ(track->pages[0].StatusAt(row), 0);
    }
    int index = machine_roster.Find("Gridloom");
    BMessage* info = machine_roster.GetInfo(index);
    ASSERT_NE(info, nullptr);
    const char* text = nullptr;
    ASSERT_EQ(info->FindString("info", &text), B_OK);
    EXPECT_STREQ(text, "Standard component");
    EXPECT_EQ(machine_roster.GetInfo(index), info);
}

TEST_F(Gridloom, FourStepsPerMeasurePlayTwoRowsAStep) {
    PatternTracker* tracker = TrackerWithTrack();
    tracker->Connect(0);
    tracker->status[0] = 1;
    FillRows(tracker, 0, 7);
    song->Play();  // renders steps 0 and 1 of measure 0
    ASSERT_EQ(STEPS_PER_MEASURE, 4);
    const long len = bigbuflen[0] / 2;
    ExpectCalls(
        {Call(0, 0, len), Call(1, int32(len), len), Call(2, 0, len), Call(3, int32(len), len)});
    song->Stop();
}

TEST_F(Gridloom, TwoStepsPerMeasurePlayFourRowsAStepAndDropTheRemainder) {
    PatternTracker* tracker = TrackerWithTrack();
    tracker->Connect(0);
    tracker->status[0] = 1;
    FillRows(tracker, 0, 7);
    song->main_tempo = 200;
    song->Play();
    ASSERT_EQ(STEPS_PER_MEASURE, 2);
    ASSERT_EQ(bigbuflen[0], 6615);
    const long len = 6615 / 4;
    std::vector<InstrumentCall> expected;
    for (int32 row = 0; row < 8; row++) expected.push_back(Call(row, int32(row % 4 * len), len));
    ExpectCalls(expected);
    song->Stop();
}

TEST_F(Gridloom, RowsPerStepFollowTheRowsPerMeasure) {
    PatternTracker* tracker = TrackerWithTrack();
    tracker->status[0] = 1;
    FillRows(tracker, 0, 31);
    STEPS_PER_MEASURE = 4;
    tracker->step_per_measure = 7;  // one row a step, the rest is dropped
    Render(tracker, 1, 3, 1000);
    ExpectCalls({Call(7, 0, 1000)});
    InstrumentCalls().clear();
    tracker->step_per_measure = 3;  // fewer rows than steps: silent
    Render(tracker, 1, 2, 1000);
    EXPECT_TRUE(InstrumentCalls().empty());
}

TEST_F(Gridloom, MeasureNineStepTwoPlaysRowsTwelveAndThirteenOfSlotTwo) {
    PatternTracker* tracker = TrackerWithTrack();
    tracker->status[2] = 1;
    FillRows(tracker, 11, 14);
    STEPS_PER_MEASURE = 4;
    Render(tracker, 9, 2, 1000);
    ExpectCalls({Call(12, 0, 500), Call(13, 500, 500)});
}

TEST_F(Gridloom, SustainAndEmptyPagesKeepTheLastNoteAndEraseStopsTime) {
    PatternTracker* tracker = TrackerWithTrack();
    tracker->step_per_measure = 4;
    tracker->status[0] = 1;
    tracker->status[1] = PatternTracker::kSustain;
    tracker->status[2] = 3;  // page 2, never initialised
    tracker->status[4] = 2;
    tracker->status[5] = 1001;  // a damaged value
    tracker->num_pages = 3;
    FillRows(tracker, 0, 15);
    tracker->tracks[0]->pages[1].setstatus(0, 1);
    tracker->tracks[0]->pages[1].setnote(0, 90);
    STEPS_PER_MEASURE = 4;
    Render(tracker, 3, 3, 100);        // row 15 of page 0
    Render(tracker, 4, 0, 100);        // Sustain
    Render(tracker, 8, 0, 100);        // empty page 2
    Render(tracker, 12, 0, 100);       // Erase: nothing is called, time stands
    Render(tracker, 20, 0, 100);       // 1001 plays as Erase
    Render(tracker, 512 * 4, 0, 100);  // past the slot table
    Render(tracker, 16, 0, 100);       // page 1
    ExpectCalls({Call(15, 0, 100), Call(15, 0, 100, 100), Call(15, 0, 100, 200), Call(90, 0, 100)});
}

TEST_F(Gridloom, MutedMachinesAndTracksAndEmptySlotsRenderNothing) {
    PatternTracker* tracker = TrackerWithTrack();
    tracker->status[0] = 1;
    FillRows(tracker, 0, 7);
    tracker->mute = 1;
    Render(tracker, 0, 0, 100);
    tracker->mute = 0;
    tracker->tracks[0]->mute = 1;
    Render(tracker, 0, 0, 100);
    tracker->tracks[0]->mute = 0;
    delete song->instruments[0].exchange(nullptr);
    Render(tracker, 0, 0, 100);
    EXPECT_TRUE(InstrumentCalls().empty());
}

TEST_F(Gridloom, GrooveLengthsCycleAndStopAtTheBlockEnd) {
    PatternTracker* tracker = TrackerWithTrack();
    tracker->status[0] = 1;
    tracker->groove = 2;
    FillRows(tracker, 0, 0);
    STEPS_PER_MEASURE = 4;
    for (int32 step = 0; step < 4; step++) Render(tracker, 0, step, 1000);
    ExpectCalls({Call(0, 0, 500), Call(0, 500, 500, 500), Call(0, 0, 500, 1000),
                 Call(0, 500, 500, 1500), Call(0, 0, 750, 2000), Call(0, 750, 250, 2750),
                 Call(0, 0, 250, 3000), Call(0, 250, 250, 3250)});
    EXPECT_EQ(grooveofs, 0);
}

TEST_F(Gridloom, TransposeStopsAtTheNoteRangeAndLeavesEmptyRows) {
    PatternTracker* tracker = TrackerWithTrack();
    TrackPage& page = tracker->tracks[0]->pages[0];
    page.setstatus(0, 1);
    page.setnote(0, 126);
    page.setstatus(1, 1);
    page.setnote(1, 1);
    page.setnote(2, 126);
    tracker->Transpose(0, 3);
    EXPECT_EQ(page.NoteAt(0), 127);
    EXPECT_EQ(page.NoteAt(1), 4);
    EXPECT_EQ(page.NoteAt(2), 126);
    tracker->Transpose(0, -6);
    EXPECT_EQ(page.NoteAt(1), 0);
    EXPECT_EQ(page.NoteAt(0), 121);
    tracker->Transpose(5, 3);  // an uninitialised page stays so
    EXPECT_FALSE(tracker->tracks[0]->pages[5].IsInitialized());
}

TEST_F(Gridloom, RemovingTracksMovesTheLaterOnesDown) {
    PatternTracker* tracker = TrackerWithTrack();
    tracker->AddTrack();
    tracker->AddTrack();
    Track* last = tracker->tracks[2];
    tracker->RemoveTrack(1);
    EXPECT_EQ(tracker->num_tracks, 2);
    EXPECT_EQ(tracker->tracks[1], last);
    EXPECT_EQ(tracker->tracks[2], nullptr);
    tracker->RemoveTrack(7);
    EXPECT_EQ(tracker->num_tracks, 2);
    tracker->RemoveTrack(0);
    tracker->RemoveTrack(0);
    tracker->RemoveTrack(0);
    EXPECT_EQ(tracker->num_tracks, 0);
    for (const Track* track : tracker->tracks) EXPECT_EQ(track, nullptr);
}

TEST_F(Gridloom, TracksForAllInstrumentsFollowTheSlots) {
    AddInstrument(2);
    AddInstrument(5);
    PatternTracker* tracker = AddTracker();
    tracker->AddTracksForAllInstruments();
    ASSERT_EQ(tracker->num_tracks, 2);
    EXPECT_EQ(tracker->tracks[0]->instrument, 2);
    EXPECT_EQ(tracker->tracks[1]->instrument, 5);
}

TEST_F(Gridloom, AddingATrackWithoutInstrumentsTellsTheUser) {
    PatternTracker* tracker = AddTracker();
    EXPECT_EQ(tracker->AddTrack(), -1);
    EXPECT_EQ(tracker->num_tracks, 0);
    ASSERT_EQ(ShownErrors().size(), 1u);
    EXPECT_EQ(ShownErrors()[0], kNoInstrument);
}

TEST_F(Gridloom, AddingATrackWaitsForTheStepBeingRendered) {
    AddInstrument(0);
    PatternTracker* tracker = AddTracker();
    lock->Lock();
    auto added = std::async(std::launch::async, [tracker] { return tracker->AddTrack(); });
    EXPECT_EQ(added.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    EXPECT_EQ(tracker->num_tracks, 0);
    lock->Unlock();
    EXPECT_EQ(added.get(), 0);
}

TEST_F(Gridloom, APageMadeWhileTheInstrumentSlotIsEmptyReadsDefaults) {
    PatternTracker* tracker = TrackerWithTrack();
    delete song->instruments[0].exchange(nullptr);
    Modifiers* values = tracker->tracks[0]->pages[1].GetModifiers(0);
    ASSERT_NE(values, nullptr);
    ASSERT_NE(values->info, nullptr);
    EXPECT_EQ(values->info->count, 0);
    EXPECT_EQ(values->GetVal(0, 3), 0.0f);
    values->SetVal(0, 3, 5);
    EXPECT_EQ(values->GetVal(0, 3), 0.0f);
}

TEST_F(Gridloom, SavedPagesSayWhichAreEmptyAndReopenFromTheKthEntries) {
    PatternTracker* tracker = TrackerWithTrack();
    tracker->num_pages = 3;
    tracker->status[7] = PatternTracker::kSustain;
    tracker->color = {1, 2, 3, 255};
    tracker->num_measures = 2;
    tracker->step_per_measure = 16;
    TrackPage& third = tracker->tracks[0]->pages[2];
    third.setstatus(5, 1);
    third.setnote(5, 77);
    third.GetModifiers(0)->SetVal(0, 5, 42);
    BMessage saved;
    tracker->Save(&saved);
    BMessage track;
    ASSERT_EQ(saved.FindMessage("track", &track), B_OK);
    int32 empty[3] = {-1, -1, -1};
    for (int32 p = 0; p < 3; p++) track.FindInt32("emptypage", p, &empty[p]);
    EXPECT_EQ(empty[0], 0);
    EXPECT_EQ(empty[1], 1);
    EXPECT_EQ(empty[2], 0);
    for (const char* key : {"status", "note", "_Modifiers"}) {
        int32 count = 0;
        track.GetInfo(key, nullptr, &count);
        EXPECT_EQ(count, 2) << key;
    }

    PatternTracker* opened = AddTracker();
    opened->Open(&saved);
    ASSERT_EQ(opened->num_tracks, 1);
    EXPECT_EQ(opened->num_pages, 3);
    EXPECT_EQ(opened->status[7], PatternTracker::kSustain);
    EXPECT_EQ(opened->color, (rgb_color{1, 2, 3, 255}));
    EXPECT_EQ(opened->num_measures, 2);
    EXPECT_EQ(opened->step_per_measure, 16);
    const Track* reread = opened->tracks[0];
    EXPECT_FALSE(reread->pages[1].IsInitialized());
    EXPECT_EQ(reread->pages[2].StatusAt(5), 1);
    EXPECT_EQ(reread->pages[2].NoteAt(5), 77);
    EXPECT_EQ(reread->pages[2].modifiers->GetVal(0, 5), 42.0f);
    EXPECT_EQ(reread->pages[2].NoteAt(4), 69);

    BMessage again, retrack;
    opened->Save(&again);
    ASSERT_EQ(again.FindMessage("track", &retrack), B_OK);
    std::vector<char> before(size_t(track.FlattenedSize())), after(size_t(retrack.FlattenedSize()));
    track.Flatten(before.data(), ssize_t(before.size()));
    retrack.Flatten(after.data(), ssize_t(after.size()));
    EXPECT_EQ(before, after);
}

TEST_F(Gridloom, PastedTracksAndPagesReplaceWhatWasThere) {
    PatternTracker* source = TrackerWithTrack();
    source->num_pages = 3;
    TrackPage& third = source->tracks[0]->pages[2];
    third.setstatus(4, 1);
    third.setnote(4, 50);
    third.GetModifiers(0)->SetVal(0, 4, 7);
    BMessage record;
    source->tracks[0]->Save(&record);

    PatternTracker* target = AddTracker();
    ASSERT_EQ(target->AddTrack(), 0);
    ASSERT_EQ(target->AddTrack(), 1);
    target->num_pages = 2;
    FillRows(target, 0, 3);
    target->tracks[0]->pages[0].GetModifiers(0)->SetVal(0, 1, 9);
    target->tracks[0]->pages[1].setstatus(8, 1);
    EXPECT_FALSE(target->PasteTrack(2, record));
    ASSERT_TRUE(target->PasteTrack(0, record));
    EXPECT_EQ(target->num_pages, 3) << "the larger page count";
    const Track* pasted = target->tracks[0];
    EXPECT_EQ(pasted->pages[0].StatusAt(0), 0) << "no old row survives";
    EXPECT_EQ(pasted->pages[0].modifiers->GetVal(0, 1), 100.0f) << "nor an old value";
    EXPECT_FALSE(pasted->pages[1].IsInitialized());
    EXPECT_EQ(pasted->pages[2].NoteAt(4), 50);
    EXPECT_EQ(pasted->pages[2].modifiers->GetVal(0, 4), 7.0f);

    // A page of every track over another page; a page copied empty empties its target.
    BMessage clipboard;
    target->tracks[1]->pages[2].setstatus(9, 1);
    target->CopyPage(2, &clipboard);
    FillRows(target, 0, 1, 1);
    ASSERT_TRUE(target->PastePage(0, clipboard));
    EXPECT_EQ(target->tracks[0]->pages[0].StatusAt(4), 1);
    EXPECT_EQ(target->tracks[0]->pages[0].StatusAt(0), 0);
    EXPECT_EQ(target->tracks[0]->pages[0].modifiers->GetVal(0, 4), 7.0f);
    EXPECT_EQ(target->tracks[1]->pages[0].StatusAt(9), 1);
    EXPECT_EQ(target->tracks[1]->pages[0].StatusAt(0), 0);
    BMessage empty;
    target->CopyPage(5, &empty);
    ASSERT_TRUE(target->PastePage(0, empty));
    for (int row = 0; row < TrackPage::kRows; row++)
        ASSERT_EQ(target->tracks[0]->pages[0].StatusAt(row), 0) << row;
    EXPECT_FALSE(target->PastePage(Track::kMaxPages, clipboard));

    // Another instrument: the sounding note's modifiers move to the new table, values kept.
    AddInstrument(1);
    Track* track = target->tracks[0];
    track->noteinfo.modifiers = track->pages[2].modifiers;
    const Modifiers* before = track->pages[2].modifiers;
    track->SetInstrument(1);
    EXPECT_NE(track->pages[2].modifiers, before);
    EXPECT_EQ(track->noteinfo.modifiers, track->pages[2].modifiers);
    EXPECT_EQ(track->pages[2].modifiers->info, song->instruments[1].load()->GetModifierInfoList());
    EXPECT_EQ(track->pages[2].modifiers->GetVal(0, 4), 7.0f);
}

TEST_F(Gridloom, ASongFileCarriesTheTrackerAndItsTracks) {
    AddInstrument(1);
    PatternTracker* tracker = AddTracker();
    ASSERT_EQ(tracker->AddTrack(), 0);
    tracker->Connect(0);
    tracker->status[3] = 2;
    tracker->num_pages = 2;
    tracker->tracks[0]->pages[1].setstatus(9, 1);
    tracker->tracks[0]->pages[1].setnote(9, 33);
    const std::string path = ::testing::TempDir() + "gridloom_song.vel";
    ASSERT_EQ(song->Save(path.c_str()), 1);
    ASSERT_EQ(song->Open(path.c_str()), 1);
    std::remove(path.c_str());
    EXPECT_TRUE(ShownErrors().empty());
    ASSERT_EQ(song->num_machines, 2);
    auto* opened = dynamic_cast<PatternTracker*>(song->machines[1]);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->status[3], 2);
    ASSERT_EQ(opened->num_tracks, 1);
    EXPECT_EQ(opened->tracks[0]->instrument, 1);
    EXPECT_EQ(opened->tracks[0]->pages[1].NoteAt(9), 33);
    EXPECT_EQ(opened->out_machine[0], 0);
}

TEST_F(Gridloom, OpeningDamagedValuesStaysInsideTheTables) {
    AddInstrument(0);
    BMessage track;
    track.AddInt16("instr", 300);
    track.AddInt32("num_pages", 1000);
    int32 big[300] = {};
    big[0] = 1;
    track.AddData("status", B_INT32_TYPE, big, sizeof big);
    BMessage saved;
    saved.AddData("status", B_INT32_TYPE, big, sizeof big);
    saved.AddInt32("num_measures", 0);
    saved.AddInt32("step_per_measure", 4000);
    saved.AddInt32("num_tracks", 1);
    saved.AddMessage("track", &track);
    PatternTracker* tracker = AddTracker();
    tracker->Open(&saved);
    EXPECT_EQ(tracker->num_measures, 1);
    EXPECT_EQ(tracker->step_per_measure, 32);
    EXPECT_EQ(tracker->num_pages, 128);
    ASSERT_EQ(tracker->num_tracks, 1);
    EXPECT_EQ(tracker->tracks[0]->instrument, 0);
    EXPECT_EQ(tracker->status[0], 1);
    EXPECT_EQ(tracker->tracks[0]->pages[0].StatusAt(0), 1);
}

TEST_F(Gridloom, OpeningTracksWithoutInstrumentsTellsTheUserOnce) {
    PatternTracker* source = TrackerWithTrack();
    source->AddTrack();
    BMessage saved;
    source->Save(&saved);
    delete song->instruments[0].exchange(nullptr);
    PatternTracker* opened = AddTracker();
    opened->Open(&saved);
    EXPECT_EQ(opened->num_tracks, 0);
    EXPECT_EQ(ShownErrors(), std::vector<std::string>{kNoInstrument});
}

TEST_F(Gridloom, StepsAllocateNothing) {
    PatternTracker* tracker = TrackerWithTrack();
    for (int i = 0; i < 7; i++) tracker->AddTrack();
    tracker->Connect(0);
    tracker->groove = 1;
    for (int32 slot = 0; slot < 4; slot++) tracker->status[slot] = slot % 2 ? 1000 : 1;
    for (int track = 0; track < 8; track++) FillRows(tracker, 0, 31, track);
    InstrumentCalls().reserve(4096);
    song->Play();
    Steps(1);
    AllocationCounter counter;
    Steps(30);  // through Sustain slots and grooved sub-steps
    EXPECT_EQ(counter.Count(), 0u);
    EXPECT_EQ(InstrumentCalls().size(), 33u * 8 * 2);
    song->Stop();
}

}  // namespace
