#include "engine/message/message.h"

#include <gtest/gtest.h>

TEST(Message, FindsWhatWasAdded) {
    BMessage m('TEST');
    ASSERT_EQ(m.AddInt32("a", 5), B_OK);
    int32 v = 0;
    EXPECT_EQ(m.FindInt32("a", &v), B_OK);
    EXPECT_EQ(v, 5);
}
