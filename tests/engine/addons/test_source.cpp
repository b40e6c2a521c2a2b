// A sound source whose output is a known function of the song position, and which plays one
// note a step on the instrument slot it is given.
#include <vector>

#include "engine/player.h"
#include "engine/song.h"
#include "tests/engine/addons/test_addon_info.h"
#include "tests/engine/addons/test_records.h"
#include "tests/engine/addons/test_signal.h"

namespace {

std::vector<SourceStep> steps;

class TestSource : public Machine {
  public:
    TestSource() {
        has_output = 1;
        SetName("Test source");
    }

    void Process() override {
        steps.push_back({ID, song->position, song->step, buffer_length});
        for (int32 f = 0; f < buffer_length; f++) {
            buffer_left[f] = TestSignal(song->position, song->step, f);
            buffer_right[f] = -buffer_left[f];
        }
        Instrument* target = nullptr;
        if (instrument >= 0 && instrument < Song::kInstrumentSlots) {
            target = song->instruments[instrument];
        }
        if (target == nullptr) return;
        note.sounding = 1;
        target->Process(buffer_left, buffer_right, buffer_length, &note);
        note.time += float(buffer_length);
    }

    void Save(BMessage* msg) override {
        msg->AddInt32("instrument", instrument);
        Machine::Save(msg);
    }

    void Open(BMessage* msg) override {
        msg->FindInt32("instrument", &instrument);
        Machine::Open(msg);
    }

    int32 instrument = -1;
    NoteInfo note{60, 0.5946f, 0, nullptr, 0, 0};
};

}  // namespace

VELLORAN_ADDON_EXPORT Addon* CreateAddon(int32) {
    return new TestSource;
}
VELLORAN_ADDON_EXPORT std::vector<SourceStep>* TestSourceSteps() { return &steps; }
VELLORAN_TEST_ADDON_INFO("Test source")
