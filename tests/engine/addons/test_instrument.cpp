// An instrument that records every call and adds a quarter to every frame it is given.
#include <vector>

#include "engine/instrument.h"
#include "tests/engine/addons/test_addon_info.h"
#include "tests/engine/addons/test_records.h"

namespace {

std::vector<InstrumentCall> calls;

ModifierInfo kModifiers[2] = {{"Velocity", 0, 127, 100}, {"Pan", -1, 1, 0}};
ModifierInfoList kModifierList = {2, kModifiers};

class TestInstrument : public Instrument {
  public:
    ModifierInfoList* GetModifierInfoList() override { return &kModifierList; }

    void Process(float* left, float* right, long frames, NoteInfo* note) override {
        calls.push_back({this, frames, note->note, note->offset, note->time, note->sounding});
        for (long f = 0; f < frames; f++) {
            left[f] += 0.25f;
            right[f] += 0.25f;
        }
    }

    void Save(BMessage* msg) override {
        Instrument::Save(msg);
        msg->AddInt32("colour", colour);
    }

    void Open(BMessage* msg) override {
        Instrument::Open(msg);
        msg->FindInt32("colour", &colour);
    }

    int32 colour = 0;
};

}  // namespace

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new TestInstrument;
}
VELLORAN_ADDON_EXPORT std::vector<InstrumentCall>* TestInstrumentCalls() {
    return &calls;
}
VELLORAN_TEST_ADDON_INFO("Test instrument")
