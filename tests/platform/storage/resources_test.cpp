#include "platform/storage/resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "message/byte_order.h"
#include "platform/storage/image_path.h"
#include "platform/storage/program_resources.h"
#include "tests/platform/storage/temp_dir.h"

namespace {

const std::string kModule = STORAGE_TEST_MODULE;

uint32 Read32(const std::string& bytes, size_t offset) {
    return ReadLE32(reinterpret_cast<const uint8*>(bytes.data() + offset));
}

uint64 Read64(const std::string& bytes, size_t offset) {
    return Read32(bytes, offset) | (uint64(Read32(bytes, offset + 4)) << 32);
}

uint16 Read16(const std::string& bytes, size_t offset) {
    return uint16(Read32(bytes, offset));
}

void Write64(std::string* bytes, size_t offset, uint64 value) {
    for (int i = 0; i < 8; i++) (*bytes)[offset + size_t(i)] = char(value >> (8 * i));
}

// Where the header of the named section starts, found the plain way for damaging it.
size_t SectionHeader(const std::string& elf, const char* name) {
    size_t table = Read64(elf, 0x28);
    size_t names = Read64(elf, table + 64 * Read16(elf, 0x3e) + 24);
    for (size_t i = 0; i < Read16(elf, 0x3c); i++) {
        size_t header = table + 64 * i;
        if (std::strcmp(elf.c_str() + names + Read32(elf, header), name) == 0) return header;
    }
    ADD_FAILURE() << name << " not found";
    return 0;
}

status_t StatusOf(const TempDir& dir, const std::string& bytes) {
    BResources resources;
    return resources.SetTo(dir.Write("copy", bytes).c_str());
}

}  // namespace

TEST(Resources, FindsResourcesByTypeAndName) {
    BResources resources;
    ASSERT_EQ(resources.SetTo(kModule.c_str()), B_OK);
    EXPECT_EQ(resources.CountResources(), 2);
    EXPECT_TRUE(resources.HasResource(four_cc("ARCV"), "layout"));
    EXPECT_TRUE(resources.HasResource(B_RAW_TYPE, "swatch"));
    EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, "layout"));
    EXPECT_FALSE(resources.HasResource(four_cc("ARCV"), "swatch"));
    EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, "swatc"));
    EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, nullptr));
    size_t size = 1;
    EXPECT_EQ(resources.LoadResource(B_RAW_TYPE, "missing", &size), nullptr);
    EXPECT_EQ(size, 1u);
    const void* swatch = resources.LoadResource(B_RAW_TYPE, "swatch", &size);
    ASSERT_NE(swatch, nullptr);
    EXPECT_EQ(size, 38u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(swatch) % 8, 0u);
    EXPECT_EQ(resources.LoadResource(B_RAW_TYPE, "swatch", nullptr), swatch);
}

TEST(Resources, ReadsTheRunningProgram) {
    BResources resources;
    ASSERT_EQ(resources.SetTo("/proc/self/exe"), B_OK);
    EXPECT_EQ(resources.CountResources(), 1);
    EXPECT_TRUE(resources.HasResource(four_cc("ARCV"), "program"));
}

TEST(Resources, RefusesFilesWithoutResources) {
    TempDir dir;
    BResources resources;
    EXPECT_EQ(resources.SetTo(dir.Path("missing").c_str()), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(resources.InitCheck(), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(resources.SetTo(dir.Write("text", "not an ELF file at all, only words").c_str()),
              B_BAD_DATA);
    EXPECT_EQ(resources.SetTo(dir.Write("empty", "").c_str()), B_BAD_DATA);
    EXPECT_EQ(resources.SetTo(dir.Path().c_str()), B_BAD_TYPE);
    EXPECT_EQ(resources.SetTo(nullptr), B_BAD_VALUE);
}

TEST(Resources, AnElfFileWithoutTheSectionHasNoResources) {
    std::string objcopy = STORAGE_TEST_OBJCOPY;
    if (objcopy.empty()) GTEST_SKIP() << "no objcopy tool";
    TempDir dir;
    std::string bare = dir.Path("bare.so");
    std::string command =
        "'" + objcopy + "' --remove-section=.velloran.rsrc '" + kModule + "' '" + bare + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    BResources resources;
    ASSERT_EQ(resources.SetTo(kModule.c_str()), B_OK);
    EXPECT_EQ(resources.SetTo(bare.c_str()), B_NAME_NOT_FOUND);
    EXPECT_EQ(resources.CountResources(), 0);
    EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, "swatch"));
}

