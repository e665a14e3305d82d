// RT_ASSERT is compiled into the tree the tests run: a broken invariant
// stops the program at the point of the fault, naming it.
#include <gtest/gtest.h>

#include "System.h"

namespace {

TEST(RtAssertDeathTest, brokenInvariantAbortsNamingTheCondition) {
    const int cursor = 3, count = 2;
    EXPECT_DEATH(RT_ASSERT(cursor < count), "invariant broken: cursor < count");
}

TEST(RtAssert, heldInvariantPassesQuietly) {
    const int cursor = 1, count = 2;
    RT_ASSERT(cursor < count);
    SUCCEED();
}

} // namespace
