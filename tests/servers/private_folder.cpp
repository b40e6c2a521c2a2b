#include "tests/servers/private_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

PrivateFolder::PrivateFolder(const std::string& prefix) {
    const std::string pattern = (fs::temp_directory_path() / (prefix + "XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) != nullptr) fPath = name.data();
}

PrivateFolder::~PrivateFolder() {
    std::error_code ignored;
    if (!fPath.empty()) fs::remove_all(fPath, ignored);
}

std::string PrivateFolder::Name() const {
    return fs::path(fPath).filename().string();
}
