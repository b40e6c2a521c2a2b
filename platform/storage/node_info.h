// The file type of a node, as a MIME type.
#pragma once

#include <string>

#include "message/support_defs.h"
#include "platform/storage/node.h"

// Room for the longest type and its NUL.
constexpr size_t B_MIME_TYPE_LENGTH = 256;

// Any thread; one node info is not shared between threads without a lock.
class BNodeInfo {
  public:
    // Any thread.
    BNodeInfo() = default;
    // Any thread. The node must outlive the node info.
    explicit BNodeInfo(BNode* node);

    // Any thread.
    status_t SetTo(BNode* node);
    // Any thread.
    status_t InitCheck() const { return fNode == nullptr ? B_BAD_VALUE : B_OK; }

    // Any thread. The type attribute, else the content and name as the shared MIME database
    // knows them; "application/octet-stream" when nothing is known. type holds
    // B_MIME_TYPE_LENGTH bytes.
    status_t GetType(char* type) const;
    // Any thread.
    status_t GetType(std::string* type) const;
    // Any thread. Stores the type attribute; null removes it.
    status_t SetType(const char* type);

  private:
    std::string SniffType() const;

    BNode* fNode = nullptr;
};
