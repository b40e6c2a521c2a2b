#include "engine/roster.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/importer.h"
#include "engine/rosters.h"
#include "tests/engine/engine_environment.h"

namespace {

namespace fs = std::filesystem;

using Rosters = EngineTest;

}  // namespace

TEST_F(Rosters, ScanListsEveryEntryAndFindMatchesExactly) {
    EXPECT_EQ(machine_roster.count, 6);
    EXPECT_GE(machine_roster.Find("TestSource"), 0);
    EXPECT_GE(machine_roster.Find("NotALibrary"), 0);
    EXPECT_EQ(machine_roster.Find("testsource"), -1);
    EXPECT_EQ(machine_roster.Find("Test"), -1);
    int index = machine_roster.Find("TestEffect");
    EXPECT_STREQ(machine_roster.GetName(index), "TestEffect");
    EXPECT_EQ(machine_roster.paths[index], "machines/TestEffect");
    EXPECT_EQ(machine_roster.GetName(99), nullptr);
    EXPECT_EQ(instrument_roster.count, 1);
}

TEST_F(Rosters, ImportersAreFoundByTheTypesTheyRead) {
    ASSERT_EQ(importer_roster.count, 1);
    EXPECT_EQ(FindImporter("audio/x-velloran-other"), 0);
    EXPECT_EQ(FindImporter("audio/x-midi"), -1);
    EXPECT_EQ(FindImporter(nullptr), -1);
    auto* importer = dynamic_cast<Importer*>(importer_roster.Create("TestImporter"));
    ASSERT_NE(importer, nullptr);
    importer->Open("/songs/imported.tst");
    EXPECT_EQ(song->title, "/songs/imported.tst");
    delete importer;

    Roster empty;
    std::filesystem::create_directories("add-ons/empty");
    empty.Scan("empty");
    EXPECT_EQ(empty.count, 0);
    EXPECT_TRUE(ShownErrors().empty());
}

TEST_F(Rosters, LibrariesLoadOnceAndDescribeThemselves) {
    Roster roster;
    roster.Scan("machines");
    int index = roster.Find("TestSource");
    ASSERT_GE(index, 0);
    EXPECT_EQ(roster.objects[index], nullptr);
    Addon* a = roster.Create("TestSource");
    SharedObject* loaded = roster.objects[index];
    Addon* b = roster.Create("TestSource");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(roster.objects[index], loaded);
    EXPECT_GT(loaded->handle, 0);
    EXPECT_EQ(b->addon_name, "TestSource");
    BMessage* info = roster.GetInfo(index);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(roster.GetInfo(index), info);
    std::string text;
    EXPECT_EQ(info->FindString("info", &text), B_OK);
    EXPECT_EQ(text, "Test source");
    delete a;
    delete b;
}

TEST_F(Rosters, AnEntryThatIsNoLibraryFailsOnlyWhenAskedFor) {
    Roster roster;
    roster.Scan("machines");
    int index = roster.Find("NotALibrary");
    EXPECT_EQ(roster.Create("NotALibrary"), nullptr);
    EXPECT_EQ(roster.GetInfo(index), nullptr);
    ASSERT_NE(roster.objects[index], nullptr);
    EXPECT_LE(roster.objects[index]->handle, 0);
    void* symbol = nullptr;
    EXPECT_FALSE(roster.objects[index]->GetObject("CreateAddon", &symbol));
    EXPECT_EQ(roster.Create("Nothing"), nullptr);
    EXPECT_EQ(roster.GetInfo(-1), nullptr);
}

TEST_F(Rosters, AFolderKeepsTwoHundredEntriesAndSkipsOverlongNames) {
    fs::path root = fs::temp_directory_path() / ("velloran-roster-" + std::to_string(getpid()));
    fs::create_directories(root / "add-ons" / "many");
    for (int i = 0; i < 205; i++) std::ofstream(root / "add-ons" / "many" / std::to_string(i));
    std::ofstream(root / "add-ons" / "many" / std::string(150, 'n'));
    std::ofstream(root / "add-ons" / "many" / std::string(149, 'n'));
    fs::path before = fs::current_path();
    fs::current_path(root);
    Roster roster;
    roster.Scan("many");
    EXPECT_EQ(roster.count, Roster::kMaxEntries);
    for (int32 i = 0; i < roster.count; i++) EXPECT_LT(roster.names[i].size(), 150u);
    roster.Scan("absent");
    EXPECT_EQ(roster.count, 0);
    fs::current_path(before);
    fs::remove_all(root);
    ASSERT_EQ(ShownErrors().size(), 1u);
    EXPECT_EQ(ShownErrors()[0], "Can't scan the directory: ./add-ons/absent/");
}
