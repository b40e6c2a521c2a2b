// The effect plug-ins of ./add-ons/plugbayplugins/, shared by every pipe of the add-on image.
#pragma once

#include "addons/Plugbay/effect.h"
#include "engine/roster.h"

#include <memory>
#include <mutex>
#include <string>

class PluginScan;

class EffectRoster : public Roster {
  public:
    // Where users install plug-ins of this interface, when VST_PATH does not say.
    static constexpr const char* kUserFolders[] = {"~/.vst", "/usr/local/lib/vst", "/usr/lib/vst"};

    // A scan still running hands its list to no one.
    ~EffectRoster() override;

    // The threads that make pipes. The first call lists ./add-ons/plugbayplugins/ and the
    // users' plug-in folders (VST_PATH, colon-separated, or kUserFolders, with their
    // subfolders), each name once, on a thread of its own; plug-ins that fail their check are
    // left out with a line saying why. Every call returns once that scan has ended, so the
    // roster is never read half-built; the GUI thread serves the windows meanwhile.
    void ScanAll();

    // Window thread or the song loader. A new effect, opened and switched on, for a roster
    // name; null when the name is unknown or the library holds no usable plug-in.
    Effect* Create(const char* name) override;

  private:
    AEffectEntryProc Entry(int index);
    // The scanning thread.
    void Build(PluginScan& scan);
    void AddFolder(const std::string& folder);
    void LeaveOutFailures(PluginScan& scan);
    void TakeList(EffectRoster& found);

    std::once_flag fStarted;
    std::shared_ptr<PluginScan> fScan;
};

extern EffectRoster effect_roster;
