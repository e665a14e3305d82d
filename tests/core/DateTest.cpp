// Day numbers, date encoding, FormatDateTime patterns and date parsing with
// the process-wide "yyyy-MM-dd" short date format.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <array>
#include <cmath>

#include "SysUtils.h"

namespace {

struct DateRow {
    const char* name;
    Word y, m, d;
    double serial;
};

class EncodeDateTest : public testing::TestWithParam<DateRow> {};

TEST_P(EncodeDateTest, roundTrips) {
    const auto& r = GetParam();
    EXPECT_EQ(EncodeDate(r.y, r.m, r.d).Val, r.serial);
    Word y, m, d;
    DecodeDate(TDateTime(r.serial), y, m, d);
    EXPECT_EQ(y, r.y);
    EXPECT_EQ(m, r.m);
    EXPECT_EQ(d, r.d);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EncodeDateTest,
    testing::Values(DateRow{"DayZero", 1899, 12, 30, 0}, DateRow{"DayOne", 1899, 12, 31, 1},
                    DateRow{"BeforeDayZero", 1899, 12, 29, -1}, DateRow{"Year1900NotLeap", 1900, 3, 1, 61},
                    DateRow{"Y2K", 2000, 1, 1, 36526}, DateRow{"LeapDay2000", 2000, 2, 29, 36585},
                    DateRow{"LeapDay2024", 2024, 2, 29, 45351}, DateRow{"EndOf2023", 2023, 12, 31, 45291},
                    DateRow{"FirstYear", 1, 1, 1, -693593}, DateRow{"LastYear", 9999, 12, 31, 2958465}),
    RowName());

TEST(Dates, invalidArgumentsRaiseTheClassLibraryText) {
    for (auto bad : {std::array<Word, 3>{2023, 2, 29}, {2024, 13, 1}, {2024, 0, 1}, {0, 1, 1}, {2024, 4, 31}}) {
        try {
            EncodeDate(bad[0], bad[1], bad[2]);
            FAIL() << bad[0] << "-" << bad[1] << "-" << bad[2];
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, "Invalid argument to date encode");
        }
    }
    try {
        EncodeTime(24, 0, 0, 0);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Invalid argument to time encode");
    }
}

TEST(Dates, leapYearsAndWeekdays) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7); // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 3)), 1);   // Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 4)), 2);
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DateToStr(IncMonth(EncodeDate(2024, 1, 31), 1)), "2024-02-29");
    EXPECT_EQ(DateToStr(IncMonth(EncodeDate(2024, 3, 15), -3)), "2023-12-15");
}

TEST(Dates, timeDecodesToTheMillisecond) {
    TDateTime t = EncodeTime(13, 5, 9, 250);
    Word h, m, s, ms;
    DecodeTime(t, h, m, s, ms);
    EXPECT_EQ(h, 13);
    EXPECT_EQ(m, 5);
    EXPECT_EQ(s, 9);
    EXPECT_EQ(ms, 250);
    // A hair before midnight is midnight of the next day, not 23:59:59.999
    // of the day before.
    Word y, mo, d;
    DecodeDate(TDateTime(45351.999999999), y, mo, d);
    DecodeTime(TDateTime(45351.999999999), h, m, s, ms);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(mo, 3);
    EXPECT_EQ(h, 0);
}

struct PatternRow {
    const char* name;
    const char* format;
    const char* expected;
};

class FormatDateTimeTest : public testing::TestWithParam<PatternRow> {};

