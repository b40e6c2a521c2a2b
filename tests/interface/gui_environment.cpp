// Every interface test runs with a Qt application on the offscreen display, served by this
// (the main) thread.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/app/gui_thread.h"

namespace {

class GuiEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        gui_thread::Start();
    }
};

const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
