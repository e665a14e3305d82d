// The date value's steps and text, and the month grid a calendar draws.
#include "vq/controls/VqDate.h"

#include "SysUtils.h"
#include "support/TestNames.h"

#include <gtest/gtest.h>

namespace {

struct StepRow {
    const char* name;
    int y, m, d;
    void (TvqDate::*step)();
    int ey, em, ed;
};

class VqDateStep : public ::testing::TestWithParam<StepRow> {};

TEST_P(VqDateStep, landsOnTheExpectedDay) {
    const StepRow& r = GetParam();
    TvqDate date;
    date.SetYMD(r.y, r.m, r.d);
    (date.*r.step)();
    EXPECT_EQ(date.Year(), r.ey);
    EXPECT_EQ(date.Month(), r.em);
    EXPECT_EQ(date.Day(), r.ed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VqDateStep,
    ::testing::Values(StepRow{"nextMonthLeapFebruary", 2004, 1, 31, &TvqDate::NextMonth, 2004, 2, 29},
                      StepRow{"nextMonthPlainFebruary", 2005, 1, 31, &TvqDate::NextMonth, 2005, 2, 28},
                      StepRow{"nextDayCarriesIntoNewYear", 2005, 12, 31, &TvqDate::NextDay, 2006, 1, 1},
                      StepRow{"prevDayInto2000LeapDay", 2000, 3, 1, &TvqDate::PrevDay, 2000, 2, 29},
                      StepRow{"nextWeekCarries", 2005, 1, 28, &TvqDate::NextWeek, 2005, 2, 4},
                      StepRow{"prevMonthFromJanuary", 2005, 1, 15, &TvqDate::PrevMonth, 2004, 12, 15},
                      StepRow{"nextYearFromLeapDay", 2004, 2, 29, &TvqDate::NextYear, 2005, 2, 28}),
    RowName());

TEST(VqDate, leapYearsFollowTheCenturyRule) {
    EXPECT_FALSE(VqIsLeapYear(1900));
    EXPECT_TRUE(VqIsLeapYear(2000));
    EXPECT_TRUE(VqIsLeapYear(2004));
    EXPECT_EQ(VqMonthDays(1900, 2), 28);
}

TEST(VqDate, setYMDNormalisesMonthAndDay) {
    TvqDate d;
    d.SetYMD(2005, 0, 10);
    EXPECT_EQ(d.AsDateTime(), EncodeDate(2004, 12, 10));
    d.SetYMD(2005, 13, 10);
    EXPECT_EQ(d.AsDateTime(), EncodeDate(2006, 1, 10));
    d.SetYMD(2005, 4, 31);
    EXPECT_EQ(d.AsDateTime(), EncodeDate(2005, 4, 30));
}

TEST(VqDate, textFollowsTheShortDateOrderWithoutLeadingZeros) {
    TvqDate d;
    d.SetYMD(2006, 3, 5);
    EXPECT_EQ(d.DateOrder(), 2);
    EXPECT_EQ(d.AsText(), "2006-3-5");
}

TEST(VqDate, settingZeroEmptiesAndNotifies) {
    TvqDate d;
    int changes = 0;
    d.OnChange = [&](TvqDate*) { ++changes; };
    d.SetDateTime(0);
    EXPECT_TRUE(d.Empty());
    EXPECT_EQ(d.AsDateTime(), 0);
    EXPECT_EQ(changes, 1);
    d.SetDateTime(0);
    EXPECT_EQ(changes, 1) << "no change, no notice";
}

TEST(VqCalendarDate, mondayFirstMonthStartingMondayFillsFromCellOne) {
    TVQCalendarDate c;
    c.SetDateTime(EncodeDate(2005, 8, 10)); // 1 August 2005 is a Monday
    EXPECT_EQ(c.FirstCell(), 1);
    EXPECT_EQ(c.Cell(1), 1);
    EXPECT_EQ(c.Cell(42), 11);
    EXPECT_EQ(c.CellPart(32), 1);
    EXPECT_EQ(c.SelectedCell(), 10);
}

TEST(VqCalendarDate, monthStartingSundayStartsInCellSeven) {
    TVQCalendarDate c;
    c.SetDateTime(EncodeDate(2005, 5, 3)); // 1 May 2005 is a Sunday
    EXPECT_EQ(c.FirstCell(), 7);
    EXPECT_EQ(c.Cell(1), 25);
    EXPECT_EQ(c.CellPart(6), -1);
    EXPECT_EQ(c.CellWeekday(7), Sun);
    EXPECT_EQ(c.CellWeekday(1), Mon);
}

TEST(VqCalendarDate, weekNumbersFollowTheirOwnRule) {
    TVQCalendarDate c;
    c.SetDateTime(EncodeDate(2005, 1, 15));
    EXPECT_EQ(c.Cell1Date(), EncodeDate(2004, 12, 27));
    for (int row = 1; row <= 6; ++row) EXPECT_EQ(c.Week(row), row);
    c.SetDateTime(EncodeDate(2005, 3, 15));
    EXPECT_EQ(c.Cell1Date(), EncodeDate(2005, 2, 28));
    for (int row = 1; row <= 6; ++row) EXPECT_EQ(c.Week(row), 8 + row);
}

// The today cell was stored in a byte from a negative index when today lay
// before the sheet, and its mark was painted far outside the 42 cells.
TEST(VqCalendarDate, todayCellOnlyWhileTodayIsOnTheSheet) {
    TVQCalendarDate::Today = [] { return EncodeDate(2005, 1, 10); };
    TVQCalendarDate c;
    c.SetDateTime(EncodeDate(2005, 1, 20));
    c.Rebuild();
    EXPECT_EQ(c.TodayCell(), 15);
    c.SetDateTime(EncodeDate(2005, 6, 20));
    EXPECT_EQ(c.TodayCell(), TVQCalendarDate::NoCell);
    c.SetDateTime(EncodeDate(2004, 6, 20));
    EXPECT_EQ(c.TodayCell(), TVQCalendarDate::NoCell);
    TVQCalendarDate::Today = [] { return Date(); };
}

TEST(VqCalendarDate, selectCellMovesByTheCellDistance) {
    TVQCalendarDate c;
    c.SetDateTime(EncodeDate(2005, 8, 10));
    c.SelectCell(12);
    EXPECT_EQ(c.AsDateTime(), EncodeDate(2005, 8, 12));
}

TEST(VqCalendarDate, stayInGridStepsFromTheDisplayedMonth) {
    TVQCalendarDate c;
    c.SetStayInGrid(true);
    c.SetDateTime(EncodeDate(2005, 5, 10));
    c.SelectCell(1); // 25 April, shown on May's sheet
    EXPECT_EQ(c.Month(), 4);
    EXPECT_EQ(c.FirstCell(), 7) << "the sheet stays on May";
    c.NextMonth();
    EXPECT_EQ(c.AsDateTime(), EncodeDate(2005, 6, 25));
}

} // namespace
