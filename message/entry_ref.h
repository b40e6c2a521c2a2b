// A reference to a file system entry, by its path; the entry need not exist.
#pragma once

#include <string>

struct entry_ref {
    entry_ref() = default;
    explicit entry_ref(std::string entryPath) : path(std::move(entryPath)) {}

    // The last component of the path ("" for an empty reference).
    std::string Name() const {
        auto slash = path.find_last_of('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }
    bool operator==(const entry_ref&) const = default;

    std::string path;
};
