#include "platform/storage/file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/platform/storage/temp_dir.h"

namespace {

std::string ReadAll(BFile* file, size_t size) {
    std::string bytes(size, '\0');
    ssize_t read = file->Read(bytes.data(), size);
    bytes.resize(read > 0 ? size_t(read) : 0);
    return bytes;
}

}  // namespace

TEST(File, WritesReadsAndSeeks) {
    TempDir dir;
    BFile file(dir.Path("song").c_str(), B_READ_WRITE | B_CREATE_FILE);
    ASSERT_EQ(file.InitCheck(), B_OK);
    ASSERT_EQ(file.Write("0123456789", 10), 10);
    EXPECT_EQ(file.Position(), 10);
    EXPECT_EQ(file.Seek(2, SEEK_SET), 2);
    EXPECT_EQ(ReadAll(&file, 3), "234");
    EXPECT_EQ(file.Seek(-2, SEEK_END), 8);
    EXPECT_EQ(ReadAll(&file, 10), "89");
    EXPECT_EQ(ReadAll(&file, 10), "");
    EXPECT_EQ(file.Seek(-4, SEEK_CUR), 6);
    EXPECT_EQ(file.Seek(0, 7), B_BAD_VALUE);
    EXPECT_EQ(file.Seek(-1, SEEK_SET), B_BAD_VALUE);
    EXPECT_EQ(file.Sync(), B_OK);
    EXPECT_EQ(TempDir::Read(dir.Path("song")), "0123456789");
}

TEST(File, PositionedTransfersLeaveThePositionAlone) {
    TempDir dir;
    BFile file(dir.Path("song").c_str(), B_READ_WRITE | B_CREATE_FILE);
    ASSERT_EQ(file.Write("abcdef", 6), 6);
    ASSERT_EQ(file.Seek(1, SEEK_SET), 1);
    ASSERT_EQ(file.WriteAt(4, "XYZ", 3), 3);
    char buffer[8] = {};
    ASSERT_EQ(file.ReadAt(2, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "cdXYZ");
    EXPECT_EQ(file.Position(), 1);
    EXPECT_EQ(file.ReadAt(100, buffer, 4), 0);
    EXPECT_EQ(file.ReadAt(-1, buffer, 4), B_BAD_VALUE);
    EXPECT_EQ(file.WriteAt(-1, buffer, 4), B_BAD_VALUE);
}

TEST(File, SetSizeCutsAndExtendsWithZeros) {
    TempDir dir;
    BFile file(dir.Path("song").c_str(), B_READ_WRITE | B_CREATE_FILE);
    file.Write("abcdef", 6);
    off_t size = 0;
    ASSERT_EQ(file.GetSize(&size), B_OK);
    EXPECT_EQ(size, 6);
    ASSERT_EQ(file.SetSize(3), B_OK);
    ASSERT_EQ(file.SetSize(5), B_OK);
    ASSERT_EQ(file.GetSize(&size), B_OK);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(TempDir::Read(dir.Path("song")), std::string("abc\0\0", 5));
    EXPECT_EQ(file.SetSize(-1), B_BAD_VALUE);
    EXPECT_EQ(file.GetSize(nullptr), B_BAD_VALUE);
}

TEST(File, OpenModes) {
    TempDir dir;
    std::string path = dir.Write("song", "old");
    {
        BFile file(path.c_str(), B_WRITE_ONLY | B_OPEN_AT_END);
        ASSERT_EQ(file.Write("+new", 4), 4);
    }
    EXPECT_EQ(TempDir::Read(path), "old+new");
    {
        BFile file(path.c_str(), B_WRITE_ONLY | B_ERASE_FILE);
        ASSERT_EQ(file.InitCheck(), B_OK);
    }
    EXPECT_EQ(TempDir::Read(path), "");
    BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS);
    EXPECT_EQ(file.InitCheck(), B_FILE_EXISTS);
    EXPECT_EQ(file.SetTo(dir.Path("fresh").c_str(), B_WRITE_ONLY | B_FAIL_IF_EXISTS), B_OK);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.Path("fresh")));
    entry_ref ref(path);
    EXPECT_EQ(BFile(&ref, B_READ_ONLY).InitCheck(), B_OK);
}

