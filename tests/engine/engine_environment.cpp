#include "tests/engine/engine_environment.h"

#include <unistd.h>

#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/show_error.h"

namespace {

void Record(const char* text) {
    ShownErrors().push_back(text);
}

class EngineEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_EQ(chdir(ENGINE_TEST_ROOT), 0);
        SetErrorPresenter(Record);
        instrument_roster.Scan("instruments");
        machine_roster.Scan("machines");
        importer_roster.Scan("importers");
        new Song;
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

void EngineTest::Steps(int n) {
    for (int i = 0; i < n; i++) {
        song->Process();
        bigbufnr = 1 - bigbufnr;
        bigbuflen[bigbufnr] = bigbuflen[1 - bigbufnr].load();
    }
}
