// Undo over the demo song and over a song of about 10 MB: a snapshot after a small edit (what
// follows every keystroke and click), and an undo of that edit and of the removal of the
// first pattern, which renumbers, and so opens again, every machine after it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "addons/Gridloom/pattern_tracker.h"
#include "bench/build_tree_song.h"
#include "engine/instrument.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "engine/undo_history.h"

namespace {

constexpr int32 kBigTrackers = 8;
constexpr int32 kBigTracks = 32;
constexpr int32 kBigPages = 20;

// The demo, with trackers of every page full of notes added to it when big.
void OpenSong(bool big) {
    BuildTreeSong(PlayerDrive::kCaller);
    if (song->Open(DEMO_SONG) != 1) std::abort();
    for (int32 m = 0; big && m < kBigTrackers; m++) {
        auto* tracker =
            dynamic_cast<PatternTracker*>(song->MachineAt(song->AddMachine("Gridloom")));
        if (tracker == nullptr) std::abort();
        tracker->num_pages = kBigPages;
        for (int32 t = 0; t < kBigTracks; t++) {
            Track* track = tracker->tracks[tracker->AddTrack()];
            for (int32 p = 0; p < kBigPages; p++) {
                track->pages[p].Init();
                for (int32 row = 0; row < 256; row += 2) {
                    track->pages[p].setstatus(row, 1);
                    track->pages[p].setnote(row, 36 + (row + t + p) % 48);
                }
            }
        }
    }
}

PatternTracker* FirstTracker() {
    for (int32 i = 0; i < song->num_machines; i++)
        if (auto* tracker = dynamic_cast<PatternTracker*>(song->machines[i])) return tracker;
    std::abort();
}

void Sizes(benchmark::State& state, const UndoHistory& history) {
    state.counters["song_MB"] = double(song->FileBytes().size()) / 1e6;
    state.counters["history_MB"] = double(history.Bytes()) / 1e6;
}

// A note typed into the first pattern, then the snapshot that records it, over and over.
void CommitNotes(benchmark::State& state) {
    UndoHistory history(*song);
    TrackPage& page = FirstTracker()->tracks[0]->pages[0];
    int32 note = 40;
    for (auto _ : state) {
        page.setnote(1, note = note == 40 ? 41 : 40);
        if (!history.Commit()) std::abort();
    }
    Sizes(state, history);
}

void Snapshot(benchmark::State& state) {
    OpenSong(state.range(0) != 0);
    CommitNotes(state);
}
BENCHMARK(Snapshot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same with a Sampler holding range(0) seconds of stereo sound: every snapshot saves the
// sample again, so its cost grows with the samples a song holds.
void SnapshotWithSample(benchmark::State& state) {
    OpenSong(false);
    const int32 frames = 44100 * int32(state.range(0));
    std::vector<float> sound(size_t(frames) * 2);
    for (size_t i = 0; i < sound.size(); i++) sound[i] = float(i % 1000) / 1000.0f - 0.5f;
    BMessage record;
    record.AddInt32("sample_rate", 44100);
    record.AddInt32("sample_channels", 2);
    record.AddInt32("sample_frames", frames);
    record.AddData("sample_data", B_FLOAT_TYPE, sound.data(), ssize_t(sound.size() * 4));
    auto* sampler = dynamic_cast<Instrument*>(instrument_roster.Create("Sampler"));
    if (sampler == nullptr) std::abort();
    sampler->Open(&record);
    song->PutInstrument(20, sampler);
    CommitNotes(state);
}
BENCHMARK(SnapshotWithSample)->Arg(60)->Unit(benchmark::kMillisecond);

// Undo and redo of that note: the first pattern is opened again each time.
void UndoAndRedoNote(benchmark::State& state) {
    OpenSong(state.range(0) != 0);
    UndoHistory history(*song);
    FirstTracker()->tracks[0]->pages[0].setnote(1, 77);
    history.Commit();
    for (auto _ : state) {
        if (!history.Undo() || !history.Redo()) std::abort();
    }
    Sizes(state, history);
}
BENCHMARK(UndoAndRedoNote)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Undo and redo of removing the first pattern: every later machine has a new ID to open with.
void UndoAndRedoRemoval(benchmark::State& state) {
    OpenSong(state.range(0) != 0);
    UndoHistory history(*song);
    song->RemoveMachine(FirstTracker()->ID);
    history.Commit();
    for (auto _ : state) {
        if (!history.Undo() || !history.Redo()) std::abort();
    }
    Sizes(state, history);
}
BENCHMARK(UndoAndRedoRemoval)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
