#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "message/byte_order.h"
#include "message/message.h"
#include "platform/storage/resource_archive.h"
#include "platform/storage/resources.h"
#include "tests/platform/storage/temp_dir.h"

namespace {

const std::string kData = STORAGE_TEST_DATA;

struct ToolRun {
    int exitCode = -1;
    std::string errors;
};

ToolRun RunTool(const TempDir& dir, const std::string& arguments) {
    std::string errors = dir.Path("errors.txt");
    std::string command =
        std::string("'") + VELLORAN_RESCOMP + "' " + arguments + " 2>'" + errors + "'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TempDir::Read(errors)};
}

// A broken input makes the tool fail, name the file and the problem, and write nothing.
void ExpectRefused(const std::string& file, const std::string& content,
                   const std::string& problem) {
    TempDir dir;
    std::string input = dir.Write(file, content);
    ToolRun run = RunTool(dir, "-o '" + dir.Path("out.rsrc") + "' '" + input + "'");
    EXPECT_EQ(run.exitCode, 1) << problem;
    EXPECT_NE(run.errors.find(file), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find(problem), std::string::npos) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.rsrc"))) << problem;
}

// What layout.json describes, built by hand.
BMessage ExpectedLayout() {
    BMessage deep(7);
    deep.AddString("name", "deep");
    deep.AddRect("frame", BRect(1, 2, 3, 4));
    BMessage top('VIEW');
    top.AddString("name", "top");
    top.AddMessage("_views", &deep);
    BMessage bare(1234);
    BMessage menu('MENU');
    menu.AddString("items", "Open");
    menu.AddString("items", "Save");

    BMessage layout('IEWN');
    layout.AddString("name", "Main");
    layout.AddString("labels", "Play");
    layout.AddString("labels", "Stop");
    layout.AddRect("frame", BRect(0, 0, 400, 300));
    layout.AddRect("zones", BRect(0, 0, 10, 10));
    layout.AddRect("zones", BRect(20.5f, 20, 30, 30.25f));
    layout.AddInt32("IEflags", 3);
    for (int32 value : {1, 2, 3}) layout.AddInt32("vals", value);
    layout.AddInt32("limits", INT32_MIN);
    layout.AddInt32("limits", INT32_MAX);
    uint8 notes[16];
    const int32 noteValues[] = {60, 62, -64, 65};
    for (int i = 0; i < 4; i++) WriteLE32(notes + 4 * i, uint32(noteValues[i]));
    layout.AddData("notes", B_INT32_TYPE, notes, sizeof notes);
    layout.AddPoint("pos", BPoint(1, 2));
    layout.AddPoint("corners", BPoint(0, 0));
    layout.AddPoint("corners", BPoint(-1.5f, 8));
    layout.AddColor("col", rgb_color{255, 0, 0, 255});
    layout.AddColor("shade", rgb_color{1, 2, 3, 255});
    layout.AddColor("shade", rgb_color{4, 5, 6, 7});
    layout.AddBool("on", true);
    layout.AddBool("modes", false);
    layout.AddBool("modes", true);
    layout.AddInt16("small", -5);
    layout.AddInt16("range", INT16_MIN);
    layout.AddInt16("range", INT16_MAX);
    layout.AddFloat("gain", 0.5f);
    layout.AddFloat("pan", -1);
    layout.AddFloat("pan", 0.25f);
    entry_ref song("/songs/demo.vel");
    layout.AddRef("song", &song);
    layout.AddMessage("_views", &top);
    layout.AddMessage("_views", &bare);
    layout.AddMessage("menu", &menu);
    return layout;
}

BMessage LoadLayout(const BResources& resources, const char* name) {
    size_t size = 0;
    const void* bytes = resources.LoadResource(four_cc("ARCV"), name, &size);
    BMessage layout;
    EXPECT_NE(bytes, nullptr) << name;
    if (bytes != nullptr) {
        EXPECT_EQ(layout.Unflatten(static_cast<const char*>(bytes), ssize_t(size)), B_OK);
    }
    return layout;
}

}  // namespace

