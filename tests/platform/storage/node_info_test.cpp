#include "platform/storage/node_info.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/storage/file.h"
#include "tests/platform/storage/temp_dir.h"

namespace {

// The four-byte header of a song file, then the start of a flattened message.
const std::string kSongBytes = std::string("VSNG1BOF", 8) + std::string(24, '\0');

std::string TypeOf(const std::string& path) {
    BNode node(path.c_str());
    BNodeInfo info(&node);
    std::string type;
    EXPECT_EQ(info.GetType(&type), B_OK) << path;
    return type;
}

}  // namespace

TEST(NodeInfo, TypeGoesThroughTheFreedesktopAttribute) {
    TempDir dir;
    BNode node(dir.Write("song", "plain words").c_str());
    BNodeInfo info(&node);
    ASSERT_EQ(info.InitCheck(), B_OK);
    ASSERT_EQ(info.SetType("audio/x-velloran-test"), B_OK);
    std::string stored;
    ASSERT_EQ(node.ReadAttrString("user.mime_type", &stored), B_OK);
    EXPECT_EQ(stored, "audio/x-velloran-test");
    EXPECT_EQ(TypeOf(dir.Path("song")), "audio/x-velloran-test");
    char type[B_MIME_TYPE_LENGTH];
    ASSERT_EQ(info.GetType(type), B_OK);
    EXPECT_STREQ(type, "audio/x-velloran-test");

    ASSERT_EQ(info.SetType(nullptr), B_OK);
    EXPECT_EQ(node.ReadAttrString("user.mime_type", &stored), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(info.SetType(nullptr), B_OK);
}

TEST(NodeInfo, ReadsTypesOthersStored) {
    TempDir dir;
    BNode node(dir.Write("notes.txt", "plain words").c_str());
    // A type stored with its NUL, as some programs do.
    node.WriteAttr("user.mime_type", "image/png", 10);
    EXPECT_EQ(TypeOf(dir.Path("notes.txt")), "image/png");
    // A value that is no type at all is passed over.
    node.WriteAttr("user.mime_type", "rubbish", 7);
    EXPECT_EQ(TypeOf(dir.Path("notes.txt")), "text/plain");
}

TEST(NodeInfo, RefusesMalformedTypes) {
    TempDir dir;
    BNode node(dir.Write("song", "").c_str());
    BNodeInfo info(&node);
    for (const char* bad : {"", "audio", "/x", "audio/", "a/b/c", "audio/x y", "audio/\x7f"}) {
        EXPECT_EQ(info.SetType(bad), B_BAD_VALUE) << bad;
    }
    EXPECT_EQ(info.SetType(("audio/" + std::string(250, 'x')).c_str()), B_BAD_VALUE);
    std::string stored;
    EXPECT_EQ(node.ReadAttrString("user.mime_type", &stored), B_ENTRY_NOT_FOUND);
}

// MIDI files by their signature or their name, so the importer is found for them, whatever
// the desktop's database holds; a damaged one then hears from the importer what is wrong.
TEST(NodeInfo, SniffsMidiFiles) {
    TempDir dir;
    EXPECT_EQ(TypeOf(dir.Write("tune", std::string("MThd\0\0\0\6", 8))), "audio/midi");
    EXPECT_EQ(TypeOf(dir.Write("cut.mid", "MT")), "audio/midi");
    EXPECT_EQ(TypeOf(dir.Write("empty.midi", "")), "audio/midi");
    EXPECT_NE(TypeOf(dir.Write("notes.txt", "xMThd")), "audio/midi");
}

TEST(NodeInfo, SniffsSongFiles) {
    TempDir dir;
    EXPECT_EQ(TypeOf(dir.Write("demo", kSongBytes)), "audio/VelloranFile");
    // The signature wins over a misleading name.
    EXPECT_EQ(TypeOf(dir.Write("demo.txt", kSongBytes)), "audio/VelloranFile");
    // At byte 0 it is no song.
    EXPECT_NE(TypeOf(dir.Write("message", "1BOF" + std::string(28, '\0'))), "audio/VelloranFile");
    EXPECT_NE(TypeOf(dir.Write("short", "VSNG1BO")), "audio/VelloranFile");
    // A damaged song keeps its name's type, so its own reader says what is wrong with it.
    EXPECT_EQ(TypeOf(dir.Write("broken.vel", std::string("\x9c\x01\xfe\xff\x10\x80\0\x07", 8))),
              "audio/VelloranFile");
    EXPECT_NE(TypeOf(dir.Write(".vel", "x")), "audio/VelloranFile");
}

TEST(NodeInfo, FallsBackOnTheSharedMimeDatabase) {
    TempDir dir;
    EXPECT_EQ(TypeOf(dir.Write("notes.txt", "some plain words\n")), "text/plain");
    std::string wave = std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(28, '\0');
    // Newer MIME databases name WAVE audio differently.
    std::string waveType = TypeOf(dir.Write("beep.wav", wave));
    EXPECT_TRUE(waveType == "audio/x-wav" || waveType == "audio/vnd.wave") << waveType;
    // Content alone decides for a file without a known name.
    EXPECT_EQ(TypeOf(dir.Write("picture", std::string("\x89PNG\r\n\x1a\n", 8) + "rest")),
              "image/png");
    EXPECT_EQ(TypeOf(dir.Write("blob", std::string("\0\x01\xfe\xff\x10\x80\0\x07", 8))),
              "application/octet-stream");
    std::filesystem::create_directory(dir.Path("folder"));
    EXPECT_EQ(TypeOf(dir.Path("folder")), "inode/directory");
}

TEST(NodeInfo, NameDecidesWhenTheContentCannotBeRead) {
    TempDir dir;
    BFile file(dir.Path("notes.txt").c_str(), B_WRITE_ONLY | B_CREATE_FILE);
    file.Write(kSongBytes.data(), kSongBytes.size());
    BNodeInfo info(&file);
    std::string type;
    ASSERT_EQ(info.GetType(&type), B_OK);
    EXPECT_EQ(type, "text/plain");
}

TEST(NodeInfo, NeedsAnOpenNode) {
    BNode missing("/nonexistent/velloran");
    BNodeInfo info(&missing);
    std::string type;
    EXPECT_EQ(info.InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(info.GetType(&type), B_BAD_VALUE);
    EXPECT_EQ(info.SetType("text/plain"), B_BAD_VALUE);
    EXPECT_EQ(BNodeInfo().SetTo(nullptr), B_BAD_VALUE);
}
