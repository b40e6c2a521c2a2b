#include "platform/storage/resource_archive.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using resource_archive::Entry;

const uint8 kSmall[] = {1, 2, 3};

Entry Make(type_code type, std::string_view name, const uint8* data, size_t size) {
    return Entry{type, name, data, size};
}

std::vector<uint8> Archive(const std::vector<Entry>& entries) {
    std::vector<uint8> archive;
    EXPECT_EQ(resource_archive::Serialise(entries, &archive), B_OK);
    return archive;
}

status_t ParseStatus(const std::vector<uint8>& archive) {
    std::vector<Entry> entries;
    return resource_archive::Parse(archive.data(), archive.size(), &entries);
}

}  // namespace

TEST(ResourceArchive, ByteLayout) {
    std::vector<uint8> archive = Archive({Make('TEST', "ab", kSmall, 3)});
    const std::vector<uint8> expected = {
        'V', 'R', 'S', 'C', 1, 0, 0, 0,              // magic, count
        'T', 'S', 'E', 'T', 2, 0, 0, 0, 3, 0, 0, 0,  // type, name length, data size
        'a', 'b', 0,   0,                            // name, padded to 24
        1,   2,   3,   0,   0, 0, 0, 0,              // data, padded to 32
    };
    EXPECT_EQ(archive, expected);
    EXPECT_EQ(Archive({}), (std::vector<uint8>{'V', 'R', 'S', 'C', 0, 0, 0, 0}));
}

TEST(ResourceArchive, RoundTripKeepsOrderAndAlignsData) {
    std::vector<uint8> big(1000);
    for (size_t i = 0; i < big.size(); i++) big[i] = uint8(i * 7);
    std::string longName(255, 'n');
    std::vector<uint8> archive = Archive(
        {Make(B_RAW_TYPE, "image", big.data(), big.size()), Make('ARCV', "image", kSmall, 3),
         Make('ARCV', "empty", nullptr, 0), Make(B_RAW_TYPE, longName, kSmall, 1)});
    std::vector<Entry> entries;
    ASSERT_EQ(resource_archive::Parse(archive.data(), archive.size(), &entries), B_OK);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].type, B_RAW_TYPE);
    EXPECT_EQ(entries[0].name, "image");
    EXPECT_EQ(std::vector<uint8>(entries[0].data, entries[0].data + entries[0].size), big);
    EXPECT_EQ(entries[1].type, four_cc("ARCV"));
    EXPECT_EQ(entries[1].size, 3u);
    EXPECT_EQ(entries[2].name, "empty");
    EXPECT_EQ(entries[2].size, 0u);
    EXPECT_EQ(entries[3].name, longName);
    for (const Entry& entry : entries) {
        EXPECT_EQ(size_t(entry.data - archive.data()) % resource_archive::kAlignment, 0u);
    }
}

TEST(ResourceArchive, SerialiseRefusesBadNames) {
    std::vector<uint8> archive = {9};
    std::string tooLong(256, 'n');
    EXPECT_EQ(resource_archive::Serialise({Make('A', "", kSmall, 1)}, &archive), B_BAD_VALUE);
    EXPECT_EQ(resource_archive::Serialise({Make('A', tooLong, kSmall, 1)}, &archive), B_BAD_VALUE);
    EXPECT_EQ(
        resource_archive::Serialise({Make('A', std::string_view("a\0b", 3), kSmall, 1)}, &archive),
        B_BAD_VALUE);
    EXPECT_EQ(resource_archive::Serialise({Make('A', "x", nullptr, 1)}, &archive), B_BAD_VALUE);
    EXPECT_EQ(resource_archive::Serialise({Make('A', "x", kSmall, 1), Make('A', "x", kSmall, 2)},
                                          &archive),
              B_NAME_IN_USE);
    EXPECT_EQ(archive, std::vector<uint8>{9});
}

TEST(ResourceArchive, ParseRefusesEveryCutAndTrailingBytes) {
    std::vector<uint8> archive =
        Archive({Make('A', "one", kSmall, 3), Make('B', "two", kSmall, 2)});
    for (size_t size = 0; size < archive.size(); size++) {
        std::vector<uint8> cut(archive.begin(), archive.begin() + ptrdiff_t(size));
        EXPECT_EQ(ParseStatus(cut), B_BAD_DATA) << size;
    }
    archive.resize(archive.size() + 8, 0);
    EXPECT_EQ(ParseStatus(archive), B_BAD_DATA);
    std::vector<Entry> entries;
    EXPECT_EQ(resource_archive::Parse(nullptr, 0, &entries), B_BAD_DATA);
    EXPECT_EQ(resource_archive::Parse(archive.data(), archive.size(), nullptr), B_BAD_VALUE);
}

TEST(ResourceArchive, ParseRefusesDamagedFields) {
    const std::vector<uint8> good = Archive({Make('A', "ab", kSmall, 3)});
    auto damaged = [&good](size_t offset, uint8 value) {
        std::vector<uint8> copy = good;
        copy[offset] = value;
        return ParseStatus(copy);
    };
    ASSERT_EQ(ParseStatus(good), B_OK);
    EXPECT_EQ(damaged(0, 'X'), B_BAD_DATA);    // magic
    EXPECT_EQ(damaged(4, 2), B_BAD_DATA);      // count
    EXPECT_EQ(damaged(7, 0xff), B_BAD_DATA);   // huge count
    EXPECT_EQ(damaged(12, 0), B_BAD_DATA);     // empty name
    EXPECT_EQ(damaged(12, 3), B_BAD_DATA);     // name runs into the padding
    EXPECT_EQ(damaged(13, 1), B_BAD_DATA);     // name longer than 255
    EXPECT_EQ(damaged(16, 9), B_BAD_DATA);     // data beyond the end
    EXPECT_EQ(damaged(19, 0x80), B_BAD_DATA);  // huge data
    EXPECT_EQ(damaged(21, 0), B_BAD_DATA);     // NUL in the name
    EXPECT_EQ(damaged(22, 1), B_BAD_DATA);     // padding after the name
    EXPECT_EQ(damaged(31, 1), B_BAD_DATA);     // padding after the data
    EXPECT_EQ(damaged(24, 0xee), B_OK);        // the data itself is anybody's
}

TEST(ResourceArchive, ParseRefusesRepeatedEntries) {
    std::vector<uint8> one = Archive({Make('A', "ab", kSmall, 3)});
    std::vector<uint8> twice = one;
    twice.insert(twice.end(), one.begin() + 8, one.end());
    twice[4] = 2;
    EXPECT_EQ(ParseStatus(twice), B_BAD_DATA);
    twice[8] = 'B';  // another type: no longer a repeat
    EXPECT_EQ(ParseStatus(twice), B_OK);
}
