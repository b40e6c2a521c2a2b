#include "platform/storage/node_info.h"

#include <unistd.h>

#include <QByteArray>
#include <QMimeDatabase>
#include <QMimeType>
#include <QString>
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// The freedesktop.org name, so other programs on the desktop see the same type.
constexpr const char* kTypeAttribute = "user.mime_type";
constexpr const char* kSongType = "audio/VelloranFile";
// A song file holds a flattened message after a four-byte header.
constexpr size_t kSongSignatureOffset = 4;
constexpr std::string_view kSongSignature = "1BOF";
constexpr std::string_view kSongExtension = ".vel";
// Standard MIDI Files are known even where the desktop's type database is missing.
constexpr const char* kMidiType = "audio/midi";
constexpr std::string_view kMidiSignature = "MThd";
// As much of the head of a file as the database's content rules look at.
constexpr size_t kSniffSize = 16 * 1024;

bool IsValidType(std::string_view type) {
    size_t slash = type.find('/');
    if (type.size() >= B_MIME_TYPE_LENGTH || slash == 0 || slash == std::string_view::npos ||
        slash + 1 == type.size() || type.find('/', slash + 1) != std::string_view::npos) {
        return false;
    }
    for (char c : type) {
        if (c <= ' ' || c >= 0x7f) return false;
    }
    return true;
}

}  // namespace

BNodeInfo::BNodeInfo(BNode* node) {
    SetTo(node);
}

status_t BNodeInfo::SetTo(BNode* node) {
    fNode = node != nullptr && node->InitCheck() == B_OK ? node : nullptr;
    return InitCheck();
}

status_t BNodeInfo::GetType(std::string* type) const {
    if (type == nullptr || fNode == nullptr) return B_BAD_VALUE;
    std::string stored;
    if (fNode->ReadAttrString(kTypeAttribute, &stored) == B_OK) {
        // Some programs store the type with its NUL.
        while (!stored.empty() && stored.back() == '\0') stored.pop_back();
        if (IsValidType(stored)) {
            *type = std::move(stored);
            return B_OK;
        }
    }
    *type = SniffType();
    return B_OK;
}

status_t BNodeInfo::GetType(char* type) const {
    std::string found;
    if (type == nullptr) return B_BAD_VALUE;
    if (status_t status = GetType(&found); status != B_OK) return status;
    std::memcpy(type, found.c_str(), found.size() + 1);
    return B_OK;
}

status_t BNodeInfo::SetType(const char* type) {
    if (fNode == nullptr) return B_BAD_VALUE;
    if (type == nullptr) {
        status_t status = fNode->RemoveAttr(kTypeAttribute);
        return status == B_ENTRY_NOT_FOUND ? B_OK : status;
    }
    if (!IsValidType(type)) return B_BAD_VALUE;
    ssize_t written = fNode->WriteAttr(kTypeAttribute, type, std::strlen(type));
    return written < 0 ? status_t(written) : B_OK;
}

std::string BNodeInfo::SniffType() const {
    struct stat info;
    if (fNode->GetStat(&info) == B_OK && S_ISDIR(info.st_mode)) return "inode/directory";
    // A node opened for writing only cannot be read; then the name alone decides.
    std::vector<char> head(kSniffSize);
    ssize_t size = pread(fNode->FD(), head.data(), head.size(), 0);
    head.resize(size > 0 ? size_t(size) : 0);
    std::string_view bytes(head.data(), head.size());
    if (bytes.substr(std::min(kSongSignatureOffset, bytes.size()), kSongSignature.size()) ==
        kSongSignature) {
        return kSongType;
    }
    // A damaged song is still a song: its own reader says what is wrong with it, and the
    // system's database may not know the extension.
    const char* name = fNode->NodePath().Leaf();
    const std::string_view leaf = name != nullptr ? name : "";
    if (leaf.size() > kSongExtension.size() && leaf.ends_with(kSongExtension)) return kSongType;
    if (bytes.starts_with(kMidiSignature) || leaf.ends_with(".mid") || leaf.ends_with(".midi"))
        return kMidiType;
    QMimeDatabase database;
    QMimeType type = database.mimeTypeForFileNameAndData(
        QString::fromUtf8(fNode->NodePath().Leaf()),
        QByteArray::fromRawData(head.data(), qsizetype(head.size())));
    return type.name().toStdString();
}
