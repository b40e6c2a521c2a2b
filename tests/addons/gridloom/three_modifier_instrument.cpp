// An instrument offering three modifiers: a wide range, one around zero and one of no height.
#include "engine/instrument.h"
#include "tests/engine/addons/test_addon_info.h"

namespace {

ModifierInfo kModifiers[3] = {
    {"Velocity", 0, 127, 100}, {"Pan", -1, 1, 0}, {"Fixed", 0.5f, 0.5f, 0.5f}};
ModifierInfoList kModifierList = {3, kModifiers};

class ThreeModifierInstrument : public Instrument {
  public:
    ModifierInfoList* GetModifierInfoList() override { return &kModifierList; }
    void Process(float*, float*, long, NoteInfo*) override {}
};

}  // namespace

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new ThreeModifierInstrument;
}
VELLORAN_TEST_ADDON_INFO("Test instrument with three modifiers")
