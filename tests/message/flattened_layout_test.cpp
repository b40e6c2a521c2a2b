#include <gtest/gtest.h>

#include "message/message.h"
#include "tests/hex_file.h"

namespace {

std::vector<char> Flat(const BMessage& m) {
    std::vector<char> bytes(size_t(m.FlattenedSize()));
    EXPECT_EQ(m.Flatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    return bytes;
}

uint32 Word(const std::vector<char>& bytes, size_t at) {
    auto p = reinterpret_cast<const uint8*>(bytes.data() + at);
    return uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16 | uint32(p[3]) << 24;
}

}  // namespace

TEST(FlattenedLayout, SongShapedMessageMatchesTheHandMadeBytes) {
    BMessage machine(0);
    machine.AddFloat("vol", 1.0f);
    machine.AddBool("mute", false);
    BMessage song('SONG');
    song.AddInt32("tempo", 120);
    song.AddString("name", "abc");
    song.AddMessage("machine", &machine);
    int32 notes[2] = {1, 2};
    song.AddData("notes", B_INT32_TYPE, notes, sizeof notes);
    song.AddInt32("ids", 7);
    song.AddInt32("ids", -1);

    std::vector<char> golden = ReadHex(TEST_SOURCE_DIR "/data/song_shaped.hex");
    ASSERT_EQ(golden.size(), 154u);
    EXPECT_EQ(song.FlattenedSize(), 154);
    EXPECT_EQ(Flat(song), golden);

    BMessage read;
    ASSERT_EQ(read.Unflatten(golden.data(), ssize_t(golden.size())), B_OK);
    EXPECT_EQ(read, song);
    EXPECT_EQ(read.what, uint32('SONG'));
}

TEST(FlattenedLayout, ChecksumAddsTheHeaderWordsReadBigEndian) {
    // 17 header + 1 terminator + 11 field head ("d", 4-byte size, single) + 1361 data = 1390.
    std::vector<char> data(1361, 'x');
    BMessage m(0);
    m.AddData("d", B_RAW_TYPE, data.data(), ssize_t(data.size()));
    std::vector<char> bytes = Flat(m);
    ASSERT_EQ(bytes.size(), 1390u);
    EXPECT_EQ(Word(bytes, 4), 0x6E050001u);
    EXPECT_EQ(Word(bytes, 8), 1390u);
    // valid|fixed|single: the 1361-byte size does not fit the small form.
    EXPECT_EQ(uint8(bytes[17]), 0x0D);
    EXPECT_EQ(Word(bytes, 22), 1361u);
}

TEST(FlattenedLayout, TextItemsArePaddedToEightBytesFromTheLengthWord) {
    BMessage three, four;
    three.AddString("t", "abc");
    four.AddString("t", "abcd");
    std::vector<char> a = Flat(three);
    std::vector<char> b = Flat(four);
    // header 17, field head 1+4+1+1+1 = 8, terminator 1
    EXPECT_EQ(a.size(), 17u + 8 + 8 + 1);
    EXPECT_EQ(b.size(), 17u + 8 + 16 + 1);
    EXPECT_EQ(uint8(a[17 + 5]), 8);
    EXPECT_EQ(uint8(b[17 + 5]), 16);
    EXPECT_EQ(Word(b, 25), 5u);
    EXPECT_EQ(std::string(b.data() + 29, 5), std::string("abcd\0", 5));
    EXPECT_EQ(std::string(b.data() + 34, 7), std::string(7, '\0'));

    BMessage empty;
    empty.AddString("t", "");
    std::vector<char> e = Flat(empty);
    EXPECT_EQ(Word(e, 25), 1u);
    EXPECT_EQ(e.size(), 17u + 8 + 8 + 1);
}

TEST(FlattenedLayout, ThreeHundredTextsUseFourByteCountAndSize) {
    BMessage m;
    for (int i = 0; i < 300; i++) m.AddString("names", "abc");
    std::vector<char> bytes = Flat(m);
    EXPECT_EQ(uint8(bytes[17]), 0x01);  // valid only: neither small, fixed nor single
    EXPECT_EQ(Word(bytes, 18), uint32(four_cc("CSTR")));
    EXPECT_EQ(Word(bytes, 22), 300u);
    EXPECT_EQ(Word(bytes, 26), 300u * 8);
    EXPECT_EQ(uint8(bytes[30]), 5);
    EXPECT_EQ(bytes.size(), 17u + 14 + 5 + 2400 + 1);
    BMessage back;
    ASSERT_EQ(back.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    EXPECT_EQ(back, m);
}

TEST(FlattenedLayout, FieldFlagsFollowTheWriterRules) {
    BMessage m;
    m.AddInt32("one", 1);                                // fixed single small
    for (int i = 0; i < 64; i++) m.AddInt32("many", i);  // 256 bytes: not small
    for (int i = 0; i < 63; i++) m.AddInt32("fits", i);  // 252 bytes: small
    m.AddString("s", "x");
    m.AddString("s", "y");  // variable, small, two items
    std::vector<char> bytes = Flat(m);
    size_t at = 17;
    EXPECT_EQ(uint8(bytes[at]), 0x0F);
    at += 1 + 4 + 1 + 1 + 3 + 4;
    EXPECT_EQ(uint8(bytes[at]), 0x05);
    EXPECT_EQ(Word(bytes, at + 5), 64u);
    EXPECT_EQ(Word(bytes, at + 9), 256u);
    at += 1 + 4 + 4 + 4 + 1 + 4 + 256;
    EXPECT_EQ(uint8(bytes[at]), 0x07);
    EXPECT_EQ(uint8(bytes[at + 5]), 63);
    EXPECT_EQ(uint8(bytes[at + 6]), 252);
    at += 1 + 4 + 1 + 1 + 1 + 4 + 252;
    EXPECT_EQ(uint8(bytes[at]), 0x03);
    EXPECT_EQ(uint8(bytes[at + 5]), 2);
    EXPECT_EQ(uint8(bytes[at + 6]), 16);
    EXPECT_EQ(uint8(bytes.back()), 0);
}

TEST(FlattenedLayout, NestedMessageInsideNestedMessageRoundTrips) {
    BMessage leaf('LEAF');
    leaf.AddRect("frame", BRect(0, 0, 99.5f, 20));
    leaf.AddPoint("at", BPoint(3, 4));
    BMessage branch('BRCH');
    branch.AddMessage("leaf", &leaf);
    branch.AddMessage("leaf", &leaf);
    BMessage root('ROOT');
    root.AddMessage("branch", &branch);
    root.AddInt16("n", 7);

    std::vector<char> bytes = Flat(root);
    BMessage back;
    ASSERT_EQ(back.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    EXPECT_EQ(back, root);
    EXPECT_EQ(Flat(back), bytes);
    BMessage b, l;
    ASSERT_EQ(back.FindMessage("branch", &b), B_OK);
    ASSERT_EQ(b.FindMessage("leaf", 1, &l), B_OK);
    BRect frame;
    EXPECT_EQ(l.FindRect("frame", &frame), B_OK);
    EXPECT_EQ(frame, BRect(0, 0, 99.5f, 20));
    EXPECT_EQ(Word(bytes, 12), uint32('ROOT'));
}

TEST(FlattenedLayout, PointersStayInTheProcess) {
    int marker;
    BMessage m;
    m.AddPointer("target", &marker);
    m.AddInt32("x", 1);
    BMessage only;
    only.AddInt32("x", 1);
    std::vector<char> bytes = Flat(m);
    EXPECT_EQ(bytes, Flat(only));
    BMessage back;
    ASSERT_EQ(back.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    void* p = nullptr;
    EXPECT_EQ(back.FindPointer("target", &p), B_NAME_NOT_FOUND);
}

TEST(FlattenedLayout, FlattenRefusesASmallBuffer) {
    BMessage m;
    m.AddInt32("x", 1);
    std::vector<char> bytes(size_t(m.FlattenedSize()) - 1);
    EXPECT_EQ(m.Flatten(bytes.data(), ssize_t(bytes.size())), B_BAD_VALUE);
    BMessage empty;
    EXPECT_EQ(empty.FlattenedSize(), 18);
}
