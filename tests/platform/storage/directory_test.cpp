#include "platform/storage/directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <vector>

#include "tests/platform/storage/temp_dir.h"

namespace {

std::vector<std::string> WalkNames(BDirectory* directory) {
    std::vector<std::string> names;
    BEntry entry;
    std::string name;
    while (directory->GetNextEntry(&entry) == B_OK) {
        entry.GetName(&name);
        names.push_back(name);
    }
    return names;
}

}  // namespace

TEST(Directory, ListsEveryEntryInReaddirOrderWithoutDots) {
    TempDir dir;
    std::set<std::string> made;
    for (int i = 0; i < 40; i++) made.insert(dir.Write("song" + std::to_string(i), "x"));
    std::filesystem::create_directory(dir.Path("sub"));
    std::filesystem::create_symlink("song1", dir.Path("link"));
    std::vector<std::string> expected;
    for (const auto& item : std::filesystem::directory_iterator(dir.Path())) {
        expected.push_back(item.path().filename().string());
    }

    BDirectory directory(dir.Path().c_str());
    ASSERT_EQ(directory.InitCheck(), B_OK);
    EXPECT_EQ(directory.CountEntries(), 42);
    std::vector<std::string> names = WalkNames(&directory);
    EXPECT_EQ(names, expected);
    EXPECT_EQ(std::count(names.begin(), names.end(), "."), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), ".."), 0);
    BEntry entry;
    EXPECT_EQ(directory.GetNextEntry(&entry), B_ENTRY_NOT_FOUND);
}

TEST(Directory, RewindsAndCountsWithoutDisturbingTheWalk) {
    TempDir dir;
    for (const char* name : {"a", "b", "c"}) dir.Write(name, "");
    BDirectory directory(dir.Path().c_str());
    entry_ref first, second;
    ASSERT_EQ(directory.GetNextRef(&first), B_OK);
    EXPECT_EQ(first.path.rfind(dir.Path() + "/", 0), 0u) << first.path;
    EXPECT_EQ(directory.CountEntries(), 3);
    ASSERT_EQ(directory.GetNextRef(&second), B_OK);
    EXPECT_NE(first, second);
    ASSERT_EQ(directory.Rewind(), B_OK);
    entry_ref again;
    ASSERT_EQ(directory.GetNextRef(&again), B_OK);
    EXPECT_EQ(again, first);
    EXPECT_EQ(WalkNames(&directory).size(), 2u);
}

TEST(Directory, EmptyFolderHasNoEntries) {
    TempDir dir;
    BDirectory directory(dir.Path().c_str());
    entry_ref ref;
    EXPECT_EQ(directory.CountEntries(), 0);
    EXPECT_EQ(directory.GetNextRef(&ref), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(directory.GetNextRef(nullptr), B_BAD_VALUE);
}

TEST(Directory, RefusesFilesAndMissingFolders) {
    TempDir dir;
    BDirectory directory(dir.Write("file", "x").c_str());
    EXPECT_EQ(directory.InitCheck(), B_BAD_TYPE);
    EXPECT_EQ(directory.SetTo(dir.Path("missing").c_str()), B_ENTRY_NOT_FOUND);
    entry_ref ref;
    EXPECT_EQ(directory.GetNextRef(&ref), B_BAD_VALUE);
    EXPECT_EQ(directory.Rewind(), B_BAD_VALUE);
    EXPECT_EQ(directory.CountEntries(), B_ENTRY_NOT_FOUND);
}

TEST(Directory, CarriesAttributesLikeAnyNode) {
    TempDir dir;
    BDirectory directory(dir.Path().c_str());
    ASSERT_EQ(directory.WriteAttr("user.velloran.test", "on", 2), 2);
    std::string value;
    ASSERT_EQ(directory.ReadAttrString("user.velloran.test", &value), B_OK);
    EXPECT_EQ(value, "on");
}
