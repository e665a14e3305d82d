// Number formatting: FormatFloat, FloatToStr/FloatToStrF, Format, the
// currency formatters and text-to-number conversion, row by row.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "SysUtils.h"

namespace {

struct FloatRow {
    const char* name;
    const char* format;
    double value;
    const char* expected;
};

class FormatFloatTest : public testing::TestWithParam<FloatRow> {};

TEST_P(FormatFloatTest, formats) {
    const FloatRow& r = GetParam();
    EXPECT_EQ(FormatFloat(r.format, r.value), r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormatFloatTest,
    testing::Values(FloatRow{"TwoDecimals", "0.00", 1234.5, "1234.50"},
                    FloatRow{"Thousands", "#,##0.00", 1234567.891, "1,234,567.89"},
                    FloatRow{"ThousandsWithLiteralTail", "#,##0.00_ ", 1234.5, "1,234.50_ "},
                    FloatRow{"HalfAwayFromZero", "0", 2.5, "3"}, FloatRow{"NegativeHalfAwayFromZero", "0", -2.5, "-3"},
                    FloatRow{"DecimalTieRoundsUp", "0.00", 1.005, "1.01"}, FloatRow{"NoLeadingZero", "#.##", 0.5, ".5"},
                    FloatRow{"OptionalDecimalsDropPoint", "0.##", 1, "1"},
                    FloatRow{"OptionalDecimalsKeepSignificant", "0.##", 1.25, "1.25"},
                    FloatRow{"YuanPositive", "￥#,##0.00;￥-#,##0.00", 1234.5, "￥1,234.50"},
                    FloatRow{"YuanNegativeSection", "￥#,##0.00;￥-#,##0.00", -1234.5, "￥-1,234.50"},
                    FloatRow{"NegativeWithoutSectionGetsMinus", "#,##0.00", -0.5, "-0.50"},
                    FloatRow{"ZeroSection", "0.00;(0.00);'zero'", 0, "zero"},
                    FloatRow{"RoundsToZeroUsesZeroSection", "0.00;(0.00);'zero'", -0.001, "zero"},
                    FloatRow{"NegativeSection", "0.00;(0.00);'zero'", -3.256, "(3.26)"},
                    FloatRow{"RoundsToZeroHasNoMinus", "0.00", -0.001, "0.00"},
                    FloatRow{"Scientific", "0.000E+00", 12345, "1.235E+04"},
                    FloatRow{"ScientificNegativeExponent", "0.00E-00", 0.000123, "1.23E-04"},
                    FloatRow{"ScientificPositiveNoPlus", "0.00E-00", 123, "1.23E02"},
                    FloatRow{"QuotedLiteral", "\"No.\"000", 7, "No.007"},
                    FloatRow{"EmptyFormatIsGeneral", "", 1.5, "1.5"}, FloatRow{"LeadingZeros", "00000", 42, "00042"},
                    FloatRow{"CarryGrowsDigits", "#,##0", 999999.5, "1,000,000"},
                    FloatRow{"IntegerMask", "0", 1234.4, "1234"},
                    FloatRow{"SecondPointIgnored", "#.##0.00", 1234.5, "1234.50000"},
                    FloatRow{"HashOnlyZero", "#", 0, ""}),
    RowName());

struct FloatToStrRow {
    const char* name;
    double value;
    const char* expected;
};

class FloatToStrTest : public testing::TestWithParam<FloatToStrRow> {};

TEST_P(FloatToStrTest, fifteenSignificantDigits) { EXPECT_EQ(FloatToStr(GetParam().value), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Rows, FloatToStrTest,
                         testing::Values(FloatToStrRow{"Zero", 0, "0"}, FloatToStrRow{"Integer", 42, "42"},
                                         FloatToStrRow{"Negative", -1.5, "-1.5"},
                                         FloatToStrRow{"BinaryNoiseHidden", 0.1 + 0.2, "0.3"},
                                         FloatToStrRow{"Third", 1.0 / 3, "0.333333333333333"},
                                         FloatToStrRow{"FifteenDigitsFixed", 1e14, "100000000000000"},
                                         FloatToStrRow{"SixteenDigitsScientific", 1e15, "1E15"},
                                         FloatToStrRow{"SmallFixed", 0.0001, "0.0001"},
                                         FloatToStrRow{"TinyScientific", 0.00001, "1E-5"},
                                         FloatToStrRow{"TinyWithDecimals", 0.000015, "1.5E-5"},
                                         FloatToStrRow{"Large", 123456789.125, "123456789.125"}),
                         RowName());

struct FloatToStrFRow {
    const char* name;
    double value;
    TFloatFormat format;
    int precision;
    int digits;
    const char* expected;
};

class FloatToStrFTest : public testing::TestWithParam<FloatToStrFRow> {};

TEST_P(FloatToStrFTest, formats) {
    const auto& r = GetParam();
    EXPECT_EQ(FloatToStrF(r.value, r.format, r.precision, r.digits), r.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, FloatToStrFTest,
                         testing::Values(FloatToStrFRow{"Fixed", 1234.5678, ffFixed, 15, 2, "1234.57"},
                                         FloatToStrFRow{"FixedPadsZeros", 2, ffFixed, 15, 3, "2.000"},
                                         FloatToStrFRow{"FixedPrecisionFirst", 1.23456789, ffFixed, 4, 6, "1.235000"},
                                         FloatToStrFRow{"Number", 1234567.5, ffNumber, 15, 2, "1,234,567.50"},
                                         FloatToStrFRow{"Currency", 1234.5, ffCurrency, 15, 2, "￥1,234.50"},
                                         FloatToStrFRow{"NegativeCurrency", -1234.5, ffCurrency, 15, 2, "￥-1,234.50"},
                                         FloatToStrFRow{"Exponent", 1234.5, ffExponent, 5, 2, "1.2345E+03"},
                                         FloatToStrFRow{"ExponentNegative", -0.00012, ffExponent, 3, 3, "-1.20E-004"},
                                         FloatToStrFRow{"General", 1234.5, ffGeneral, 15, 0, "1234.5"},
                                         FloatToStrFRow{"GeneralFewDigits", 1234.5, ffGeneral, 3, 0, "1.23E3"}),
                         RowName());

TEST(Format, tableOfSpecifiers) {
    EXPECT_EQ(Format("%d", 42), "42");
    EXPECT_EQ(Format("%5d|%-5d|", 42, 42), "   42|42   |");
    EXPECT_EQ(Format("%.3d", 7), "007");
    EXPECT_EQ(Format("%.3d", -7), "-007");
    EXPECT_EQ(Format("%s=%s", "a", std::string("b")), "a=b");
    EXPECT_EQ(Format("%.2s", "abcdef"), "ab");
    EXPECT_EQ(Format("%f", 1.5), "1.50");
    EXPECT_EQ(Format("%.1f", 0.25), "0.3");
    EXPECT_EQ(Format("%31.16f", 0.1), "             0.1000000000000000");
    EXPECT_EQ(Format("%e", 1234.5), "1.23450000000000E+003");
    EXPECT_EQ(Format("%g", 1234.5), "1234.5");
    EXPECT_EQ(Format("%n", 1234567.891), "1,234,567.89");
    EXPECT_EQ(Format("%m", 1234.5), "￥1,234.50");
    EXPECT_EQ(Format("%x", 255), "FF");
    EXPECT_EQ(Format("%.4x", 255), "00FF");
    EXPECT_EQ(Format("%u", -1), "4294967295");
    EXPECT_EQ(Format("100%%"), "100%");
    EXPECT_EQ(Format("%1:s %0:s", "a", "b"), "b a");
    EXPECT_EQ(Format("%*d", 4, 7), "   7");
    EXPECT_EQ(Format("%4d,%4d;%4d\\%s", 10, 20, 30, "Name"), "  10,  20;  30\\Name");
    EXPECT_EQ(Format("%d%s%d%s%d", 2024, "年", 3, "月", 5), "2024年3月5");
    EXPECT_EQ(Format("%f", Currency::FromRaw(12345)), "1.23");
    EXPECT_EQ(Format("%s", Variant("v")), "v");
    EXPECT_EQ(Format("%d", Variant(5)), "5");
}

TEST(Format, chineseTextPadsByDisplayBytes) {
    // Two Chinese characters take four columns, as in the fixed-width
    // text the program lays out.
    EXPECT_EQ(Format("%-6s|", "中文"), "中文  |");
}

TEST(Format, mismatchedArgumentRaises) {
    try {
        Format("%d", "text");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Format '%d' invalid or incompatible with argument");
    }
    try {
        Format("%s %s", "one");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "No argument for format '%s %s'");
    }
}

TEST(Currency, bankersRoundingAndExactSums) {
    Currency sum = Currency::FromDouble(0.1) + Currency::FromDouble(0.2) + Currency::FromDouble(0.3);
    EXPECT_EQ(sum.Raw(), 6000);
    EXPECT_EQ(Currency::FromDouble(-1.23456).Raw(), -12346);
    EXPECT_EQ(Currency::FromDouble(1.23456).Raw(), 12346);
    EXPECT_EQ((Currency(10) / Currency(3)).Raw(), 33333);
    EXPECT_EQ((Currency(2) / Currency(3)).Raw(), 6667);
    // 0.0001 * 0.5 = 0.00005: exactly half a unit, to even (0).
    EXPECT_EQ((Currency::FromRaw(1) * Currency::FromRaw(5000)).Raw(), 0);
    EXPECT_EQ((Currency::FromRaw(3) * Currency::FromRaw(5000)).Raw(), 2);
    EXPECT_EQ((Currency::FromRaw(15000) * 3).Raw(), 45000);
    EXPECT_EQ((2 * Currency::FromRaw(15000)).Raw(), 30000);
    EXPECT_TRUE(Currency(1) > Currency::FromRaw(9999));
    EXPECT_THROW(Currency(1) / Currency(0), EZeroDivide);
}

TEST(Currency, textConversions) {
    EXPECT_EQ(CurrToStr(Currency::FromRaw(12345)), "1.2345");
    EXPECT_EQ(CurrToStr(Currency(5)), "5");
    EXPECT_EQ(CurrToStr(Currency::FromRaw(-5000)), "-0.5");
    EXPECT_EQ(CurrToStrF(Currency::FromRaw(12345), ffFixed, 2), "1.23");
    EXPECT_EQ(CurrToStrF(Currency::FromRaw(12350), ffFixed, 2), "1.24");
    EXPECT_EQ(CurrToStrF(Currency(1234567), ffCurrency, 2), "￥1,234,567.00");
    EXPECT_EQ(FormatCurr("#,##0.00", Currency::FromRaw(10050)), "1.01");
    EXPECT_EQ(FormatCurr("0.00", Currency::FromRaw(-5)), "0.00");
    EXPECT_EQ(StrToCurr(" 12.34 ").Raw(), 123400);
    EXPECT_EQ(StrToCurr("0.00005").Raw(), 0);
    EXPECT_EQ(StrToCurr("0.00015").Raw(), 2);
    EXPECT_EQ(StrToCurr("0.000151").Raw(), 2);
    EXPECT_EQ(StrToCurr("-1.5").Raw(), -15000);
    try {
        StrToCurr("12,5");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'12,5' is not a valid floating point value");
    }
}

TEST(Numbers, roundIsBankers) {
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.6), 3);
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_DOUBLE_EQ(Frac(2.75), 0.75);
    EXPECT_DOUBLE_EQ(Int(-2.75), -2.0);
    EXPECT_EQ(Max(3, 4.5), 4.5);
    EXPECT_EQ(Min(3, 4), 3);
}

struct ParseRow {
    const char* name;
    const char* text;
    bool ok;
    double value;
};

class StrToFloatTest : public testing::TestWithParam<ParseRow> {};

TEST_P(StrToFloatTest, parses) {
    const auto& r = GetParam();
    double v = -999;
    EXPECT_EQ(TryStrToFloat(r.text, v), r.ok);
    if (r.ok) EXPECT_DOUBLE_EQ(v, r.value);
}

INSTANTIATE_TEST_SUITE_P(Rows, StrToFloatTest,
                         testing::Values(ParseRow{"Plain", "12.5", true, 12.5}, ParseRow{"Blanks", "  -3 ", true, -3},
                                         ParseRow{"Exponent", "1.5E3", true, 1500},
                                         ParseRow{"LeadingPoint", ".5", true, 0.5}, ParseRow{"Plus", "+7", true, 7},
                                         ParseRow{"Comma", "1,5", false, 0}, ParseRow{"Empty", "", false, 0},
                                         ParseRow{"Letters", "abc", false, 0},
                                         ParseRow{"TrailingGarbage", "12x", false, 0},
                                         ParseRow{"LonePoint", ".", false, 0}),
                         RowName());

TEST(Numbers, errorTexts) {
    try {
        StrToFloat("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'abc' is not a valid floating point value");
    }
    try {
        StrToInt("12a");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'12a' is not a valid integer value");
    }
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToIntDef("2147483648", -1), -1);
    EXPECT_EQ(StrToInt64("9000000000"), 9000000000LL);
    EXPECT_EQ(StrToFloatDef("x", 1.5), 1.5);
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToStr(-12), "-12");
    EXPECT_EQ(BoolToStr(true), "-1");
    EXPECT_EQ(BoolToStr(false, true), "False");
}

} // namespace
