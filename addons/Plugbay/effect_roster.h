// The effect plug-ins of ./add-ons/plugbayplugins/, shared by every pipe of the add-on image.
#pragma once

#include "addons/Plugbay/effect.h"
#include "engine/roster.h"

#include <string>

class EffectRoster : public Roster {
  public:
    // Where users install plug-ins of this interface, when VST_PATH does not say.
    static constexpr const char* kUserFolders[] = {"~/.vst", "/usr/local/lib/vst", "/usr/lib/vst"};

    // The thread that makes the first pipe. Lists ./add-ons/plugbayplugins/ and the users'
    // plug-in folders (VST_PATH, colon-separated, or kUserFolders, with their subfolders),
    // each name once; plug-ins that fail their check are left out with a line saying why.
    void ScanAll();

    // Window thread or the song loader. A new effect, opened and switched on, for a roster
    // name; null when the name is unknown or the library holds no usable plug-in.
    Effect* Create(const char* name) override;

  private:
    AEffectEntryProc Entry(int index);
    void AddFolder(const std::string& folder);
    void LeaveOutFailures();
};

extern EffectRoster effect_roster;
// Set once the first machine has scanned the plug-in folder.
extern int32 initiated;
