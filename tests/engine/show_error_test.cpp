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

TEST(ShowErrorText, DeferredErrorsWaitForTheOutermostScopeAndShowAsOne) {
    ShownErrors().clear();
    {
        DeferredErrors outer;
        {
            DeferredErrors inner;
            ShowError("first");
        }
        ShowError("second");
        ShowError("first");
        EXPECT_TRUE(ShownErrors().empty());
    }
    EXPECT_EQ(ShownErrors(), (std::vector<std::string>{"first\n\nsecond"}));
    ShownErrors().clear();
    {
        DeferredErrors many;
        for (int i = 0; i < 300; i++) ShowError("problem %d", i);
    }
    ASSERT_EQ(ShownErrors().size(), 1u);
    EXPECT_EQ(ShownErrors()[0],
              "problem 0\n\nproblem 1\n\nproblem 2\n\nproblem 3\n\nproblem 4\n\n... and 295 more.");
}
