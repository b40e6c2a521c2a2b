#include <filesystem>
#include <fstream>

#include "engine/rosters.h"
#include "engine/song.h"
#include "message/byte_order.h"
#include "tests/engine/engine_environment.h"
#include "tests/hex_file.h"

namespace {

namespace fs = std::filesystem;

class SongFile : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        dir = fs::temp_directory_path() / ("velloran-song-" + std::to_string(getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const char* name) const { return (dir / name).string(); }

    static std::vector<char> Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    static void Write(const std::string& path, const std::vector<char>& bytes) {
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }

    // A song file holding the message as it stands.
    static void WriteSong(const std::string& path, const BMessage& message) {
        Write(path, SongFileBytes(message));
    }

    // Master, a source into an effect into the master, a second source into the master.
    void BuildGraph() {
        Machine* src = Add("TestSource");
        Machine* fx = Add("TestEffect");
        Machine* src2 = Add("TestSource");
        src->Connect(fx->ID);
        fx->Connect(0);
        src2->Connect(0);
        song->machines[0]->in_vol_left[1] = 0.75f;
    }

    fs::path dir;
};

}  // namespace

TEST_F(SongFile, ANewSongSavesTheHandMadeBytesAndLoadsBack) {
    ASSERT_EQ(song->Save(Path("new.vel").c_str()), 1);
    std::vector<char> golden = ReadHex(TEST_SOURCE_DIR "/data/new_song.hex");
    EXPECT_EQ(Bytes(Path("new.vel")), golden);

    Add("TestSource");
    ASSERT_EQ(song->Open(Path("new.vel").c_str()), 1);
    EXPECT_EQ(song->num_machines, 1);
    EXPECT_EQ(song->machines[0]->addon_name, "Master");
    EXPECT_EQ(song->machines[0]->num_in_machines, 0);
    EXPECT_TRUE(ShownErrors().empty());
}

TEST_F(SongFile, SaveOpenSaveGivesIdenticalBytes) {
    BuildGraph();
    song->title = "Round trip";
    song->loop = 1;
    song->start_pos = 3;
    song->stop_pos = 9;
    song->main_tempo = 140;
    song->solo_machine = 2;
    for (int slot : {7, 3}) {
        Addon* made = instrument_roster.Create("TestInstrument");
        song->instruments[slot] = dynamic_cast<Instrument*>(made);
        song->instruments[slot].load()->SetName(slot == 3 ? "Three" : "Seven");
    }
    song->machines[1]->SetName("Lead");
    song->machines[3]->mute = 1;
    ASSERT_EQ(song->Save(Path("a.vel").c_str()), 1);
    BMessage saved;
    std::vector<char> bytes = Bytes(Path("a.vel"));
    ASSERT_EQ(saved.Unflatten(bytes.data() + 4, ssize_t(bytes.size() - 4)), B_OK);
    int16 first = 0, second = 0;
    saved.FindInt16("instrnr", 0, &first);
    saved.FindInt16("instrnr", 1, &second);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 7);

    song->New();
    ASSERT_EQ(song->Open(Path("a.vel").c_str()), 1);
    EXPECT_EQ(song->title, "Round trip");
    EXPECT_EQ(song->main_tempo, 140);
    EXPECT_EQ(song->stop_pos, 9);
    ASSERT_NE(song->instruments[3].load(), nullptr);
    EXPECT_STREQ(song->instruments[3].load()->GetName(), "Three");
    EXPECT_STREQ(song->instruments[7].load()->GetName(), "Seven");
    EXPECT_EQ(song->instruments[4].load(), nullptr);
    EXPECT_EQ(song->machines[0]->in_vol_left[1], 0.75f);
    EXPECT_EQ(song->machines[3]->mute, 1);
    ASSERT_EQ(song->Save(Path("b.vel").c_str()), 1);
    EXPECT_EQ(Bytes(Path("b.vel")), bytes);
    EXPECT_TRUE(ShownErrors().empty());
}

