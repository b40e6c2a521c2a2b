// A source that adds nothing to its cleared buffers: what is left of a step is the graph's own
// cost.
#include "engine/machine.h"
#include "tests/engine/addons/test_addon_info.h"

namespace {

class TestSilence : public Machine {
  public:
    TestSilence() {
        has_output = 1;
        SetName("Test silence");
    }
};

}  // namespace

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new TestSilence;
}
VELLORAN_TEST_ADDON_INFO("Test silence")
