// An effect that passes its mixed inputs on unchanged: a bus that gathers sources.
#include "engine/machine.h"
#include "tests/engine/addons/test_addon_info.h"

namespace {

class TestBus : public Machine {
  public:
    TestBus() {
        has_input = 1;
        has_output = 1;
        SetName("Test bus");
    }
};

}  // namespace

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new TestBus;
}
VELLORAN_TEST_ADDON_INFO("Test bus")
