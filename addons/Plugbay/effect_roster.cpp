#include "addons/Plugbay/effect_roster.h"

#include "addons/Plugbay/host_callback.h"
#include "engine/diagnostics.h"

EffectRoster effect_roster;
int32 initiated = 0;

AEffectEntryProc EffectRoster::Entry(int index) {
    Load(index);
    // Libraries built for other hosts export the entry under one of the older names.
    for (const char* symbol :
         {AEFFECT_ENTRY_NAME, AEFFECT_ENTRY_NAME_ALT, AEFFECT_ENTRY_NAME_OLD}) {
        void* found = nullptr;
        if (objects[index]->GetObject(symbol, &found))
            return reinterpret_cast<AEffectEntryProc>(found);
    }
    return nullptr;
}

Effect* EffectRoster::Create(const char* name) {
    Diagnostic("Creating: %s\n", name != nullptr ? name : "");
    int index = Find(name);
    if (index < 0) return nullptr;
    AEffectEntryProc entry = Entry(index);
    AEffect* record = entry != nullptr ? entry(Hej) : nullptr;
    // Without a dispatcher a record can be neither opened nor closed.
    if (record == nullptr || record->dispatcher == nullptr) return nullptr;
    auto* made = new Effect(record);
    if (made->Init()) return made;
    delete made;
    return nullptr;
}
