#include "tests/engine/engine_environment.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "platform/media/sound_output.h"

namespace {

void Record(const char* text) {
    ShownErrors().push_back(text);
}

class EngineEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_EQ(chdir(ENGINE_TEST_ROOT), 0);
        setenv("VELLORAN_AUDIO", "null", 1);
        SetErrorPresenter(Record);
        instrument_roster.Scan("instruments");
        machine_roster.Scan("machines");
        importer_roster.Scan("importers");
        new Song(PlayerDrive::kCaller);
    }
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

template <typename Record>
std::vector<Record>& Recording(Roster& roster, const char* addon, const char* symbol) {
    int index = roster.Find(addon);
    roster.Load(index);
    void* function = nullptr;
    EXPECT_TRUE(index >= 0 && roster.objects[index]->GetObject(symbol, &function)) << symbol;
    return *reinterpret_cast<std::vector<Record>* (*)()>(function)();
}

}  // namespace

std::vector<std::string>& ShownErrors() {
    static std::vector<std::string> errors;
    return errors;
}

void EngineTest::SetUp() {
    song->New();
    ShownErrors().clear();
    ControllerCalls().clear();
    InstrumentCalls().clear();
    SourceSteps().clear();
    bigbufnr = 0;
    UpdatePlayerTempo();
}

Machine* EngineTest::Add(const char* name) {
    int index = song->AddMachine(name);
    EXPECT_GE(index, 0) << name;
    return index >= 0 ? song->machines[index] : nullptr;
}

std::vector<ControllerCall>& EngineTest::ControllerCalls() {
    return Recording<ControllerCall>(machine_roster, "TestController", "TestControllerCalls");
}

std::vector<InstrumentCall>& EngineTest::InstrumentCalls() {
    return Recording<InstrumentCall>(instrument_roster, "TestInstrument", "TestInstrumentCalls");
}

std::vector<SourceStep>& EngineTest::SourceSteps() {
    return Recording<SourceStep>(machine_roster, "TestSource", "TestSourceSteps");
}

std::vector<float> EngineTest::PlayOutput(int32 frames) {
    std::vector<float> out(size_t(frames) * 2);
    EXPECT_EQ(SoundOutput::Default().Render(out.data(), frames), B_OK);
    return out;
}

void EngineTest::Steps(int n) {
    // Allocated once, so that counting allocations around steps counts only the engine's.
    static std::vector<float> out(size_t(kBigBufferFrames) * 2);
    for (int i = 0; i < n;) {
        int32 left = std::clamp(bigbuflen[1 - bigbufnr] - bigbufpos, 1, kBigBufferFrames);
        EXPECT_EQ(SoundOutput::Default().Render(out.data(), left), B_OK);
        if (PumpPlayer()) i++;
    }
}

int32 EngineTest::LastHalf() {
    return bigbufnr;
}
