#include "platform/storage/path.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(Path, KeepsPathsInNormalForm) {
    EXPECT_STREQ(BPath("/a//b/./c/../d/").Path(), "/a/b/d");
    EXPECT_STREQ(BPath("/../..").Path(), "/");
    EXPECT_STREQ(BPath("/").Path(), "/");
    EXPECT_STREQ(BPath("/a/b/..").Path(), "/a");
    std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(BPath("x/./y").Path(), here + "/x/y");
    EXPECT_EQ(BPath(".").Path(), here);
}

TEST(Path, JoinsFolderAndLeaf) {
    BPath path("/songs", "new/../demo.vel");
    ASSERT_EQ(path.InitCheck(), B_OK);
    EXPECT_STREQ(path.Path(), "/songs/demo.vel");
    EXPECT_STREQ(path.Leaf(), "demo.vel");
    EXPECT_EQ(path.SetTo("/songs", "/etc"), B_BAD_VALUE);
    EXPECT_EQ(path.InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(path.Path(), nullptr);
    EXPECT_EQ(path.Leaf(), nullptr);
    EXPECT_EQ(path.SetTo("/songs", ""), B_BAD_VALUE);
    EXPECT_EQ(path.SetTo(static_cast<const char*>(nullptr)), B_BAD_VALUE);
    EXPECT_EQ(path.SetTo(""), B_BAD_VALUE);
    EXPECT_EQ(BPath().InitCheck(), B_BAD_VALUE);
}

TEST(Path, LeafAndParent) {
    BPath path("/a/b");
    BPath parent;
    EXPECT_STREQ(path.Leaf(), "b");
    ASSERT_EQ(path.GetParent(&parent), B_OK);
    EXPECT_STREQ(parent.Path(), "/a");
    ASSERT_EQ(parent.GetParent(&parent), B_OK);
    EXPECT_STREQ(parent.Path(), "/");
    EXPECT_STREQ(parent.Leaf(), "");
    EXPECT_EQ(parent.GetParent(&parent), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(BPath().GetParent(&parent), B_BAD_VALUE);
    EXPECT_EQ(path.GetParent(nullptr), B_BAD_VALUE);
}

TEST(Path, AppendsRelativePathsOnly) {
    BPath path("/a");
    ASSERT_EQ(path.Append("b/../c"), B_OK);
    EXPECT_STREQ(path.Path(), "/a/c");
    EXPECT_EQ(path.Append("/x"), B_BAD_VALUE);
    EXPECT_EQ(path.Append(nullptr), B_BAD_VALUE);
    EXPECT_STREQ(path.Path(), "/a/c");
    EXPECT_EQ(BPath().Append("x"), B_BAD_VALUE);
}

TEST(Path, ArgumentsMayPointIntoThePathItself) {
    BPath path("/a/b");
    ASSERT_EQ(path.Append(path.Leaf()), B_OK);
    EXPECT_STREQ(path.Path(), "/a/b/b");
    ASSERT_EQ(path.SetTo(path.Path(), path.Leaf()), B_OK);
    EXPECT_STREQ(path.Path(), "/a/b/b/b");
}

TEST(Path, RefsAndComparison) {
    entry_ref ref("/songs/./demo.vel");
    BPath path(&ref);
    EXPECT_STREQ(path.Path(), "/songs/demo.vel");
    EXPECT_EQ(path, BPath("/songs//demo.vel"));
    EXPECT_TRUE(path == "/songs/demo.vel");
    EXPECT_FALSE(path == nullptr);
    EXPECT_FALSE(path == BPath("/songs"));
    EXPECT_EQ(path.SetTo(static_cast<const entry_ref*>(nullptr)), B_BAD_VALUE);
    EXPECT_EQ(path, BPath());
}
