#include "platform/storage/entry.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/platform/storage/temp_dir.h"

TEST(Entry, TellsFilesFoldersAndMissingEntriesApart) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    BEntry file(dir.Write("file", "x").c_str());
    BEntry folder(dir.Path("folder").c_str());
    BEntry missing(dir.Path("missing").c_str());
    ASSERT_EQ(missing.InitCheck(), B_OK);
    EXPECT_TRUE(file.Exists());
    EXPECT_TRUE(file.IsFile());
    EXPECT_FALSE(file.IsDirectory());
    EXPECT_TRUE(folder.IsDirectory());
    EXPECT_FALSE(folder.IsFile());
    EXPECT_FALSE(missing.Exists());
    EXPECT_FALSE(missing.IsFile());
    EXPECT_FALSE(BEntry().Exists());
}

TEST(Entry, LinksExistEvenWhenDangling) {
    TempDir dir;
    std::filesystem::create_symlink(dir.Path("nowhere"), dir.Path("link"));
    BEntry link(dir.Path("link").c_str());
    EXPECT_TRUE(link.Exists());
    EXPECT_FALSE(link.IsFile());
}

TEST(Entry, NamesRefsPathsAndParents) {
    BEntry entry("/songs/demo.vel");
    entry_ref ref;
    BPath path;
    std::string name;
    char buffer[9];
    ASSERT_EQ(entry.GetRef(&ref), B_OK);
    EXPECT_EQ(ref.path, "/songs/demo.vel");
    ASSERT_EQ(entry.GetPath(&path), B_OK);
    EXPECT_STREQ(path.Path(), "/songs/demo.vel");
    ASSERT_EQ(entry.GetName(&name), B_OK);
    EXPECT_EQ(name, "demo.vel");
    ASSERT_EQ(entry.GetName(buffer, sizeof buffer), B_OK);
    EXPECT_STREQ(buffer, "demo.vel");
    EXPECT_EQ(entry.GetName(buffer, 8), B_BAD_VALUE);

    BEntry parent;
    ASSERT_EQ(entry.GetParent(&parent), B_OK);
    ASSERT_EQ(parent.GetRef(&ref), B_OK);
    EXPECT_EQ(ref.path, "/songs");
    ASSERT_EQ(parent.GetParent(&parent), B_OK);
    EXPECT_EQ(parent.GetParent(&parent), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(BEntry(&ref).InitCheck(), B_OK);
    EXPECT_EQ(BEntry().GetRef(&ref), B_BAD_VALUE);
    EXPECT_EQ(BEntry().GetName(&name), B_BAD_VALUE);
}

TEST(Entry, RemovesFilesAndEmptyFolders) {
    TempDir dir;
    BEntry file(dir.Write("file", "x").c_str());
    ASSERT_EQ(file.Remove(), B_OK);
    EXPECT_FALSE(file.Exists());
    EXPECT_EQ(file.Remove(), B_ENTRY_NOT_FOUND);

    std::filesystem::create_directories(dir.Path("full/inner"));
    BEntry full(dir.Path("full").c_str());
    EXPECT_EQ(full.Remove(), B_NOT_ALLOWED);
    BEntry inner(dir.Path("full/inner").c_str());
    ASSERT_EQ(inner.Remove(), B_OK);
    ASSERT_EQ(full.Remove(), B_OK);
    EXPECT_FALSE(full.Exists());
}

TEST(Entry, RenamesWithinItsFolderOrAnywhere) {
    TempDir dir;
    BEntry entry(dir.Write("old", "song").c_str());
    ASSERT_EQ(entry.Rename("new"), B_OK);
    std::string name;
    entry.GetName(&name);
    EXPECT_EQ(name, "new");
    EXPECT_EQ(TempDir::Read(dir.Path("new")), "song");
    EXPECT_FALSE(BEntry(dir.Path("old").c_str()).Exists());

    std::filesystem::create_directory(dir.Path("sub"));
    ASSERT_EQ(entry.Rename(dir.Path("sub/moved").c_str()), B_OK);
    EXPECT_TRUE(BEntry(dir.Path("sub/moved").c_str()).IsFile());
    EXPECT_EQ(entry.Rename(""), B_BAD_VALUE);
}

TEST(Entry, RenameKeepsAnExistingTargetUnlessClobbering) {
    TempDir dir;
    BEntry entry(dir.Write("a", "first").c_str());
    dir.Write("b", "second");
    EXPECT_EQ(entry.Rename("b"), B_FILE_EXISTS);
    EXPECT_EQ(TempDir::Read(dir.Path("b")), "second");
    ASSERT_EQ(entry.Rename("b", true), B_OK);
    EXPECT_EQ(TempDir::Read(dir.Path("b")), "first");
    BEntry missing(dir.Path("missing").c_str());
    EXPECT_EQ(missing.Rename("other"), B_ENTRY_NOT_FOUND);
}