TEST_P(FormatDateTimeTest, formats) {
    // 2024-03-05 (a Tuesday) 09:07:03.045
    TDateTime dt = EncodeDate(2024, 3, 5).Val + EncodeTime(9, 7, 3, 45).Val;
    EXPECT_EQ(FormatDateTime(GetParam().format, dt), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormatDateTimeTest,
    testing::Values(
        PatternRow{"IsoDate", "yyyy-mm-dd", "2024-03-05"}, PatternRow{"UpperMonth", "yyyy-MM-dd", "2024-03-05"},
        PatternRow{"ShortParts", "yy/m/d", "24-3-5"},
        PatternRow{"ChineseLiterals", "yyyy\"年\"mm\"月\"dd\"日\"", "2024年03月05日"},
        PatternRow{"SingleQuotedLiterals", "yyyy'年'm'月'", "2024年3月"}, PatternRow{"Time", "hh:mm:ss", "09:07:03"},
        PatternRow{"TimeWithN", "h:nn:ss.zzz", "9:07:03.045"}, PatternRow{"MonthNames", "mmm|mmmm", "三月|三月"},
        PatternRow{"DayNames", "ddd|dddd", "星期二|星期二"}, PatternRow{"ShortDateFormat", "ddddd", "2024-03-05"},
        PatternRow{"LongDateFormat", "dddddd", "2024年3月5日"}, PatternRow{"DateAndTime", "c", "2024-03-05 09:07:03"},
        PatternRow{"AmPm", "h:nn am/pm", "9:07 am"}, PatternRow{"AmPmUpper", "hh AM/PM", "09 AM"},
        PatternRow{"LocaleAmPm", "ampm h", "上午 9"}, PatternRow{"MinutesAfterHour", "hh\"时\"mm\"分\"", "09时07分"}),
    RowName());

TEST(Dates, textConversionsAreZeroPaddedIso) {
    EXPECT_EQ(DateToStr(EncodeDate(2024, 3, 5)), "2024-03-05");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "2024-03-05");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5).Val + EncodeTime(14, 0, 0, 0).Val), "2024-03-05 14:00:00");
    EXPECT_EQ(TimeToStr(EncodeTime(8, 3, 0, 0)), "08:03:00");
    EXPECT_EQ(TDateTime(EncodeDate(2024, 12, 31)).DateString(), "2024-12-31");
}

struct ParseRow {
    const char* name;
    const char* text;
    bool ok;
    Word y, m, d;
};

class StrToDateTest : public testing::TestWithParam<ParseRow> {};

TEST_P(StrToDateTest, parses) {
    const auto& r = GetParam();
    TDateTime d;
    ASSERT_EQ(TryStrToDate(r.text, d), r.ok);
    if (r.ok) EXPECT_EQ(d.Val, EncodeDate(r.y, r.m, r.d).Val);
}

INSTANTIATE_TEST_SUITE_P(Rows, StrToDateTest,
                         testing::Values(ParseRow{"Padded", "2024-03-05", true, 2024, 3, 5},
                                         ParseRow{"Unpadded", "2024-3-5", true, 2024, 3, 5},
                                         ParseRow{"Blanks", " 2024-03-05 ", true, 2024, 3, 5},
                                         ParseRow{"Slashes", "2024/3/5", true, 2024, 3, 5},
                                         ParseRow{"TwoDigitYear", "24-3-5", true, 2024, 3, 5},
                                         ParseRow{"NoSuchDay", "2023-02-29", false, 0, 0, 0},
                                         ParseRow{"MonthThirteen", "2024-13-01", false, 0, 0, 0},
                                         ParseRow{"Words", "yesterday", false, 0, 0, 0},
                                         ParseRow{"TrailingTime", "2024-03-05 10:00", false, 0, 0, 0},
                                         ParseRow{"Empty", "", false, 0, 0, 0}),
                         RowName());

TEST(Dates, parseErrorsAndDateTimes) {
    try {
        StrToDate("2024-02-30");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'2024-02-30' is not a valid date");
    }
    TDateTime dt = StrToDateTime("2024-03-05 9:05:30");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", dt), "2024-03-05 09:05:30");
    EXPECT_EQ(FormatDateTime("hh:nn", StrToDateTime("2024-03-05 9:05 PM")), "21:05");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", StrToTime("7:08")), "07:08:00");
    EXPECT_THROW(StrToTime("25:00"), EConvertError);
}

TEST(Dates, settingsOverloadsDoNotTouchTheGlobal) {
    TFormatSettings fs;
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.DateSeparator = '/';
    TDateTime d = EncodeDate(2024, 3, 5);
    EXPECT_EQ(DateToStr(d, fs), "05/03/2024");
    EXPECT_EQ(StrToDate("05/03/2024", fs).Val, d.Val);
    EXPECT_EQ(DateToStr(d), "2024-03-05");
}

TEST(Dates, nowIsTodayPlusTime) {
    TDateTime today = Date();
    TDateTime now = Now();
    EXPECT_EQ(today.Val, std::trunc(today.Val));
    EXPECT_GE(now.Val, today.Val);
    EXPECT_LT(now.Val - today.Val, 1.0001);
}

} // namespace
