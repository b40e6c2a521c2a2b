#include "platform/app/roster.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/storage/node.h"
#include "platform/storage/node_info.h"
#include "platform/storage/path.h"

extern char** environ;

namespace {

struct RecentDocument {
    std::string path;
    std::string signature;
    std::string type;
};

// Serialises read-modify-write within one process; between processes the rename keeps the
// file whole, and the last writer wins.
std::mutex gRecentLock;

std::string ConfigFolder() {
    const char* config = getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/velloran";
    const char* home = getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/velloran";
}

std::string RecentFile() {
    return ConfigFolder() + "/recent_documents";
}

bool ReadAll(const std::string& path, std::string* bytes) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char chunk[4096];
    for (;;) {
        ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            close(fd);
            return got == 0;
        }
        bytes->append(chunk, size_t(got));
    }
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t done = write(fd, data, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        data += done;
        size -= size_t(done);
    }
    return true;
}

// A missing or damaged file reads as an empty list.
std::vector<RecentDocument> LoadRecent() {
    std::vector<RecentDocument> documents;
    std::string bytes;
    if (!ReadAll(RecentFile(), &bytes) || bytes.empty()) return documents;
    BMessage archive;
    if (archive.Unflatten(bytes.data(), ssize_t(bytes.size())) != B_OK) return documents;
    for (int32 i = 0;; ++i) {
        RecentDocument document;
        if (archive.FindString("path", i, &document.path) != B_OK ||
            archive.FindString("signature", i, &document.signature) != B_OK ||
            archive.FindString("type", i, &document.type) != B_OK)
            break;
        documents.push_back(std::move(document));
    }
    return documents;
}

status_t SaveRecent(const std::vector<RecentDocument>& documents) {
    BMessage archive;
    for (const RecentDocument& document : documents) {
        if (archive.AddString("path", document.path) != B_OK ||
            archive.AddString("signature", document.signature) != B_OK ||
            archive.AddString("type", document.type) != B_OK)
            return B_NO_MEMORY;
    }
    ssize_t size = archive.FlattenedSize();
    if (size < 0) return status_t(size);
    std::vector<char> buffer(static_cast<size_t>(size));
    status_t status = archive.Flatten(buffer.data(), size);
    if (status != B_OK) return status;

    std::error_code error;
    std::filesystem::create_directories(ConfigFolder(), error);
    if (error) return B_NOT_ALLOWED;
    std::string target = RecentFile();
    std::string temporary = target + ".XXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return B_NOT_ALLOWED;
    bool written = WriteAll(fd, buffer.data(), buffer.size()) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    // The rename replaces the old list at once, so a reader never sees half a file.
    if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return B_IO_ERROR;
    }
    return B_OK;
}

std::string TypeOf(const char* path) {
    BNode node(path);
    if (node.InitCheck() != B_OK) return "";
    BNodeInfo info(&node);
    std::string type;
    if (info.GetType(&type) != B_OK) return "";
    return type;
}

}  // namespace

status_t BRoster::AddToRecentDocuments(const entry_ref* ref, const char* appSignature) {
    if (ref == nullptr || ref->path.empty()) return B_BAD_VALUE;
    BPath path(ref);
    if (path.InitCheck() != B_OK) return path.InitCheck();
    RecentDocument added{path.Path(), appSignature != nullptr ? appSignature : "",
                         TypeOf(path.Path())};

    std::lock_guard guard(gRecentLock);
    std::vector<RecentDocument> documents = LoadRecent();
    std::vector<RecentDocument> kept{added};
    std::map<std::string, int32> perSignature{{added.signature, 1}};
    for (RecentDocument& document : documents) {
        if (document.path == added.path && document.signature == added.signature) continue;
        if (++perSignature[document.signature] > kMaxRecentDocuments) continue;
        kept.push_back(std::move(document));
    }
    return SaveRecent(kept);
}

void BRoster::GetRecentDocuments(BMessage* refList, int32 maxCount, const char* fileType,
                                 const char* appSignature) const {
    if (refList == nullptr || maxCount <= 0) return;
    std::vector<RecentDocument> documents;
    {
        std::lock_guard guard(gRecentLock);
        documents = LoadRecent();
    }
    int32 added = 0;
    for (const RecentDocument& document : documents) {
        if (added >= maxCount) break;
        if (appSignature != nullptr && document.signature != appSignature) continue;
        if (fileType != nullptr && document.type != fileType) continue;
        entry_ref ref(document.path);
        if (refList->AddRef("refs", &ref) == B_OK) ++added;
    }
}

status_t BRoster::Launch(const entry_ref* ref) const {
    if (ref == nullptr || ref->path.empty()) return B_BAD_VALUE;
    BPath path(ref);
    if (path.InitCheck() != B_OK) return path.InitCheck();
    struct stat info;
    if (stat(path.Path(), &info) != 0) return B_ENTRY_NOT_FOUND;

    std::string program = "xdg-open";
    std::string argument = path.Path();
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv, environ) != 0) return B_ERROR;
    // Reaped in the background so the caller need not wait and no zombie is left.
    std::thread([child] {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return B_OK;
}

namespace {
BRoster gRoster;
}  // namespace

BRoster* be_roster = &gRoster;
