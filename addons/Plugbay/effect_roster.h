// The effect plug-ins of ./add-ons/plugbayplugins/, shared by every pipe of the add-on image.
#pragma once

#include "addons/Plugbay/effect.h"
#include "engine/roster.h"

class EffectRoster : public Roster {
  public:
    // Window thread or the song loader. A new effect, opened and switched on, for a roster
    // name; null when the name is unknown or the library holds no usable plug-in.
    Effect* Create(const char* name) override;

  private:
    AEffectEntryProc Entry(int index);
};

extern EffectRoster effect_roster;
// Set once the first machine has scanned the plug-in folder.
extern int32 initiated;
