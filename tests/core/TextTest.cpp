// GBK conversion and byte measures, and the string helpers (trim, case,
// compare, quoting, search and replace).
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "Gbk.h"
#include "SysUtils.h"

namespace {

TEST(Gbk, roundTripsChineseText) {
    std::string text = "图书馆管理系统 Library 123";
    std::string gbk = Utf8ToGbk(text);
    // 图 is B9 CD... in GBK; every Chinese character is two bytes.
    EXPECT_EQ(gbk.size(), 7u * 2 + 12);
    EXPECT_EQ(uint8_t(gbk[0]), 0xCDu);
    EXPECT_EQ(uint8_t(gbk[1]), 0xBCu);
    EXPECT_EQ(GbkToUtf8(gbk), text);
}

TEST(Gbk, unmappableCharactersBecomeOneQuestionMarkEach) {
    // An emoji has no GBK form.
    EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
    EXPECT_EQ(GbkByteLength("a😀b"), 3);
    // A stray lead byte at the end of GBK text.
    EXPECT_EQ(GbkToUtf8(std::string("ab\xB0", 3)), "ab?");
}

struct SliceRow {
    const char* name;
    const char* text;
    int n;
    const char* expected;
};

class GbkLeftBytesTest : public testing::TestWithParam<SliceRow> {};

TEST_P(GbkLeftBytesTest, neverSplitsACharacter) {
    EXPECT_EQ(GbkLeftBytes(GetParam().text, GetParam().n), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, GbkLeftBytesTest,
                         testing::Values(SliceRow{"AsciiOnly", "abcdef", 4, "abcd"},
                                         SliceRow{"WholeChinese", "中文书名", 4, "中文"},
                                         SliceRow{"OddCutDropsHalf", "中文书名", 5, "中文"},
                                         SliceRow{"MixedOddCut", "a中b文", 2, "a"},
                                         SliceRow{"MixedExact", "a中b文", 4, "a中b"},
                                         SliceRow{"LongerThanText", "中a", 10, "中a"}, SliceRow{"Zero", "中a", 0, ""}),
                         RowName());

TEST(Gbk, byteLengthsAndCopies) {
    EXPECT_EQ(GbkByteLength("读者ABC"), 7);
    EXPECT_EQ(GbkByteLength(""), 0);
    EXPECT_EQ(GbkCopyBytes("中文书名", 3, 4), "文书");
    // Bytes 2..5 cut 中 and 名 in half: both stay out.
    EXPECT_EQ(GbkCopyBytes("中文书名", 2, 5), "文书");
    EXPECT_EQ(GbkCopyBytes("ab中", 2, 3), "b中");
    EXPECT_TRUE(IsDBCSLeadByte(0xB0));
    EXPECT_FALSE(IsDBCSLeadByte('A'));
    EXPECT_EQ(Utf8Length("中a文"), 3);
    EXPECT_EQ(Utf8Copy("中a文书", 2, 2), "a文");
    EXPECT_TRUE(IsValidUtf8("中文"));
    EXPECT_FALSE(IsValidUtf8(std::string("\xD6\xD0", 2)));
}

TEST(Gbk, compareByGbkBytesWithoutConverting) {
    EXPECT_EQ(CompareGbk("ab", "abc", false), -1);
    EXPECT_EQ(CompareGbk("abc", "ab", false), 1);
    EXPECT_EQ(CompareGbk("中文", "中文", false), 0);
    EXPECT_EQ(CompareGbk("abc", "ABC", true), 0);
    EXPECT_EQ(CompareGbk("abc", "ABC", false), 1);
    // 啊 (B0A1) is the first character of GBK level one; a letter sorts
    // before any Chinese character.
    EXPECT_EQ(CompareGbk("啊", "z", false), 1);
    EXPECT_EQ(CompareGbk("", "", false), 0);
    EXPECT_EQ(CompareGbk("", "a", false), -1);
}

TEST(Strings, trimAndCase) {
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(UpperCase("abc中x"), "ABC中X");
    EXPECT_EQ(LowerCase("ABC"), "abc");
    EXPECT_EQ(CompareText("abc", "ABD"), -1);
    EXPECT_TRUE(SameText("Admin", "ADMIN"));
    EXPECT_EQ(AnsiCompareText("admin", "ADMIN"), 0);
    EXPECT_LT(AnsiCompareStr("admin", "Admin"), 0);
    // GBK order is pinyin order: 安 (an) before 北 (bei) before 中 (zhong).
    EXPECT_LT(AnsiCompareText("安", "北"), 0);
    EXPECT_LT(AnsiCompareText("北", "中"), 0);
    EXPECT_LT(AnsiCompareText("Z", "安"), 0);
}

TEST(Strings, quotedStrDoublesInnerQuotes) {
    EXPECT_EQ(QuotedStr("O'Brien"), "'O''Brien'");
    EXPECT_EQ(QuotedStr(""), "''");
    EXPECT_EQ(QuotedStr("x' or '1'='1"), "'x'' or ''1''=''1'");
    EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(AnsiDequotedStr("'O''Brien'", '\''), "O'Brien");
}

TEST(Strings, searchReplaceAndSlices) {
    TReplaceFlags all{rfReplaceAll};
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", {}), "a+b-c");
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", all), "a+b+c");
    EXPECT_EQ(StringReplace("Top top TOP", "top", "x", TReplaceFlags{rfReplaceAll, rfIgnoreCase}), "x x x");
    EXPECT_EQ(Pos("b", "abc"), 2);
    EXPECT_EQ(Pos("z", "abc"), 0);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abc", 3, 10), "c");
    EXPECT_EQ(Copy("abc", 5, 1), "");
    std::string s = "abcdef";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "adef");
    Insert("XY", s, 2);
    EXPECT_EQ(s, "aXYdef");
    EXPECT_EQ(LastDelimiter("/.", "a/b.c"), 4);
    EXPECT_EQ(StringOfChar('-', 3), "---");
}

} // namespace
