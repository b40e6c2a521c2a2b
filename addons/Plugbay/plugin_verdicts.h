// What the checks of plug-ins found, kept between runs under the user's cache folder, keyed by
// path, size and modification time so that a changed plug-in is checked again.
#pragma once

#include <map>
#include <string>

#include "addons/Plugbay/plugin_check.h"

class PluginVerdicts {
  public:
    // The file: $XDG_CACHE_HOME/velloran/plugins, else ~/.cache/velloran/plugins.
    PluginVerdicts();
    explicit PluginVerdicts(std::string file);

    // The thread that scans. Null when the plug-in was not checked as it is now.
    const PluginVerdict* Find(const std::string& path) const;
    void Remember(const std::string& path, const PluginVerdict& verdict);
    // Writes the file (through a temporary file); false when it cannot be written.
    bool Save() const;

  private:
    struct Entry {
        std::string stamp;
        PluginVerdict verdict;
    };
    static std::string Stamp(const std::string& path);
    void Load();

    std::string fFile;
    std::map<std::string, Entry> fEntries;
};