TEST_F(SongFile, DamagedFilesAreRefusedAndTheSongIsKept) {
    BuildGraph();
    song->title = "Keep me";
    ASSERT_EQ(song->Save(Path("good.vel").c_str()), 1);
    std::vector<char> good = Bytes(Path("good.vel"));
    std::vector<char> garbage(good.begin(), good.begin() + 4);
    garbage.resize(good.size(), 'x');
    const std::vector<std::vector<char>> damaged = {
        {},
        {1, 0},
        std::vector<char>(good.begin(), good.end() - 1),
        [&] {
            auto longer = good;
            longer.push_back(0);
            return longer;
        }(),
        garbage,
    };
    for (size_t i = 0; i < damaged.size(); i++) {
        ShownErrors().clear();
        Write(Path("bad.vel"), damaged[i]);
        EXPECT_EQ(song->Open(Path("bad.vel").c_str()), 0) << i;
        ASSERT_EQ(ShownErrors().size(), 1u) << i;
        EXPECT_NE(ShownErrors()[0].find(Path("bad.vel")), std::string::npos) << ShownErrors()[0];
        EXPECT_EQ(song->title, "Keep me");
        EXPECT_EQ(song->num_machines, 4);
    }
    EXPECT_EQ(song->Open(Path("missing.vel").c_str()), 0);
    EXPECT_EQ(song->num_machines, 4);

    // Steps start at machine 0: a song whose machine 0 is no master is refused too.
    for (const char* first : {"TestSource", ""}) {
        BMessage masterless;
        masterless.AddInt32("num_machines", *first != 0 ? 1 : 0);
        BMessage machine;
        masterless.AddMessage("machine", &machine);
        masterless.AddString("machine_name", first);
        WriteSong(Path("masterless.vel"), masterless);
        EXPECT_EQ(song->Open(Path("masterless.vel").c_str()), 0) << first;
        EXPECT_EQ(song->title, "Keep me");
    }
    // A count that is no single integer counts as absent: the new song keeps its master.
    BMessage odd;
    odd.AddData("num_machines", B_INT32_TYPE, "\1\0\0\0\1\0\0\0", 8);
    WriteSong(Path("odd.vel"), odd);
    ASSERT_EQ(song->Open(Path("odd.vel").c_str()), 1);
    ASSERT_EQ(song->num_machines, 1);
    song->Play();
    Steps(1);
}

TEST_F(SongFile, AFailedSaveLeavesTheOldFile) {
    ASSERT_EQ(song->Save(Path("keep.vel").c_str()), 1);
    std::vector<char> before = Bytes(Path("keep.vel"));
    Add("TestSource");
    fs::create_directory(Path("keep.vel.saving"));  // the temporary file cannot be made
    EXPECT_EQ(song->Save(Path("keep.vel").c_str()), 0);
    EXPECT_EQ(Bytes(Path("keep.vel")), before);
    EXPECT_EQ(song->Save(Path("no/such/folder/x.vel").c_str()), 0);
}

TEST_F(SongFile, MissingKeysTakeTheirDefaults) {
    BMessage file;
    file.AddString("title", "Sparse");
    file.AddInt32("loop", 1);
    WriteSong(Path("sparse.vel"), file);
    song->main_tempo = 99;
    ASSERT_EQ(song->Open(Path("sparse.vel").c_str()), 1);
    EXPECT_EQ(song->title, "Sparse");
    EXPECT_EQ(song->details, "Created by:");
    EXPECT_EQ(song->main_tempo, 120);
    EXPECT_EQ(song->stop_pos, 16);
    EXPECT_EQ(song->loop, 1);
    EXPECT_EQ(song->num_machines, 1);

    BMessage wild;
    wild.AddInt32("main_tempo", 0);
    WriteSong(Path("wild.vel"), wild);
    ASSERT_EQ(song->Open(Path("wild.vel").c_str()), 1);
    EXPECT_EQ(song->main_tempo, Song::kMinTempo);
}

