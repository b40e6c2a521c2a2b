// What went wrong while a song was read, told in one error however much went wrong.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "message/support_defs.h"

class LoadReport {
  public:
    // kind is "machine" or "instrument"; name the add-on that could not make it.
    void Missing(const char* kind, const std::string& name);
    // The file's count of kind said more, or fewer, than it holds.
    void CountMismatch(const char* kind, int32 said, int32 held);
    // Through ShowError, once, when anything was noted.
    void Show() const;

  private:
    struct Missed {
        int32 objects = 0;
        // Each add-on once, in the order first met.
        std::vector<std::string> names;
    };
    static std::string Describe(const char* kind, const Missed& missed);

    std::map<std::string, Missed> fMissing;
    std::string fCounts;
};