TEST(Rescomp, LayoutRoundTripsThroughTheSection) {
    BResources resources;
    ASSERT_EQ(resources.SetTo(STORAGE_TEST_MODULE), B_OK);
    BMessage layout = LoadLayout(resources, "layout");
    EXPECT_TRUE(layout == ExpectedLayout());

    // The shapes that matter to a reader, checked one by one for a clearer failure.
    type_code type;
    int32 count;
    ASSERT_EQ(layout.GetInfo("notes", &type, &count), B_OK);
    EXPECT_EQ(type, B_INT32_TYPE);
    EXPECT_EQ(count, 1);
    const void* data;
    ssize_t size;
    ASSERT_EQ(layout.FindData("notes", B_INT32_TYPE, &data, &size), B_OK);
    EXPECT_EQ(size, 16);
    ASSERT_EQ(layout.GetInfo("vals", &type, &count), B_OK);
    EXPECT_EQ(count, 3);
    BMessage top, deep;
    ASSERT_EQ(layout.FindMessage("_views", 0, &top), B_OK);
    ASSERT_EQ(top.FindMessage("_views", &deep), B_OK);
    BRect frame;
    ASSERT_EQ(deep.FindRect("frame", &frame), B_OK);
    EXPECT_EQ(frame, BRect(1, 2, 3, 4));
    EXPECT_EQ(deep.what, 7u);
}

TEST(Rescomp, ImageIsStoredByteForByte) {
    BResources resources;
    ASSERT_EQ(resources.SetTo(STORAGE_TEST_MODULE), B_OK);
    size_t size = 0;
    auto bytes = static_cast<const char*>(resources.LoadResource(B_RAW_TYPE, "swatch", &size));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes, size), TempDir::Read(kData + "/swatch.tga"));
}

TEST(Rescomp, WritesAnArchiveInInputOrder) {
    TempDir dir;
    std::string tiny = dir.Write("tiny.json", R"({"what": 1, "fields": {"a": {"int32": 5}}})");
    std::string archive = dir.Path("out.rsrc");
    ToolRun run = RunTool(dir, "-o '" + archive + "' '" + kData + "/swatch.tga' '" + tiny + "'");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    std::string bytes = TempDir::Read(archive);
    std::vector<resource_archive::Entry> entries;
    ASSERT_EQ(resource_archive::Parse(reinterpret_cast<const uint8*>(bytes.data()), bytes.size(),
                                      &entries),
              B_OK);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].type, B_RAW_TYPE);
    EXPECT_EQ(entries[0].name, "swatch");
    EXPECT_EQ(entries[1].type, four_cc("ARCV"));
    EXPECT_EQ(entries[1].name, "tiny");
    BMessage message;
    ASSERT_EQ(
        message.Unflatten(reinterpret_cast<const char*>(entries[1].data), ssize_t(entries[1].size)),
        B_OK);
    BMessage expected(1);
    expected.AddInt32("a", 5);
    EXPECT_TRUE(message == expected);
    EXPECT_FALSE(std::filesystem::exists(archive + ".tmp"));
}

TEST(Rescomp, LayoutErrorsNameTheFileAndField) {
    struct Case {
        const char* json;
        const char* field;
    };
    const Case cases[] = {
        {R"({"fields": {"gain": {"double": 1}}})", "field 'gain'"},
        {R"({"fields": {"frame": {"rect": [1, 2, 3]}}})", "field 'frame'"},
        {R"({"fields": {"zones": {"rect": [[1, 2, 3, 4], [1, 2]]}}})", "field 'zones[1]'"},
        {R"({"fields": {"small": {"int16": 40000}}})", "field 'small'"},
        {R"({"fields": {"big": {"int32": 2147483648}}})", "field 'big'"},
        {R"({"fields": {"half": {"int32": 1.5}}})", "field 'half'"},
        {R"({"fields": {"col": {"color": [256, 0, 0]}}})", "field 'col[0]'"},
        {R"({"fields": {"on": {"bool": 1}}})", "field 'on'"},
        {R"({"fields": {"gain": {"float": 1e300}}})", "field 'gain'"},
        {R"({"fields": {"name": {"string": 5}}})", "field 'name'"},
        {R"({"fields": {"vals": {"int32": []}}})", "field 'vals'"},
        {R"({"fields": {"notes": {"int32_array": 5}}})", "field 'notes'"},
        {R"({"fields": {"two": {"int32": 1, "int16": 2}}})", "field 'two'"},
        {R"({"fields": {"_views": {"message": [{"fields": {}}, {"fields": {"x": {"int32": "1"}}}]}}})",
         "field '_views[1].x'"},
        {R"({"fields": {"a": {"message": {"what": "TOOLONG"}}}})", "field 'a.what'"},
        {R"({"fields": {"a": {"int32": 1}, "a": {"int32": 2}}})", "field 'a'"},
        {R"({"what": "IEWN", "feilds": {}})", "field 'feilds'"},
        {R"([1, 2])", "needs an object"},
        {R"({"what": "IEWN", "fields": {)", "parse error"},
    };
    for (const Case& c : cases) ExpectRefused("broken.json", c.json, c.field);
}

