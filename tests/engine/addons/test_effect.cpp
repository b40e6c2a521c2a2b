// An effect that doubles its left input and halves its right.
#include "engine/machine.h"
#include "tests/engine/addons/test_addon_info.h"

namespace {

class TestEffect : public Machine {
  public:
    TestEffect() {
        has_input = 1;
        has_output = 1;
        SetName("Test effect");
    }

    void Process() override {
        for (int32 f = 0; f < buffer_length; f++) {
            buffer_left[f] *= 2.0f;
            buffer_right[f] *= 0.5f;
        }
    }
};

}  // namespace

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new TestEffect;
}
VELLORAN_TEST_ADDON_INFO("Test effect")
