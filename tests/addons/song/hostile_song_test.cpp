// Songs well formed byte for byte whose values are hostile: each is built here, saved or
// written as a file, and opened and played as the program and the renderer do.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "addons/Gridloom/pattern_tracker.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "tests/addons/controllers/saved_settings.h"
#include "tests/engine/engine_environment.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Rendered {
    int status = -1;  // the exit status, -1 when a signal ended it
    long peakKiB = 0;
    std::string output;
};

// The renderer as a user runs it, its peak memory measured by the kernel.
Rendered Render(const std::vector<std::string>& arguments, const fs::path& log) {
    std::vector<std::string> words = {VELLORAN_RENDER};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    Rendered run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakKiB = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream in(log);
    run.output.assign(std::istreambuf_iterator<char>(in), {});
    return run;
}

void WriteSong(const fs::path& path, const BMessage& message) {
    const std::vector<char> bytes = SongFileBytes(message);
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// A song record with a MIDI instrument in slot 0 and the given machines after the master.
BMessage SongRecord(const std::vector<BMessage>& machines, const char* addon) {
    BMessage file;
    BMessage instrument;
    file.AddInt16("instrnr", 0);
    file.AddMessage("instr", &instrument);
    file.AddString("instrument_name", "Midi");
    file.AddInt32("num_machines", int32(machines.size()) + 1);
    BMessage master;
    master.AddPoint("Machine::position", BPoint(10, 10));
    file.AddMessage("machine", &master);
    file.AddString("machine_name", "Master");
    for (const BMessage& machine : machines) {
        file.AddMessage("machine", &machine);
        file.AddString("machine_name", addon);
    }
    return file;
}

class HostileSong : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        dir = fs::temp_directory_path() / ("velloran-hostile-" + std::to_string(getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Saves the song as it stands and opens it again.
    void Reopen() {
        const fs::path path = dir / "song.vel";
        ASSERT_EQ(song->Save(path.c_str()), 1);
        ASSERT_EQ(song->Open(path.c_str()), 1);
    }

    PatternTracker* TrackerPlayingMidi() {
        song->instruments[0] = dynamic_cast<Instrument*>(instrument_roster.Create("Midi"));
        auto* tracker = dynamic_cast<PatternTracker*>(Add("Gridloom"));
        tracker->AddTrack();
        tracker->status[0] = 1;
        tracker->Connect(0);
        return tracker;
    }

    fs::path dir;
};

}  // namespace

// Before, a loop start or a repeat span at the top of int32 overflowed the step's position
// count (UndefinedBehaviorSanitizer stops the test there).
TEST_F(HostileSong, PositionsAtTheTopOfTheRangePlayWithoutOverflow) {
    BMessage repeat;
    repeat.AddPoint("Machine::position", BPoint(10, 50));
    repeat.AddInt32("rep1", INT32_MAX - 1);
    repeat.AddInt32("rep2", INT32_MAX);
    BMessage file = SongRecord({repeat}, "Repeat");
    file.AddInt32("loop", 1);
    file.AddInt32("start_pos", INT32_MAX);
    file.AddInt32("stop_pos", INT32_MIN);
    const fs::path path = dir / "top.vel";
    WriteSong(path, file);
    ASSERT_EQ(song->Open(path.c_str()), 1);
    ASSERT_EQ(song->num_machines, 2);
    EXPECT_EQ(Saved(song->machines[1], "rep1"), Song::kLastPosition);
    EXPECT_EQ(Saved(song->machines[1], "rep2"), Song::kLastPosition);
    EXPECT_EQ(song->start_pos, Song::kLastPosition);
    EXPECT_EQ(song->stop_pos, 0);
    song->Play();
    Steps(12);
    EXPECT_GE(song->position, Song::kLastPosition);
    EXPECT_LE(song->position, Song::kLastPosition + 4);
    song->Stop();
    // A controller may still send the song to the very top: the count stops there.
    song->position = INT32_MAX;
    song->step = STEPS_PER_MEASURE - 1;
    song->Process();
    EXPECT_EQ(song->position, INT32_MAX);
}

// Before, a NaN connection volume made the whole render NaN.
TEST_F(HostileSong, VolumesThatAreNotNumbersOrHugeOpenPlayable) {
    Machine* source = Add("TestSource");
    ASSERT_EQ(source->Connect(0), 1);
    Machine* second = Add("TestSource");
    ASSERT_EQ(second->Connect(0), 1);
    song->machines[0]->in_vol_left[0] = NAN;
    song->machines[0]->in_vol_right[0] = -INFINITY;
    song->machines[0]->in_vol_left[1] = 1e30f;
    song->machines[0]->in_vol_right[1] = -3.0f;
    source->position = BPoint(NAN, 1e30f);
    Reopen();
    Machine* master = song->machines[0];
    EXPECT_EQ(master->in_vol_left[0], 1.0f);
    EXPECT_EQ(master->in_vol_right[0], 1.0f);
    EXPECT_EQ(master->in_vol_left[1], Machine::kMaxVolume);
    EXPECT_EQ(master->in_vol_right[1], 0.0f);
    EXPECT_EQ(song->machines[1]->position, BPoint(0, Machine::kMapExtent));
    const int64 silenced = GetSilencedSamples();
    song->Play();
    for (float sample : PlayOutput(8192)) ASSERT_TRUE(std::isfinite(sample));
    EXPECT_EQ(GetSilencedSamples(), silenced);
    // A NaN that arises while playing, as from a faulty plug-in, is played as silence and
    // counted.
    master->in_vol_left[0] = NAN;
    Steps(2);
    for (float sample : PlayOutput(8192)) ASSERT_TRUE(std::isfinite(sample));
    song->Stop();
    EXPECT_GT(GetSilencedSamples(), silenced);
}

// Before, a velocity of 1e30, infinity or NaN was converted to int unchecked: undefined,
// and silently velocity 0 here.
TEST_F(HostileSong, ModifierValuesThatAreHugeOrNotNumbersPlayAtTheirRangeOrDefault) {
    PatternTracker* tracker = TrackerPlayingMidi();
    TrackPage& page = tracker->tracks[0]->pages[0];
    const float values[] = {1e30f, -1e30f, INFINITY, NAN};
    for (int32 row = 0; row < 4; row++) {
        page.setstatus(row * 8, 1);
        page.GetModifiers(0)->SetVal(0, row * 8, values[row]);
        page.GetModifiers(0)->SetVal(1, row * 8, values[row]);
    }
    Reopen();
    tracker = dynamic_cast<PatternTracker*>(song->machines[1]);
    ASSERT_NE(tracker, nullptr);
    Modifiers* opened = tracker->tracks[0]->pages[0].modifiers;
    const float volume[] = {1.0f, 0.0f, 0.7f, 0.7f};
    const float controller[] = {128.0f, 0.0f, 64.0f, 64.0f};
    for (int32 row = 0; row < 4; row++) {
        EXPECT_EQ(opened->GetVal(0, row * 8), volume[row]) << row;
        EXPECT_EQ(opened->GetVal(1, row * 8), controller[row]) << row;
    }
    // Values written while the song is open are held at the note's output too.
    for (int32 row = 0; row < 4; row++) opened->SetVal(0, row * 8, values[row]);
    song->Play();
    Steps(8);
    song->Stop();
}

// Before, a modifier length of 65536 on every page of 128 tracks of 128 pages asked for more
// than 10 GB, and the renderer died of std::bad_alloc. Records that claim the most tracks and
// pages for a few bytes each are refused as damaged, within the same bound.
TEST_F(HostileSong, ATwoMegabyteSongCannotMakeTheRendererGrowPast512MiB) {
    BMessage huge;
    huge.AddInt32("length", 65536);
    huge.AddString("name", "Volume");
    const float loud = 1.0f;
    huge.AddData("val", B_FLOAT_TYPE, &loud, 4);
    const int32 firstRow[1] = {1};
    BMessage modifiers, rows;
    for (BMessage* tracker : {&modifiers, &rows}) {
        tracker->AddPoint("Machine::position", BPoint(10, 50));
        tracker->AddInt32("num_tracks", PatternTracker::kMaxTracks);
        tracker->AddData("status", B_INT32_TYPE, firstRow, 4);
    }
    for (int32 t = 0; t < PatternTracker::kMaxTracks; t++) {
        BMessage track;
        track.AddInt16("instr", 0);
        track.AddInt32("num_pages", Track::kMaxPages);
        BMessage oneRowPages = track;
        for (int32 p = 0; p < Track::kMaxPages; p++) {
            track.AddInt32("emptypage", 0);
            track.AddMessage("_Modifiers", &huge);
            oneRowPages.AddInt32("emptypage", 0);
            oneRowPages.AddData("status", B_INT32_TYPE, firstRow, 4);
        }
        modifiers.AddMessage("track", &track);
        rows.AddMessage("track", &oneRowPages);
    }
    // The finding's song, and one of trackers full of pages of one row each and of trackers
    // that claim the most tracks with nothing stored for them.
    BMessage claims;
    claims.AddPoint("Machine::position", BPoint(10, 90));
    claims.AddInt32("num_tracks", PatternTracker::kMaxTracks);
    std::vector<BMessage> hostile(Song::kMachineSlots - 1, claims);
    std::fill(hostile.begin(), hostile.begin() + 12, rows);
    const struct {
        const char* name;
        std::vector<BMessage> machines;
        int status;
    } songs[] = {{"modifiers", {modifiers}, 0}, {"claims", hostile, 1}};
    for (const auto& [name, machines, status] : songs) {
        const fs::path path = dir / (std::string(name) + ".vel");
        WriteSong(path, SongRecord(machines, "Gridloom"));
        EXPECT_LE(fs::file_size(path), 2u << 20) << name;
        const Rendered run = Render(
            {path.string(), "-o", (dir / "huge.wav").string(), "--seconds", "1"}, dir / "huge.log");
        EXPECT_EQ(run.status, status) << name << ": " << run.output;
#ifndef VELLORAN_SANITIZED
        EXPECT_LT(run.peakKiB, 512 * 1024) << name;
#endif
        if (status != 0) {
            EXPECT_NE(run.output.find("The machine Gridloom is damaged: it claims more tracks "
                                      "and pages than it holds."),
                      std::string::npos)
                << run.output;
        }
    }
}

// Before, every entry a lying machine count promised gave its own blank "Missing Machine!".
TEST_F(HostileSong, AMachineCountThatLiesIsReportedOnce) {
    BMessage source;
    source.AddPoint("Machine::position", BPoint(10, 50));
    BMessage file = SongRecord({source, source}, "TestSource");
    file.RemoveName("num_machines");
    file.AddInt32("num_machines", INT32_MAX);
    for (const char* gone : {"Echo", "Echo", "Flanger", "Gone1", "Gone2", "Gone3", "Gone4"}) {
        file.AddMessage("machine", &source);
        file.AddString("machine_name", gone);
    }
    const fs::path path = dir / "lies.vel";
    WriteSong(path, file);
    ASSERT_EQ(song->Open(path.c_str()), 1);
    EXPECT_EQ(song->num_machines, 3);
    EXPECT_EQ(ShownErrors(),
              std::vector<std::string>{
                  "The song says it holds 2147483647 machines but holds 10.\n\n"
                  "Missing Machines!\nCan't create 7 machines of the missing add-ons Echo, "
                  "Flanger, Gone1, Gone2, Gone3 and 1 more!"});
}

// Before, a finite song of more than ten minutes was cut there as one that plays for ever.
TEST_F(HostileSong, AFifteenMinuteSongRendersWholeByDefault) {
    // 450 slots of four measures at 120 measures a minute: 15 minutes.
    PatternTracker* tracker = TrackerPlayingMidi();
    tracker->status[449] = 1;
    const fs::path path = dir / "long.vel";
    ASSERT_EQ(song->Save(path.c_str()), 1);
    const fs::path out = dir / "long.wav";
    Rendered run = Render({path.string(), "-o", out.string(), "--quiet"}, dir / "long.log");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("for ever"), std::string::npos) << run.output;
    // 44-byte header, 16-bit stereo: 1800 measures of 4 steps and the two-second tail.
    const int64 step = 44100 / 2 / 4;
    EXPECT_EQ(fs::file_size(out), 44u + 4u * (1800 * 4 * step + 2 * 44100));
    // A song set to loop is still cut at ten minutes, and told so.
    song->loop = 1;
    song->stop_pos = 1799;
    ASSERT_EQ(song->Save(path.c_str()), 1);
    run = Render({path.string(), "-o", out.string(), "--quiet"}, dir / "long.log");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("the song plays on for ever"), std::string::npos) << run.output;
    EXPECT_EQ(fs::file_size(out), 44u + 4u * (10 * 60 + 2) * 44100u);
}
