#include "engine/show_error.h"

#include "tests/engine/engine_environment.h"

TEST(ShowErrorText, FormatsAndCutsAt999Characters) {
    ShownErrors().clear();
    ShowError("%s has no Input!", "Echo");
    ShowError("%s", std::string(1500, 'x').c_str());
    ASSERT_EQ(ShownErrors().size(), 2u);
    EXPECT_EQ(ShownErrors()[0], "Echo has no Input!");
    EXPECT_EQ(ShownErrors()[1], std::string(999, 'x'));
}

TEST(ShowErrorText, DeferredErrorsWaitForTheOutermostScope) {
    ShownErrors().clear();
    {
        DeferredErrors outer;
        {
            DeferredErrors inner;
            ShowError("first");
        }
        ShowError("second");
        EXPECT_TRUE(ShownErrors().empty());
    }
    EXPECT_EQ(ShownErrors(), (std::vector<std::string>{"first", "second"}));
}
