// The recent documents list lives in a file under XDG_CONFIG_HOME; Launch hands files to
// xdg-open, found through PATH.
#include "platform/app/roster.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/storage/node.h"
#include "platform/storage/node_info.h"
#include "tests/platform/storage/temp_dir.h"

namespace {

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : fName(name) {
        if (const char* old = getenv(name)) fOld = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (fOld)
            setenv(fName, fOld->c_str(), 1);
        else
            unsetenv(fName);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* fName;
    std::optional<std::string> fOld;
};

class RosterTest : public ::testing::Test {
  protected:
    RosterTest() : fConfig("XDG_CONFIG_HOME", fDir.Path("config")) {}

    // A document whose type attribute is set, so its type does not depend on the MIME database.
    std::string Document(const std::string& leaf, const char* type = "text/plain") {
        std::string path = fDir.Write(leaf, "content");
        BNode node(path.c_str());
        EXPECT_EQ(node.InitCheck(), B_OK);
        BNodeInfo info(&node);
        EXPECT_EQ(info.SetType(type), B_OK);
        return path;
    }

    status_t Add(const std::string& path, const char* signature = nullptr) {
        entry_ref ref(path);
        return be_roster->AddToRecentDocuments(&ref, signature);
    }

    static std::vector<std::string> Recent(int32 maxCount, const char* type = nullptr,
                                           const char* signature = nullptr) {
        BMessage refs;
        be_roster->GetRecentDocuments(&refs, maxCount, type, signature);
        std::vector<std::string> paths;
        entry_ref ref;
        for (int32 i = 0; refs.FindRef("refs", i, &ref) == B_OK; ++i) paths.push_back(ref.path);
        return paths;
    }

    std::string RecentFile() const { return fDir.Path("config/velloran/recent_documents"); }