TEST(Resources, RefusesEveryCutOfTheFile) {
    TempDir dir;
    std::string elf = TempDir::Read(kModule);
    ASSERT_GT(elf.size(), 1000u);
    // The section table lies at the end, so every cut loses part of it.
    for (size_t size = 0; size < elf.size(); size += size < 128 ? 1 : 97) {
        EXPECT_NE(StatusOf(dir, elf.substr(0, size)), B_OK) << size;
    }
    for (size_t cut = 1; cut <= 130; cut++) {
        EXPECT_NE(StatusOf(dir, elf.substr(0, elf.size() - cut)), B_OK) << cut;
    }
}

TEST(Resources, RefusesDamagedHeaders) {
    TempDir dir;
    const std::string elf = TempDir::Read(kModule);
    auto damaged = [&](size_t offset, uint8 value) {
        std::string copy = elf;
        copy[offset] = char(value);
        return StatusOf(dir, copy);
    };
    auto damaged64 = [&](size_t offset, uint64 value) {
        std::string copy = elf;
        Write64(&copy, offset, value);
        return StatusOf(dir, copy);
    };
    ASSERT_EQ(StatusOf(dir, elf), B_OK);
    EXPECT_EQ(damaged(0, 'X'), B_BAD_DATA);                          // magic
    EXPECT_EQ(damaged(4, 1), B_BAD_DATA);                            // 32-bit
    EXPECT_EQ(damaged(5, 2), B_BAD_DATA);                            // big-endian
    EXPECT_EQ(damaged(0x3a, 32), B_BAD_DATA);                        // section header size
    EXPECT_EQ(damaged(0x3d, 0x7f), B_BAD_DATA);                      // section count past the end
    EXPECT_EQ(damaged(0x3e, uint8(Read16(elf, 0x3c))), B_BAD_DATA);  // names section index
    EXPECT_EQ(damaged64(0x28, elf.size()), B_BAD_DATA);
    EXPECT_EQ(damaged64(0x28, UINT64_MAX - 8), B_BAD_DATA);

    size_t section = SectionHeader(elf, ".velloran.rsrc");
    uint64 size = Read64(elf, section + 32);
    EXPECT_EQ(damaged64(section + 24, elf.size()), B_BAD_DATA);  // offset
    EXPECT_EQ(damaged64(section + 24, UINT64_MAX), B_BAD_DATA);
    EXPECT_EQ(damaged64(section + 32, UINT64_MAX), B_BAD_DATA);  // size
    EXPECT_EQ(damaged64(section + 32, size - 1), B_BAD_DATA);
    EXPECT_EQ(damaged(section + 4, 8), B_BAD_DATA);                          // no bytes in the file
    EXPECT_EQ(damaged64(section, 0xffffff00), B_NAME_NOT_FOUND);             // name past the names
    EXPECT_EQ(damaged(size_t(Read64(elf, section + 24)), 'X'), B_BAD_DATA);  // archive magic
}

