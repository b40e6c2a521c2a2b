#include "message/flat_message_reader.h"

#include <gtest/gtest.h>

#include "message/message.h"

namespace {

std::vector<char> Flat(const BMessage& m) {
    std::vector<char> bytes(size_t(m.FlattenedSize()));
    EXPECT_EQ(m.Flatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    return bytes;
}

void PutWord(std::vector<char>& bytes, size_t at, uint32 v) {
    for (int i = 0; i < 4; i++) bytes[at + size_t(i)] = char(v >> (8 * i));
}

// Rewrites the size word and checksum so only the damage under test remains.
void Reseal(std::vector<char>& bytes) {
    auto size = uint32(bytes.size());
    PutWord(bytes, 8, size);
    uint32 what = uint8(bytes[12]) | uint8(bytes[13]) << 8 | uint8(bytes[14]) << 16 |
                  uint32(uint8(bytes[15])) << 24;
    PutWord(bytes, 4, flat::Checksum(size, what, uint8(bytes[16])));
}

status_t Read(const std::vector<char>& bytes, BMessage* m) {
    return m->Unflatten(bytes.data(), ssize_t(bytes.size()));
}

BMessage Sample() {
    BMessage inner('INNR');
    inner.AddString("s", "text");
    BMessage m('SMPL');
    m.AddInt32("a", 1);
    m.AddString("t", "hello");
    m.AddMessage("m", &inner);
    m.AddFloat("f", 2);
    return m;
}

}  // namespace

TEST(FlatMessageReader, EveryTruncationFailsAndLeavesTheMessageEmpty) {
    std::vector<char> bytes = Flat(Sample());
    for (size_t n = 0; n < bytes.size(); n++) {
        BMessage m('OLD!');
        m.AddInt32("old", 1);
        EXPECT_NE(m.Unflatten(bytes.data(), ssize_t(n)), B_OK) << n;
        EXPECT_TRUE(m.IsEmpty()) << n;
        EXPECT_EQ(m.what, 0u);
    }
    BMessage m;
    EXPECT_EQ(m.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    EXPECT_EQ(m.Unflatten(nullptr, 100), B_BAD_DATA);
    EXPECT_EQ(m.Unflatten(bytes.data(), -1), B_BAD_VALUE);
}

TEST(FlatMessageReader, DamagedHeadersAreRefused) {
    std::vector<char> good = Flat(Sample());
    BMessage m;
    auto bad = good;
    bad[0] = 'X';
    EXPECT_EQ(Read(bad, &m), B_BAD_DATA);
    bad = good;
    bad[4] ^= 1;  // checksum
    EXPECT_EQ(Read(bad, &m), B_BAD_DATA);
    bad = good;
    bad[16] = 0x03;  // flags other than valid
    Reseal(bad);
    EXPECT_EQ(Read(bad, &m), B_BAD_DATA);
    bad = good;
    PutWord(bad, 8, uint32(good.size() + 1));  // size past the buffer
    PutWord(bad, 4, flat::Checksum(uint32(good.size() + 1), 'SMPL', 1));
    EXPECT_EQ(Read(bad, &m), B_BAD_DATA);
    bad = good;
    PutWord(bad, 8, 0x80000000u);  // negative size
    PutWord(bad, 4, flat::Checksum(0x80000000u, 'SMPL', 1));
    EXPECT_EQ(Read(bad, &m), B_BAD_DATA);
}

TEST(FlatMessageReader, ReadingStopsAtTheTerminatorOrTheSize) {
    BMessage one;
    one.AddInt32("a", 5);
    std::vector<char> bytes = Flat(one);
    // Without its terminator the message ends at its size.
    bytes.pop_back();
    Reseal(bytes);
    BMessage m;
    ASSERT_EQ(Read(bytes, &m), B_OK);
    EXPECT_EQ(m, one);
    // Bytes after the terminator inside the size are not fields.
    bytes.push_back(0);
    bytes.insert(bytes.end(), {'\x0F', 'G', 'N', 'O', 'L'});
    Reseal(bytes);
    ASSERT_EQ(Read(bytes, &m), B_OK);
    EXPECT_EQ(m, one);
}

TEST(FlatMessageReader, MalformedFieldsAreRefused) {
    BMessage one;
    one.AddInt32("ab", 5);
    const std::vector<char> good = Flat(one);  // field at 17: 0F type 04 02 'a' 'b' data
    struct Damage {
        const char* what;
        size_t at;
        char value;
    };
    const Damage damages[] = {
        {"unknown flag bits", 17, char(0x1F)}, {"name length 0", 23, 0},
        {"name past the end", 23, 100},        {"data past the end", 22, 100},
        {"fixed item of size 0", 22, 0},
    };
    for (const auto& d : damages) {
        auto bad = good;
        bad[d.at] = d.value;
        Reseal(bad);
        BMessage m;
        EXPECT_EQ(Read(bad, &m), B_BAD_DATA) << d.what;
        EXPECT_TRUE(m.IsEmpty()) << d.what;
    }

    BMessage two;
    two.AddInt32("n", 1);
    two.AddInt32("n", 2);
    auto counted = Flat(two);  // field at 17: 07 type count=2 size=8
    counted[22] = 3;           // 8 bytes cannot hold three items
    Reseal(counted);
    BMessage m;
    EXPECT_EQ(Read(counted, &m), B_BAD_DATA);
    counted[22] = 0;
    Reseal(counted);
    EXPECT_EQ(Read(counted, &m), B_BAD_DATA);
}

TEST(FlatMessageReader, TextsWithoutNulAndRepeatedNamesAreRefused) {
    BMessage text;
    text.AddString("t", "abc");
    auto bytes = Flat(text);  // item length at 25, text at 29
    bytes[32] = 'd';
    Reseal(bytes);
    BMessage m;
    EXPECT_EQ(Read(bytes, &m), B_BAD_DATA);
    bytes = Flat(text);
    PutWord(bytes, 25, 9);  // item longer than its field
    Reseal(bytes);
    EXPECT_EQ(Read(bytes, &m), B_BAD_DATA);

    BMessage a, b;
    a.AddInt32("x", 1);
    b.AddInt32("x", 2);
    auto first = Flat(a);
    auto second = Flat(b);
    first.pop_back();
    first.insert(first.end(), second.begin() + 17, second.end());
    Reseal(first);
    EXPECT_EQ(Read(first, &m), B_BAD_DATA);
}

TEST(FlatMessageReader, BadNestedMessagesAndDeepNestingAreRefused) {
    BMessage inner;
    inner.AddInt32("x", 1);
    BMessage outer;
    outer.AddMessage("m", &inner);
    auto bytes = Flat(outer);
    // The nested message starts after the field head (8 + name 1) and its length word.
    bytes[17 + 8 + 1 + 4 + 4] ^= 0x10;  // nested checksum
    BMessage m;
    Reseal(bytes);
    EXPECT_EQ(Read(bytes, &m), B_BAD_DATA);

    BMessage level;
    level.AddInt32("bottom", 1);
    for (int depth = 1; depth <= flat::kMaxDepth; depth++) {
        BMessage up;
        up.AddMessage("down", &level);
        level = std::move(up);
    }
    EXPECT_EQ(Read(Flat(level), &m), B_OK);
    BMessage tooDeep;
    tooDeep.AddMessage("down", &level);
    EXPECT_EQ(Read(Flat(tooDeep), &m), B_BAD_DATA);
}

TEST(FlatMessageReader, HugeCountsAreCheckedBeforeAnythingIsReserved) {
    BMessage many;
    many.AddString("s", "a");
    for (int i = 0; i < 299; i++) many.AddString("s", "a");
    auto bytes = Flat(many);  // count word at 22
    PutWord(bytes, 22, 0x7FFFFFFF);
    Reseal(bytes);
    BMessage m;
    EXPECT_EQ(Read(bytes, &m), B_BAD_DATA);
    EXPECT_TRUE(m.IsEmpty());
}
