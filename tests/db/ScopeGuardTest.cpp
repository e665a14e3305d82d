// TDisableControls gives a data set's controls back on every way out of a
// walk over its records, a failed one included.
#include <gtest/gtest.h>

#include "ListDataSet.h"

namespace {

TEST(DisableControls, controlsComeBackWhenTheWalkThrows) {
    TListDataSet ds(nullptr);
    try {
        TDisableControls still(&ds);
        EXPECT_TRUE(ds.ControlsDisabled());
        throw EDatabaseError("walk failed");
    } catch (const EDatabaseError&) {}
    EXPECT_FALSE(ds.ControlsDisabled());
}

TEST(DisableControls, nestedGuardsKeepControlsStillUntilTheOuterEnds) {
    TListDataSet ds(nullptr);
    {
        TDisableControls outer(&ds);
        { TDisableControls inner(&ds); }
        EXPECT_TRUE(ds.ControlsDisabled());
    }
    EXPECT_FALSE(ds.ControlsDisabled());
}

} // namespace