TEST(Resources, ReadsExtendedSectionNumbers) {
    TempDir dir;
    std::string elf = TempDir::Read(kModule);
    size_t table = Read64(elf, 0x28);
    uint16 count = Read16(elf, 0x3c);
    uint16 names = Read16(elf, 0x3e);
    // Large files keep the count and the names index in the first section header instead.
    Write64(&elf, table + 32, count);
    elf[table + 40] = char(names);
    elf[table + 41] = char(names >> 8);
    elf[0x3c] = elf[0x3d] = 0;
    elf[0x3e] = elf[0x3f] = char(0xff);
    BResources resources;
    ASSERT_EQ(resources.SetTo(dir.Write("extended.so", elf).c_str()), B_OK);
    EXPECT_TRUE(resources.HasResource(B_RAW_TYPE, "swatch"));
}

TEST(Resources, SurvivesAnyByteOfTheHeadersDamaged) {
    TempDir dir;
    const std::string elf = TempDir::Read(kModule);
    size_t table = Read64(elf, 0x28);
    std::vector<size_t> offsets;
    for (size_t i = 0; i < 64; i++) offsets.push_back(i);
    for (size_t i = table; i < elf.size(); i++) offsets.push_back(i);
    for (size_t offset : offsets) {
        for (uint8 value : {uint8(0), uint8(0xff)}) {
            std::string copy = elf;
            copy[offset] = char(value);
            BResources resources;
            // Any status will do, as long as what it reports holds together.
            if (resources.SetTo(dir.Write("copy", copy).c_str()) != B_OK) {
                EXPECT_EQ(resources.CountResources(), 0) << offset;
            }
        }
    }
}

TEST(Resources, StripKeepsTheSection) {
    std::string strip = STORAGE_TEST_STRIP;
    if (strip.empty()) GTEST_SKIP() << "no strip tool";
    TempDir dir;
    std::string stripped = dir.Path("stripped.so");
    std::string command = "'" + strip + "' --strip-all -o '" + stripped + "' '" + kModule + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_LT(std::filesystem::file_size(stripped), std::filesystem::file_size(kModule));
    BResources original, copy;
    ASSERT_EQ(original.SetTo(kModule.c_str()), B_OK);
    ASSERT_EQ(copy.SetTo(stripped.c_str()), B_OK);
    size_t size = 0, copySize = 0;
    auto bytes = static_cast<const char*>(original.LoadResource(B_RAW_TYPE, "swatch", &size));
    auto copyBytes = static_cast<const char*>(copy.LoadResource(B_RAW_TYPE, "swatch", &copySize));
    ASSERT_NE(copyBytes, nullptr);
    EXPECT_EQ(std::string(copyBytes, copySize), std::string(bytes, size));
    EXPECT_EQ(copy.CountResources(), original.CountResources());
}

namespace {

const char kTestAnchor = 0;

}  // namespace

TEST(ImagePath, FindsTheFileOfLoadedCode) {
    BPath path;
    ASSERT_EQ(get_image_path(&kTestAnchor, &path), B_OK);
    EXPECT_EQ(std::filesystem::canonical(path.Path()),
              std::filesystem::canonical("/proc/self/exe"));
    ASSERT_EQ(get_image_path(reinterpret_cast<const void*>(&strerror_status), &path), B_OK);
    EXPECT_STREQ(path.Leaf(), "libvelloran.so");
    int onTheStack = 0;
    EXPECT_EQ(get_image_path(&onTheStack, &path), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(get_image_path(nullptr, &path), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(get_image_path(&kTestAnchor, nullptr), B_BAD_VALUE);
}

TEST(ProgramResources, ComeFromLibvelloranNotTheProgram) {
    BResources* resources = program_resources();
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(program_resources(), resources);
    BPath library;
    ASSERT_EQ(get_image_path(reinterpret_cast<const void*>(&program_resources), &library), B_OK);
    EXPECT_STREQ(library.Leaf(), "libvelloran.so");
    BResources expected;
    EXPECT_EQ(resources->InitCheck(), expected.SetTo(library.Path()));
    EXPECT_EQ(resources->CountResources(), expected.CountResources());
    // The test program carries a resource that libvelloran does not.
    EXPECT_FALSE(resources->HasResource(four_cc("ARCV"), "program"));
}
