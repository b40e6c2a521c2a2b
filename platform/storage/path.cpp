#include "platform/storage/path.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

bool CurrentFolder(std::string* folder) {
    std::vector<char> buffer(256);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return false;
        buffer.resize(buffer.size() * 2);
    }
    *folder = buffer.data();
    return true;
}

// ".." is resolved by name, not by following links, so the entry need not exist.
std::string Normalized(const std::string& absolute) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= absolute.size()) {
        size_t end = absolute.find('/', start);
        if (end == std::string::npos) end = absolute.size();
        std::string part = absolute.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    std::string result;
    for (const auto& part : parts) result += "/" + part;
    return result.empty() ? "/" : result;
}

}  // namespace

BPath::BPath(const char* path, const char* leaf) {
    SetTo(path, leaf);
}

BPath::BPath(const entry_ref* ref) {
    SetTo(ref);
}

status_t BPath::SetTo(const char* path, const char* leaf) {
    bool bad = path == nullptr || path[0] == '\0' ||
               (leaf != nullptr && (leaf[0] == '\0' || leaf[0] == '/'));
    // Either argument may point into fPath, so both are copied before anything changes.
    std::string full = bad ? "" : path;
    if (!bad && leaf != nullptr) full += std::string("/") + leaf;
    Unset();
    if (bad) return fStatus = B_BAD_VALUE;
    if (full[0] != '/') {
        std::string folder;
        if (!CurrentFolder(&folder)) return fStatus = B_ERROR;
        full = folder + "/" + full;
    }
    fPath = Normalized(full);
    return fStatus = B_OK;
}

status_t BPath::SetTo(const entry_ref* ref) {
    return SetTo(ref == nullptr ? nullptr : ref->path.c_str());
}

void BPath::Unset() {
    fPath.clear();
    fStatus = B_BAD_VALUE;
}

const char* BPath::Leaf() const {
    if (fStatus != B_OK) return nullptr;
    return fPath.c_str() + fPath.find_last_of('/') + 1;
}

status_t BPath::GetParent(BPath* parent) const {
    if (parent == nullptr || fStatus != B_OK) return B_BAD_VALUE;
    if (fPath == "/") return B_ENTRY_NOT_FOUND;
    size_t slash = fPath.find_last_of('/');
    parent->fPath = slash == 0 ? "/" : fPath.substr(0, slash);
    parent->fStatus = B_OK;
    return B_OK;
}

status_t BPath::Append(const char* path) {
    if (fStatus != B_OK) return fStatus;
    if (path == nullptr || path[0] == '\0' || path[0] == '/') return B_BAD_VALUE;
    return SetTo(fPath.c_str(), path);
}

bool BPath::operator==(const BPath& other) const {
    return fStatus == other.fStatus && fPath == other.fPath;
}

bool BPath::operator==(const char* path) const {
    return path != nullptr && fStatus == B_OK && fPath == path;
}
