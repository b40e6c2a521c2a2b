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
  protected:
    void SetUp() override;

    // Adds a machine of the named add-on and fails the test when none was made.
    Machine* Add(const char* name);
    std::vector<ControllerCall>& ControllerCalls();
    std::vector<InstrumentCall>& InstrumentCalls();
    // Renders n steps the way the player does.
    void Steps(int n);
};
