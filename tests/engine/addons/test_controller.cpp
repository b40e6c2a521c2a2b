// A controller that records what it saw and jumps or changes the tempo where it is told.
#include <vector>

#include "engine/song.h"
#include "tests/engine/addons/test_addon_info.h"
#include "tests/engine/addons/test_records.h"

namespace {

std::vector<ControllerCall> calls;

class TestController : public Machine {
  public:
    TestController() { SetName("Test controller"); }

    void Process() override {
        calls.push_back({ID, song->position, song->step, song->next_position, song->next_tempo});
        if (song->next_position == jump_at) song->next_position = jump_to;
        if (song->next_position == tempo_at) song->next_tempo = tempo;
    }

    void Save(BMessage* msg) override {
        Machine::Save(msg);
        msg->AddInt32("jump_at", jump_at);
        msg->AddInt32("jump_to", jump_to);
        msg->AddInt32("tempo_at", tempo_at);
        msg->AddInt32("tempo", tempo);
    }

    void Open(BMessage* msg) override {
        Machine::Open(msg);
        msg->FindInt32("jump_at", &jump_at);
        msg->FindInt32("jump_to", &jump_to);
        msg->FindInt32("tempo_at", &tempo_at);
        msg->FindInt32("tempo", &tempo);
    }

    int32 jump_at = -1;
    int32 jump_to = 0;
    int32 tempo_at = -1;
    int32 tempo = 120;
};

}  // namespace

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new TestController;
}
VELLORAN_ADDON_EXPORT std::vector<ControllerCall>* TestControllerCalls() {
    return &calls;
}
VELLORAN_TEST_ADDON_INFO("Test controller")