TEST(File, OpenErrors) {
    TempDir dir;
    BFile file(dir.Path("missing").c_str(), B_READ_ONLY);
    EXPECT_EQ(file.InitCheck(), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(file.SetTo(dir.Path("missing/inner").c_str(), B_READ_WRITE | B_CREATE_FILE),
              B_ENTRY_NOT_FOUND);
    EXPECT_EQ(file.SetTo(dir.Path().c_str(), B_READ_ONLY), B_BAD_TYPE);
    EXPECT_EQ(file.SetTo(dir.Path().c_str(), B_READ_WRITE), B_BAD_TYPE);
    std::string path = dir.Write("song", "x");
    EXPECT_EQ(file.SetTo(path.c_str(), 3), B_BAD_VALUE);
    EXPECT_EQ(file.SetTo(path.c_str(), B_READ_ONLY | 0x8000), B_BAD_VALUE);
    EXPECT_EQ(file.SetTo(path.c_str(), B_READ_ONLY | B_ERASE_FILE), B_BAD_VALUE);
    EXPECT_EQ(TempDir::Read(path), "x");
    EXPECT_EQ(file.SetTo(static_cast<const char*>(nullptr), B_READ_ONLY), B_BAD_VALUE);
    std::filesystem::permissions(path, std::filesystem::perms::none);
    // Root may open anything, so the denial is only checked for other users.
    if (geteuid() != 0) {
        EXPECT_EQ(file.SetTo(path.c_str(), B_READ_ONLY), B_NOT_ALLOWED);
    }
}

TEST(File, TransfersFailOnTheWrongAccessOrNoFile) {
    TempDir dir;
    std::string path = dir.Write("song", "abc");
    char buffer[4];
    BFile reader(path.c_str(), B_READ_ONLY);
    EXPECT_EQ(reader.Write("x", 1), B_BAD_VALUE);
    BFile writer(path.c_str(), B_WRITE_ONLY);
    EXPECT_EQ(writer.Read(buffer, 1), B_BAD_VALUE);
    BFile none;
    EXPECT_EQ(none.InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(none.Read(buffer, 1), B_BAD_VALUE);
    EXPECT_EQ(none.Position(), B_BAD_VALUE);
    EXPECT_EQ(none.Sync(), B_BAD_VALUE);
    off_t size;
    EXPECT_EQ(none.GetSize(&size), B_BAD_VALUE);
}

TEST(Node, AttributesRoundTrip) {
    TempDir dir;
    BNode node(dir.Write("song", "").c_str());
    ASSERT_EQ(node.InitCheck(), B_OK);
    const char value[] = {'a', '\0', 'b', '\xff'};
    ASSERT_EQ(node.WriteAttr("user.velloran.test", value, sizeof value), 4);
    char buffer[8];
    ASSERT_EQ(node.ReadAttr("user.velloran.test", buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), std::string(value, 4));
    EXPECT_EQ(node.ReadAttr("user.velloran.test", buffer, 3), B_BAD_VALUE);
    EXPECT_EQ(node.ReadAttr("user.velloran.test", nullptr, 0), B_BAD_VALUE);

    // Another node on the same file sees the value.
    BNode other(dir.Path("song").c_str());
    std::string text;
    ASSERT_EQ(other.ReadAttrString("user.velloran.test", &text), B_OK);
    EXPECT_EQ(text, std::string(value, 4));

    ASSERT_EQ(node.RemoveAttr("user.velloran.test"), B_OK);
    EXPECT_EQ(node.ReadAttr("user.velloran.test", buffer, sizeof buffer), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(node.ReadAttrString("user.velloran.test", &text), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(node.RemoveAttr("user.velloran.test"), B_ENTRY_NOT_FOUND);
}

TEST(Node, LargeAndEmptyAttributes) {
    TempDir dir;
    BNode node(dir.Write("song", "").c_str());
    std::string large(3000, 'q');
    ASSERT_EQ(node.WriteAttr("user.velloran.large", large.data(), large.size()), 3000);
    std::string read;
    ASSERT_EQ(node.ReadAttrString("user.velloran.large", &read), B_OK);
    EXPECT_EQ(read, large);
    ASSERT_EQ(node.WriteAttr("user.velloran.empty", nullptr, 0), 0);
    ASSERT_EQ(node.ReadAttrString("user.velloran.empty", &read), B_OK);
    EXPECT_EQ(read, "");
}

TEST(Node, AttributeErrors) {
    TempDir dir;
    BNode node(dir.Write("song", "").c_str());
    // Names outside a namespace are not attribute names at all.
    EXPECT_EQ(node.WriteAttr("mime_type", "x", 1), B_NOT_SUPPORTED);
    EXPECT_EQ(node.WriteAttr(nullptr, "x", 1), B_BAD_VALUE);
    EXPECT_EQ(node.WriteAttr("user.x", nullptr, 1), B_BAD_VALUE);
    EXPECT_EQ(node.ReadAttrString("user.x", nullptr), B_BAD_VALUE);
    BNode missing(dir.Path("missing").c_str());
    EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(missing.WriteAttr("user.x", "x", 1), B_BAD_VALUE);
    struct stat info;
    EXPECT_EQ(missing.GetStat(&info), B_BAD_VALUE);
}