TEST_F(SongFile, OlderLayoutPatternsFeedTheMaster) {
    BMessage file;
    file.AddString("songname", "old");
    file.AddInt32("num_patterns", 2);
    for (int i = 0; i < 2; i++) {
        BMessage pattern;
        pattern.AddInt32("instrument", i);
        file.AddMessage("pattern", &pattern);
        file.AddString("pattern_name", "TestSource");
    }
    WriteSong(Path("old.vel"), file);
    ASSERT_EQ(song->Open(Path("old.vel").c_str()), 1);
    ASSERT_EQ(song->num_machines, 3);
    EXPECT_EQ(song->machines[0]->addon_name, "Master");
    EXPECT_EQ(song->machines[0]->num_in_machines, 2);
    EXPECT_EQ(song->machines[1]->out_machine[0], 0);
    EXPECT_EQ(song->machines[2]->out_machine[0], 0);
}

TEST_F(SongFile, MissingAddOnsAreReportedAndConnectionsFollowTheNewIndices) {
    BuildGraph();
    song->machines[2]->addon_name = "Gone";  // the effect between source and master
    Addon* made = instrument_roster.Create("TestInstrument");
    made->addon_name = "NoSuchInstrument";
    song->instruments[5] = dynamic_cast<Instrument*>(made);
    ASSERT_EQ(song->Save(Path("gone.vel").c_str()), 1);
    ASSERT_EQ(song->Open(Path("gone.vel").c_str()), 1);
    // One report for the whole song.
    EXPECT_EQ(ShownErrors(),
              std::vector<std::string>{
                  "Missing Instrument!\nCan't create the instrument NoSuchInstrument!"
                  "\n\nMissing Machine!\nCan't create the machine Gone!"});
    EXPECT_EQ(song->instruments[5].load(), nullptr);
    ASSERT_EQ(song->num_machines, 3);
    Machine* master = song->machines[0];
    Machine* src = song->machines[1];
    Machine* src2 = song->machines[2];
    EXPECT_EQ(src->num_out_machines, 0);  // its effect is gone
    ASSERT_EQ(master->num_in_machines, 1);
    EXPECT_EQ(master->in_machine[0], 2);
    ASSERT_EQ(src2->num_out_machines, 1);
    EXPECT_EQ(src2->out_machine[0], 0);
}

TEST_F(SongFile, DamagedConnectionListsAreMadeSafeToPull) {
    BuildGraph();
    ASSERT_EQ(song->Save(Path("graph.vel").c_str()), 1);
    BMessage file;
    std::vector<char> bytes = Bytes(Path("graph.vel"));
    ASSERT_EQ(file.Unflatten(bytes.data() + 4, ssize_t(bytes.size() - 4)), B_OK);
    // Rebuild the file with the effect listing the master as an input: a loop.
    BMessage looped;
    for (int32 i = 0; i < 4; i++) {
        BMessage machine;
        file.FindMessage("machine", i, &machine);
        if (i == 2) {
            BMessage changed;
            machine.RemoveName("Machine::num_in_machines");
            changed = machine;
            changed.AddInt32("Machine::num_in_machines", 2);
            changed.AddInt32("Machine::in_machine", 0);
            changed.AddInt32("Machine::in_machine", 77);
            machine = changed;
        }
        looped.AddMessage("machine", &machine);
    }
    looped.AddInt32("num_machines", 4);
    for (const char* name : {"Master", "TestSource", "TestEffect", "TestSource"}) {
        looped.AddString("machine_name", name);
    }
    WriteSong(Path("looped.vel"), looped);
    ASSERT_EQ(song->Open(Path("looped.vel").c_str()), 1);
    song->Play();
    Steps(2);  // would recurse forever or read outside the table without the repair
    for (int32 id = 0; id < song->num_machines; id++) {
        const Machine* m = song->machines[id];
        for (int32 i = 0; i < m->num_in_machines; i++) {
            EXPECT_GE(m->in_machine[i], 0);
            EXPECT_LT(m->in_machine[i], song->num_machines);
            EXPECT_EQ(CheckForLoopErrors(song->machines[m->in_machine[i]], m), 0);
        }
    }
}
