// TBusyCursor shows the busy cursor for a scope and puts back the one that
// showed before, on every way out.
#include <gtest/gtest.h>

#include "Screen.h"

namespace {

TEST(BusyCursor, previousCursorComesBackAfterAnException) {
    Screen->SetCursor(crDefault);
    try {
        TBusyCursor busy;
        EXPECT_EQ(Screen->Cursor(), crHourGlass);
        throw EAbort();
    } catch (const EAbort&) {}
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST(BusyCursor, innerGuardLeavesTheOuterBusyCursor) {
    Screen->SetCursor(crDefault);
    {
        TBusyCursor outer;
        {
            TBusyCursor inner(crSQLWait);
            EXPECT_EQ(Screen->Cursor(), crSQLWait);
        }
        EXPECT_EQ(Screen->Cursor(), crHourGlass);
    }
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

} // namespace