    TempDir fDir;
    ScopedEnv fConfig;
};

TEST_F(RosterTest, NewestFirstWithinLimit) {
    std::string a = Document("a.txt"), b = Document("b.txt"), c = Document("c.txt");
    EXPECT_TRUE(Recent(10).empty());
    ASSERT_EQ(Add(a, "application/x-one"), B_OK);
    ASSERT_EQ(Add(b, "application/x-one"), B_OK);
    ASSERT_EQ(Add(c, "application/x-one"), B_OK);
    EXPECT_EQ(Recent(10), (std::vector<std::string>{c, b, a}));
    EXPECT_EQ(Recent(2), (std::vector<std::string>{c, b}));
    EXPECT_TRUE(Recent(0).empty());
    EXPECT_TRUE(Recent(-1).empty());
}

TEST_F(RosterTest, RefsAreRefTyped) {
    ASSERT_EQ(Add(Document("a.txt")), B_OK);
    BMessage refs;
    be_roster->GetRecentDocuments(&refs, 5);
    type_code type = 0;
    int32 count = 0;
    ASSERT_EQ(refs.GetInfo("refs", &type, &count), B_OK);
    EXPECT_EQ(type, B_REF_TYPE);
    EXPECT_EQ(count, 1);
}

TEST_F(RosterTest, FiltersBySignatureAndType) {
    std::string text = Document("notes.txt", "text/plain");
    std::string song = Document("song.vel", "application/x-velloran-song");
    std::string other = Document("other.txt", "text/plain");
    ASSERT_EQ(Add(text, "application/x-one"), B_OK);
    ASSERT_EQ(Add(song, "application/x-one"), B_OK);
    ASSERT_EQ(Add(other, "application/x-two"), B_OK);
    ASSERT_EQ(Add(song), B_OK);

    EXPECT_EQ(Recent(10, nullptr, "application/x-one"), (std::vector<std::string>{song, text}));
    EXPECT_EQ(Recent(10, nullptr, "application/x-two"), (std::vector<std::string>{other}));
    EXPECT_EQ(Recent(10, nullptr, ""), (std::vector<std::string>{song}));
    EXPECT_EQ(Recent(10, "text/plain"), (std::vector<std::string>{other, text}));
    EXPECT_EQ(Recent(10, "text/plain", "application/x-one"), (std::vector<std::string>{text}));
    EXPECT_EQ(Recent(10, "application/x-velloran-song"), (std::vector<std::string>{song, song}));
    EXPECT_TRUE(Recent(10, "image/png").empty());
}

TEST_F(RosterTest, MissingFileHasEmptyType) {
    std::string gone = fDir.Path("gone.txt");
    ASSERT_EQ(Add(gone, "application/x-one"), B_OK);
    EXPECT_EQ(Recent(10, ""), (std::vector<std::string>{gone}));
    EXPECT_TRUE(Recent(10, "text/plain").empty());
}

TEST_F(RosterTest, ReAddingMovesToFront) {
    std::string a = Document("a.txt"), b = Document("b.txt");
    ASSERT_EQ(Add(a, "application/x-one"), B_OK);
    ASSERT_EQ(Add(b, "application/x-one"), B_OK);
    ASSERT_EQ(Add(a, "application/x-one"), B_OK);
    EXPECT_EQ(Recent(10), (std::vector<std::string>{a, b}));
}

TEST_F(RosterTest, KeepsAtMostAHundredPerSignature) {
    std::string kept = Document("kept.txt");
    ASSERT_EQ(Add(kept, "application/x-two"), B_OK);
    for (int i = 0; i < BRoster::kMaxRecentDocuments + 5; ++i)
        ASSERT_EQ(Add(fDir.Path("doc" + std::to_string(i)), "application/x-one"), B_OK);
    std::vector<std::string> one = Recent(1000, nullptr, "application/x-one");
    ASSERT_EQ(one.size(), size_t(BRoster::kMaxRecentDocuments));
    EXPECT_EQ(one.front(), fDir.Path("doc104"));
    EXPECT_EQ(one.back(), fDir.Path("doc5"));
    EXPECT_EQ(Recent(10, nullptr, "application/x-two"), (std::vector<std::string>{kept}));
}

TEST_F(RosterTest, SurvivesInTheFile) {
    std::string a = Document("a.txt"), b = Document("b.txt");
    ASSERT_EQ(Add(a, "application/x-one"), B_OK);
    ASSERT_EQ(Add(b, "application/x-one"), B_OK);
    std::string saved = TempDir::Read(RecentFile());
    ASSERT_FALSE(saved.empty());

    // Another process's list replaces ours at once, since each call reads the file.
    BMessage archive;
    ASSERT_EQ(archive.Unflatten(saved.data(), ssize_t(saved.size())), B_OK);
    std::string first;
    ASSERT_EQ(archive.FindString("path", 0, &first), B_OK);
    EXPECT_EQ(first, b);
    archive.MakeEmpty();
    archive.AddString("path", a);
    archive.AddString("signature", "application/x-three");
    archive.AddString("type", "text/plain");
    std::vector<char> bytes(static_cast<size_t>(archive.FlattenedSize()));
    ASSERT_EQ(archive.Flatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    fDir.Write("config/velloran/recent_documents", std::string_view(bytes.data(), bytes.size()));
    EXPECT_TRUE(Recent(10, nullptr, "application/x-one").empty());
    EXPECT_EQ(Recent(10, "text/plain", "application/x-three"), (std::vector<std::string>{a}));
}

TEST_F(RosterTest, DamagedFileCountsAsEmpty) {
    std::string a = Document("a.txt");
    ASSERT_EQ(Add(a, "application/x-one"), B_OK);
    fDir.Write("config/velloran/recent_documents", "this is not a flattened message at all");
    EXPECT_TRUE(Recent(10).empty());
    ASSERT_EQ(Add(a, "application/x-one"), B_OK);
    EXPECT_EQ(Recent(10), (std::vector<std::string>{a}));
}

TEST_F(RosterTest, UnwritableFolderFails) {
    // A plain file where the configuration folder should be cannot hold the list.
    std::string blocker = fDir.Write("blocker", "x");
    ScopedEnv config("XDG_CONFIG_HOME", blocker);
    EXPECT_NE(Add(Document("a.txt")), B_OK);
    EXPECT_TRUE(Recent(10).empty());
}

TEST_F(RosterTest, BadArguments) {
    EXPECT_EQ(be_roster->AddToRecentDocuments(nullptr), B_BAD_VALUE);
    EXPECT_EQ(be_roster->Launch(nullptr), B_BAD_VALUE);
    be_roster->GetRecentDocuments(nullptr, 10);  // must not crash
}

TEST_F(RosterTest, LaunchMissingFile) {
    entry_ref ref(fDir.Path("missing.txt"));
    EXPECT_EQ(be_roster->Launch(&ref), B_ENTRY_NOT_FOUND);
}

TEST_F(RosterTest, LaunchRunsXdgOpen) {
    std::string bin = fDir.Path("bin");
    ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
    std::string out = fDir.Path("opened");
    // Only shell builtins: the child's PATH holds nothing but the fake xdg-open.
    std::string script =
        fDir.Write("bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + out + "'\n");
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    std::string document = Document("song.vel");
    {
        ScopedEnv path("PATH", bin);
        entry_ref ref(document);
        EXPECT_EQ(be_roster->Launch(&ref), B_OK);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (TempDir::Read(out) != document && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(TempDir::Read(out), document);
}

TEST_F(RosterTest, LaunchWithoutXdgOpen) {
    std::string empty = fDir.Path("nobin");
    ASSERT_EQ(mkdir(empty.c_str(), 0755), 0);
    std::string document = Document("a.txt");
    ScopedEnv path("PATH", empty);
    entry_ref ref(document);
    EXPECT_EQ(be_roster->Launch(&ref), B_ERROR);
}

}  // namespace
