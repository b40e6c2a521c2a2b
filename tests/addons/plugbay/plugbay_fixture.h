// Plugbay machines from the machine roster, the add-on's own plug-in roster, and the machine's
// buffers filled and run directly.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "addons/Plugbay/effect_roster.h"
#include "addons/Plugbay/machine_plugbay.h"
#include "engine/rosters.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/window.h"
#include "tests/engine/engine_environment.h"

class PlugbayTest : public EngineTest {
  protected:
    MachinePlugbay* AddPlugbay() { return static_cast<MachinePlugbay*>(Add("Plugbay")); }

    // The pipe's operations live in the add-on image: reached through its table of virtual
    // functions, which the compiler would bypass for an object whose type it can see.
    static EffectPipe& Pipe(MachinePlugbay* m) {
        EffectPipe* pipe = &m->pipe;
        asm volatile("" : "+r"(pipe));
        return *pipe;
    }

    template <typename T>
    static T& AddonGlobal(const char* symbol) {
        int index = machine_roster.Find("Plugbay");
        machine_roster.Load(index);
        void* found = nullptr;
        EXPECT_TRUE(machine_roster.objects[index]->GetObject(symbol, &found)) << symbol;
        return *static_cast<T*>(found);
    }

    static EffectRoster& Effects() { return AddonGlobal<EffectRoster>("effect_roster"); }

    // The test plug-ins live outside the shipped folder: listed by path once the first
    // machine has scanned, and kept for the tests after.
    static void ListTestPlugins() {
        // A library with no plug-in entry at all: the add-on itself.
        const char* entries[][2] = {{"RecordingEffect", "plugbaytest/RecordingEffect"},
                                    {"MonoEffect", "plugbaytest/MonoEffect"},
                                    {"HostileEffect", "plugbaytest/HostileEffect"},
                                    {"NotAPlugin", "machines/Plugbay"}};
        for (auto [name, path] : entries) ListTestPlugin(name, path);
    }

    // One more, for the tests that need it; path is under the add-on folders.
    static void ListTestPlugin(const char* name, const char* path) {
        EffectRoster& roster = Effects();
        if (roster.Find(name) >= 0) return;
        roster.names[roster.count] = name;
        roster.paths[roster.count] = path;
        roster.objects[roster.count] = nullptr;
        roster.count++;
    }

    static void Fill(Machine* m, int32 frames, float left, float right) {
        m->buffer_length = frames;
        std::fill(m->buffer_left, m->buffer_left + frames, left);
        std::fill(m->buffer_right, m->buffer_right + frames, right);
    }

    // The GUI thread. How many windows bear that title.
    static int32 WindowsTitled(const char* title) {
        int32 found = 0;
        looper_registry::ForEachGuiLooper([&](BLooper* looper) {
            auto* window = dynamic_cast<BWindow*>(looper);
            found += window != nullptr && std::string(window->Title()) == title;
        });
        return found;
    }

    static std::vector<std::string> Names(const EffectPipe& pipe) {
        std::vector<std::string> names;
        for (int32 i = 0; i < pipe.num_effects; i++) names.push_back(pipe.effects[i]->name);
        return names;
    }
};
