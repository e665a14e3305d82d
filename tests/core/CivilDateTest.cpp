// The one civil-date conversion every date codec uses (TDateTime, the data
// layer's date text, the in-memory table's files), over the edges of its
// range: calendar rules, year 0 and the years before it, and the last day
// the encoders accept.
#include <gtest/gtest.h>

#include "SysUtils.h"

namespace {

struct CivilRow {
    const char* name;
    int y, m, d;
    int64_t days; // from 1970-01-01
};

void PrintTo(const CivilRow& r, std::ostream* os) { *os << r.name; }

class CivilDate : public testing::TestWithParam<CivilRow> {};

TEST_P(CivilDate, convertsBothWays) {
    const CivilRow& r = GetParam();
    EXPECT_EQ(DaysFromCivil(r.y, unsigned(r.m), unsigned(r.d)), r.days);
    int y = 0, m = 0, d = 0;
    CivilFromDays(r.days, y, m, d);
    EXPECT_EQ(y, r.y);
    EXPECT_EQ(m, r.m);
    EXPECT_EQ(d, r.d);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CivilDate,
    testing::Values(
        CivilRow{"unixEpoch", 1970, 1, 1, 0}, CivilRow{"dayBeforeUnixEpoch", 1969, 12, 31, -1},
        CivilRow{"dateTimeDayZero", 1899, 12, 30, -25569}, CivilRow{"year1900HasNoLeapDay", 1900, 3, 1, -25508},
        CivilRow{"lastFebruaryDayOf1900", 1900, 2, 28, -25509}, CivilRow{"leapDayOf2000", 2000, 2, 29, 11016},
        CivilRow{"year2100HasNoLeapDay", 2100, 3, 1, 47541}, CivilRow{"firstDayOfYearOne", 1, 1, 1, -719162},
        CivilRow{"lastDayOfYearZero", 0, 12, 31, -719163}, CivilRow{"marchFirstOfYearZero", 0, 3, 1, -719468},
        CivilRow{"leapDayOfYearZero", 0, 2, 29, -719469}, CivilRow{"firstDayOfYearZero", 0, 1, 1, -719528},
        CivilRow{"lastDayOfYearMinusOne", -1, 12, 31, -719529}, CivilRow{"julianDayZero", -4713, 11, 24, -2440588},
        CivilRow{"lastDayOfYear9999", 9999, 12, 31, 2932896}, CivilRow{"firstDayOfYear10000", 10000, 1, 1, 2932897}),
    [](const testing::TestParamInfo<CivilRow>& i) { return std::string(i.param.name); });

// Day numbers before 0001-01-01 have no date a Word year can hold; the
// decoder says so with 0-0-0 rather than a wrapped year.
TEST(CivilDate, decodeDateBeforeYearOneGivesZeros) {
    Word y = 1, m = 1, d = 1;
    DecodeDate(TDateTime(-693594.0), y, m, d);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(d, 0);
    DecodeDate(TDateTime(-693593.0), y, m, d);
    EXPECT_EQ(y, 1);
    EXPECT_EQ(m, 1);
    EXPECT_EQ(d, 1);
}

} // namespace
