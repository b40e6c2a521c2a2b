// Services shared by every program: the recent documents list and opening files with the
// desktop's preferred program.
#pragma once

#include "message/entry_ref.h"
#include "message/message.h"
#include "message/support_defs.h"

// Any thread. The recent documents live in one file under the user's configuration folder,
// read on every call so that several processes share them.
class BRoster {
  public:
    // How many documents are kept for one program signature.
    static constexpr int32 kMaxRecentDocuments = 100;

    BRoster() = default;
    BRoster(const BRoster&) = delete;
    BRoster& operator=(const BRoster&) = delete;

    // Any thread. Records the document for appSignature (null counts as ""), with its file
    // type; adding it again moves it to the front. Fails when the list cannot be written.
    status_t AddToRecentDocuments(const entry_ref* ref, const char* appSignature = nullptr);
    // Any thread. Appends up to maxCount "refs", newest first, keeping only those of
    // fileType and appSignature when given.
    void GetRecentDocuments(BMessage* refList, int32 maxCount, const char* fileType = nullptr,
                            const char* appSignature = nullptr) const;

    // Any thread. Opens the file with xdg-open without waiting for it: B_ENTRY_NOT_FOUND when
    // the file does not exist, B_ERROR when xdg-open cannot be started.
    status_t Launch(const entry_ref* ref) const;
};

extern BRoster* be_roster;
