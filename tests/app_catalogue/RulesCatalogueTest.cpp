// The catalogue's key rules and the MARC reader, as plain functions: class
// keys, call numbers, the publisher of an ISBN, MARC prices, records cut
// from GBK bytes.
#include <gtest/gtest.h>

#include "Gbk.h"
#include "app/Catalogue.h"
#include "app/Marc.h"

#include "support/MarcRecords.h"
#include "support/TestNames.h"

#include <map>
#include <optional>

namespace {

// ---------------------------------------------------------------- class keys

struct ClassKeyRow {
    const char* name;
    std::string parent;
    std::vector<std::string> siblings;
    std::optional<std::string> expected;
};

class NextClassKeyRule : public ::testing::TestWithParam<ClassKeyRow> {};

TEST_P(NextClassKeyRule, givesOneMoreThanTheLargestSibling) {
    EXPECT_EQ(NextClassKey(GetParam().parent, GetParam().siblings), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NextClassKeyRule,
    ::testing::Values(ClassKeyRow{"firstChild", "0005", {}, "00050000"},
                      ClassKeyRow{"afterFortyOne", "0005", {"00050000", "00050041", "00050007"}, "00050042"},
                      ClassKeyRow{"afterNine", "0005", {"00050009"}, "00050010"},
                      ClassKeyRow{"underTheRoot", "00", {}, "000000"},
                      // A string maximum would give "0002" again and the insert would fail.
                      ClassKeyRow{
                          "legacyFourCharacterSiblingsCountByNumber", "00", {"0001", "0002", "000001"}, "000003"},
                      ClassKeyRow{"nonDigitKeysPassedOver", "0005", {"0005000x", "00050003"}, "00050004"},
                      ClassKeyRow{"levelFull", "0005", {"00059999"}, std::nullopt}),
    RowName());

// ---------------------------------------------------------------- call numbers

TEST(CallNumber, bookTakesOneMoreThanTheLargestNumberOfTheClass) {
    const TCallNumber n = NextBookCallNumber("TP31", {"1", "2", "7"});
    EXPECT_EQ(n.SortNum, "8");
    EXPECT_EQ(n.Scode, "TP31/8");
}

TEST(CallNumber, firstCopyOfAClassIsOne) {
    const TCallNumber n = NextBookCallNumber("S", {});
    EXPECT_EQ(n.SortNum, "1");
    EXPECT_EQ(n.Scode, "S/1");
}

TEST(CallNumber, nonNumericSortNumIsPassedOverInsteadOfStoppingTheNumbering) {
    EXPECT_EQ(NextBookCallNumber("A", {"3", "x7", "", " 5 "}).SortNum, "6");
}

TEST(CallNumber, periodicalReadsTheNumberAfterTheSlashOfItsOwnClassOnly) {
    const TCallNumber n = NextPeriodicalCallNumber("D6", {"D6/1", "D6/2", "D6/7", "D61/3", "D6/x9"});
    EXPECT_EQ(n.SortNum, "8");
    EXPECT_EQ(n.Scode, "D6/8");
}

// ---------------------------------------------------------------- ISBN prefix

TEST(IsbnPrefix, firstPrefixHeldByExactlyOnePublisherWins) {
    const std::map<std::string, std::vector<std::string>> prefixes = {
        {"7-50", {"甲", "乙"}}, {"7-505", {}}, {"7-5053", {"电子工业出版社"}}, {"7-5053-", {"别的"}}};
    std::vector<std::string> asked;
    const std::string found = PublisherFromIsbn("7-5053-1234-5", [&](const std::string& p) {
        asked.push_back(p);
        auto it = prefixes.find(p);
        return it == prefixes.end() ? std::vector<std::string>{} : it->second;
    });
    EXPECT_EQ(found, "电子工业出版社");
    EXPECT_EQ(asked, (std::vector<std::string>{"7-50", "7-505", "7-5053"}));
}

TEST(IsbnPrefix, noSinglePublisherGivesNothing) {
    EXPECT_EQ(PublisherFromIsbn("7-1", [](const std::string&) { return std::vector<std::string>{"x"}; }), "");
    EXPECT_EQ(PublisherFromIsbn("7-5053-1", [](const std::string&) { return std::vector<std::string>{}; }), "");
}

// ---------------------------------------------------------------- MARC

struct PriceRow {
    const char* name;
    std::string text;
    std::optional<Currency> expected;
};

class MarcPriceRule : public ::testing::TestWithParam<PriceRow> {};

TEST_P(MarcPriceRule, keepsTheDigitsAndTheFirstPoint) { EXPECT_EQ(MarcPrice(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Rows, MarcPriceRule,
                         ::testing::Values(PriceRow{"currencyWord", "CNY25.50", Currency::FromRaw(255000)},
                                           PriceRow{"secondPointDropped", "25.50.00", Currency::FromRaw(255000)},
                                           PriceRow{"noDigits", "abc", std::nullopt},
                                           PriceRow{"lonePoint", ".", std::nullopt},
                                           PriceRow{"wholeYuan", "￥38元", Currency(38)},
                                           PriceRow{"tooLargeForAPrice", "123456789012345678", std::nullopt}),
                         RowName());

TMarcBook parsed(const std::string& bytes, TMarcParse expect = TMarcParse::Ok) {
    TMarcBook book;
    EXPECT_EQ(ParseMarcRecord(bytes, book), expect);
    return book;
}

TEST(MarcRecord, fillsTheMappedColumnsFromGbkBytes) {
    const TMarcBook b = parsed(MarcRecord({{"010", {{'a', "7-5053-1234-5"}, {'b', "精装"}, {'d', "CNY25.50"}}},
                                       {"101", {{'a', "chi"}}},
                                       {"200", {{'a', "数据结构"}, {'e', "C语言版"}, {'f', "严蔚敏"}, {'g', "吴伟民"}}},
                                       {"210", {{'c', "清华大学出版社"}, {'d', "1997"}}},
                                       {"215", {{'a', "335页"}, {'d', "26cm"}, {'e', "光盘1张"}}},
                                       {"330", {{'a', "本书介绍数据结构。"}}},
                                       {"690", {{'a', "TP311.12"}, {'v', "4"}}}}));
    const std::map<std::string, std::string> expected = {{"BookIsbn", "7-5053-1234-5"},
                                                         {"Grade", "精装"},
                                                         {"language", "chi"},
                                                         {"Name", "数据结构"},
                                                         {"YName", "C语言版"},
                                                         {"Writer", "严蔚敏"},
                                                         {"Translator", "吴伟民"},
                                                         {"Publisher", "清华大学出版社"},
                                                         {"PubDate", "1997"},
                                                         {"BookPage", "335页"},
                                                         {"Size", "26cm"},
                                                         {"Attach", "光盘1张"},
                                                         {"Remarks1", "本书介绍数据结构。"},
                                                         {"SortCode", "TP311.12"},
                                                         {"PubNum", "4"}};
    const std::map<std::string, std::string> got(b.Columns.begin(), b.Columns.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(b.Price, Currency::FromRaw(255000));
}

TEST(MarcRecord, lastFieldWithoutTerminatorIsReadInFull) {
    std::string bytes = MarcRecord({{"200", {{'a', "书名"}}}, {"690", {{'a', "I247.5"}}}}, false);
    bytes.pop_back(); // the field terminator of 690 too
    EXPECT_EQ(parsed(bytes).Value("SortCode"), "I247.5");
}

TEST(MarcRecord, laterFieldOverwritesOnlyTheSubfieldsItHas) {
    const TMarcBook b = parsed(MarcRecord({{"200", {{'a', "第一"}, {'f', "作者"}}}, {"200", {{'a', "第二"}}}}));
    EXPECT_EQ(b.Value("Name"), "第二");
    EXPECT_EQ(b.Value("Writer"), "作者");
}

TEST(MarcRecord, incompleteDirectoryEntryIsPassedOver) {
    // Two whole entries and 2, 6 or 7 bytes of a third: 26, 30 and 31 bytes.
    const std::string whole = MarcRecord({{"200", {{'a', "甲"}}}, {"690", {{'a', "K"}}}});
    const size_t dirEnd = whole.find('\x1E');
    for (const std::string tail : {"20", "210000", "2100003"}) {
        const std::string bytes = whole.substr(0, dirEnd) + tail + whole.substr(dirEnd);
        // The extra bytes shift nothing: starts count from after the directory.
        const TMarcBook b = parsed(bytes);
        EXPECT_EQ(b.Value("Name"), "甲") << tail;
        EXPECT_EQ(b.Value("SortCode"), "K") << tail;
    }
}

TEST(MarcRecord, fieldOutsideTheRecordIsDamagedNotReadPastItsEnd) {
    parsed(MarcWithFieldStart(MarcRecord({{"200", {{'a', "甲"}}}}), "200", "00900"), TMarcParse::Damaged);
}

TEST(MarcRecord, nonNumericLengthIsDamaged) {
    std::string bytes = MarcRecord({{"200", {{'a', "甲"}}}});
    bytes[bytes.find("200", 24) + 3] = 'x';
    parsed(bytes, TMarcParse::Damaged);
}

TEST(MarcRecord, valueLongerThanItsColumnIsCutAtACharacterBoundary) {
    // Writer holds 30 GBK bytes: 15 characters, never half of one.
    const TMarcBook b = parsed(MarcRecord({{"200", {{'f', "一二三四五六七八九十一二三四五六七"}}}}));
    EXPECT_EQ(b.Value("Writer"), "一二三四五六七八九十一二三四五");
}

TEST(MarcRecord, blankLineIsBlank) { parsed(" \r", TMarcParse::Blank); }

TEST(MarcFile, splitsAtLineBreaksAndAtRecordTerminators) {
    const std::string a = MarcRecord({{"200", {{'a', "甲"}}}}), b = MarcRecord({{"200", {{'a', "乙"}}}});
    const std::vector<TMarcChunk> lines = SplitMarcRecords(a + "\r\n\r\n" + b + "\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Number, 1);
    EXPECT_EQ(lines[2].Number, 3);
    EXPECT_EQ(parsed(std::string(lines[2].Bytes)).Value("Name"), "乙");
    // A standard file: records one after another, no line breaks.
    const std::vector<TMarcChunk> packed = SplitMarcRecords(a + b);
    ASSERT_EQ(packed.size(), 2u);
    EXPECT_EQ(parsed(std::string(packed[1].Bytes)).Value("Name"), "乙");
}

} // namespace
