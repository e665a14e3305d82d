// ScopeExit runs its cleanup on every way out of a scope, and an exception
// already in flight is the one the caller sees.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ScopeExit.h"

namespace {

TEST(ScopeExit, restoresOnNormalExitAndOnException) {
    int depth = 0;
    {
        ++depth;
        ScopeExit leave([&] { --depth; });
        EXPECT_EQ(depth, 1);
    }
    EXPECT_EQ(depth, 0);
    try {
        ++depth;
        ScopeExit leave([&] { --depth; });
        throw std::runtime_error("save failed");
    } catch (const std::runtime_error&) {}
    EXPECT_EQ(depth, 0);
}

TEST(ScopeExit, cleanupFailingDuringUnwindKeepsTheFirstException) {
    try {
        ScopeExit leave([] { throw std::logic_error("cleanup failed"); });
        throw std::runtime_error("save failed");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "save failed");
    } catch (...) {
        FAIL() << "the cleanup's exception replaced the first";
    }
}

TEST(ScopeExit, cleanupFailingOnNormalExitReachesTheCaller) {
    EXPECT_THROW({ ScopeExit leave([] { throw std::logic_error("cleanup failed"); }); }, std::logic_error);
}

TEST(ScopeExit, dismissedCleanupDoesNotRun) {
    bool rolledBack = false;
    {
        ScopeExit rollback([&] { rolledBack = true; });
        rollback.Dismiss();
    }
    EXPECT_FALSE(rolledBack);
}

} // namespace
