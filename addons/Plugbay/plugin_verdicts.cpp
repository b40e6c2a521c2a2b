#include "addons/Plugbay/plugin_verdicts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string CacheFile() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    std::string folder = cache != nullptr && cache[0] == '/' ? cache
                         : home != nullptr                   ? std::string(home) + "/.cache"
                                                             : std::string("/tmp");
    return folder + "/velloran/plugins";
}

// Paths and reasons are kept one per line, fields split by tabs.
bool Storable(const std::string& text) {
    return text.find_first_of("\t\n") == std::string::npos;
}

}  // namespace

PluginVerdicts::PluginVerdicts() : PluginVerdicts(CacheFile()) {}

PluginVerdicts::PluginVerdicts(std::string file) : fFile(std::move(file)) {
    Load();
}

std::string PluginVerdicts::Stamp(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return "";
    return std::to_string(info.st_size) + ":" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

void PluginVerdicts::Load() {
    std::ifstream in(fFile);
    std::string stamp, usable, path, reason;
    while (std::getline(in, stamp, '\t') && std::getline(in, usable, '\t') &&
           std::getline(in, path, '\t') && std::getline(in, reason)) {
        fEntries[path] = {stamp, {usable == "1", reason}};
    }
}

const PluginVerdict* PluginVerdicts::Find(const std::string& path) const {
    auto found = fEntries.find(path);
    if (found == fEntries.end() || found->second.stamp != Stamp(path)) return nullptr;
    return &found->second.verdict;
}

void PluginVerdicts::Remember(const std::string& path, const PluginVerdict& verdict) {
    const std::string stamp = Stamp(path);
    if (stamp.empty() || !Storable(path) || !Storable(verdict.reason)) return;
    fEntries[path] = {stamp, verdict};
}

bool PluginVerdicts::Save() const {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(fFile).parent_path(), error);
    // Several programs may save at once; each writes its own file and the last rename wins.
    const std::string temporary = fFile + ".saving." + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [path, entry] : fEntries)
            out << entry.stamp << '\t' << (entry.verdict.usable ? 1 : 0) << '\t' << path << '\t'
                << entry.verdict.reason << '\n';
        if (!out.flush()) return false;
    }
    return std::rename(temporary.c_str(), fFile.c_str()) == 0;
}