TEST(Rescomp, NestsMessagesAsDeepAsAReaderAccepts) {
    auto nested = [](int levels) {
        std::string json = R"({"what": 1})";
        for (int i = 0; i < levels; i++) json = R"({"fields": {"m": {"message": )" + json + "}}}";
        return json;
    };
    TempDir dir;
    std::string archive = dir.Path("out.rsrc");
    ToolRun deepest =
        RunTool(dir, "-o '" + archive + "' '" + dir.Write("deep.json", nested(64)) + "'");
    ASSERT_EQ(deepest.exitCode, 0) << deepest.errors;
    std::string bytes = TempDir::Read(archive);
    std::vector<resource_archive::Entry> entries;
    ASSERT_EQ(resource_archive::Parse(reinterpret_cast<const uint8*>(bytes.data()), bytes.size(),
                                      &entries),
              B_OK);
    BMessage message;
    EXPECT_EQ(message.Unflatten(reinterpret_cast<const char*>(entries.at(0).data),
                                ssize_t(entries[0].size)),
              B_OK);

    ToolRun tooDeep =
        RunTool(dir, "-o '" + archive + "' '" + dir.Write("deep.json", nested(65)) + "'");
    EXPECT_EQ(tooDeep.exitCode, 1);
    EXPECT_NE(tooDeep.errors.find("field 'm.m.m."), std::string::npos) << tooDeep.errors;
    EXPECT_NE(tooDeep.errors.find("64 deep"), std::string::npos) << tooDeep.errors;
}

TEST(Rescomp, ImageErrors) {
    const std::string good = TempDir::Read(kData + "/swatch.tga");
    auto with = [&good](size_t offset, char value) {
        std::string copy = good;
        copy[offset] = value;
        return copy;
    };
    struct Case {
        std::string bytes;
        const char* problem;
    };
    const Case cases[] = {
        {good.substr(0, 17), "too short"}, {good.substr(0, good.size() - 1), "cut short"},
        {with(1, 1), "colour map"},        {with(2, 10), "uncompressed"},
        {with(5, 4), "colour map"},        {with(12, 0), "no pixels"},
        {with(16, 32), "24 bits"},         {with(17, 8), "alpha"},
    };
    for (const Case& c : cases) ExpectRefused("broken.tga", c.bytes, c.problem);
}

TEST(Rescomp, InputAndUsageErrors) {
    TempDir dir;
    std::string out = "-o '" + dir.Path("out.rsrc") + "' ";
    std::filesystem::create_directories(dir.Path("a"));
    std::filesystem::create_directories(dir.Path("b"));
    std::string first = dir.Write("a/same.json", "{}");
    std::string second = dir.Write("b/same.json", "{}");
    ToolRun twice = RunTool(dir, out + "'" + first + "' '" + second + "'");
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_NE(twice.errors.find("same resource name"), std::string::npos) << twice.errors;

    EXPECT_EQ(RunTool(dir, out + "'" + dir.Write("notes.txt", "x") + "'").exitCode, 1);
    EXPECT_EQ(RunTool(dir, out + "'" + dir.Path("missing.json") + "'").exitCode, 1);
    EXPECT_EQ(RunTool(dir, "").exitCode, 2);
    EXPECT_EQ(RunTool(dir, "'" + first + "'").exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.rsrc")));
}
