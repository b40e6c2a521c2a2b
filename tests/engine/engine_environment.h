// What every engine test shares: the add-on folders of the build tree, the one song, the
// errors it showed, and the recording add-ons' logs.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/song.h"
#include "tests/engine/addons/test_records.h"

// The texts ShowError was given since the last Clear.
std::vector<std::string>& ShownErrors();

// Clears the song, the shown errors and the recordings before each test.
class EngineTest : public ::testing::Test {
  public:
    // The half the last step was rendered into.
    static int32 LastHalf();

  protected:
    void SetUp() override;

    // Adds a machine of the named add-on and fails the test when none was made.
    Machine* Add(const char* name);
    std::vector<ControllerCall>& ControllerCalls();
    std::vector<InstrumentCall>& InstrumentCalls();
    std::vector<SourceStep>& SourceSteps();
    // Plays the output up to the end of the playing half and lets the player render the next
    // step, n times; Play has already rendered the first two.
    void Steps(int n);
    // Plays frames of the output through the sound routine; what it played.
    std::vector<float> PlayOutput(int32 frames);
};
