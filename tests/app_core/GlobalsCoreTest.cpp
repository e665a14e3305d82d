// The shared small routines: digit test, weekday numeral, the input-code
// look-up over a dictionary written for the test, and the two boxes.
#include "CoreFixture.h"

#include "Gbk.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "app/uGlobal.h"

namespace {

struct DigitsRow {
    const char* name;
    const char* text;
    bool expected;
};
class IsDigitsOnlyCoreTest : public ::testing::TestWithParam<DigitsRow> {};
TEST_P(IsDigitsOnlyCoreTest, answers) { EXPECT_EQ(IsDigitsOnly(GetParam().text), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Rows, IsDigitsOnlyCoreTest,
                         ::testing::Values(DigitsRow{"empty", "", true}, DigitsRow{"digits", "0123456789", true},
                                           DigitsRow{"letterAfter", "12a", false}, DigitsRow{"sign", "-1", false},
                                           DigitsRow{"blank", "1 2", false}, DigitsRow{"point", "1.5", false},
                                           DigitsRow{"chinese", "一", false}),
                         RowName());

TEST(WeekdayCharCoreTest, numeralsForZeroToSixAndNothingElse) {
    const char* expected[] = {"日", "一", "二", "三", "四", "五", "六"};
    for (int d = 0; d <= 6; ++d) {
        std::string s = "x";
        WeekdayChar(d, s);
        EXPECT_EQ(s, expected[d]) << d;
    }
    for (int d : {-1, 7}) {
        std::string s = "unchanged";
        WeekdayChar(d, s);
        EXPECT_EQ(s, "unchanged") << d;
    }
}

class InputCodesCoreTest : public CoreFixture {
protected:
    // Lines in the dictionary's fixed columns: the character, wubi at 7,
    // strokes at 13, pinyin initial at 37.
    static std::string line(const std::string& ch, char wb, char wbh, char py) {
        std::string l = Utf8ToGbk(ch);
        l += std::string(4, ' ') + wb + std::string(5, ' ') + wbh + std::string(23, ' ') + py;
        return l;
    }
};

TEST_F(InputCodesCoreTest, oneLetterPerCharacterFirstLineWins) {
    AtomicWriteFile(dir_ + "Ime.DCT", line("图", 'l', 'z', 't') + "\r\n" + line("书", 'n', 'h', 's') + "\r\n" +
                                          line("图", 'x', 'x', 'x') + "\r\n");
    std::string py = "old", wbh = "old", wb = "old";
    LookupInputCodes("图书", py, wbh, wb);
    EXPECT_EQ(py, "ts");
    EXPECT_EQ(wbh, "zh");
    EXPECT_EQ(wb, "ln");
}

TEST_F(InputCodesCoreTest, letterPairsWithNextByteAndFindsNothing) {
    AtomicWriteFile(dir_ + "Ime.DCT", line("书", 'n', 'h', 's') + "\n");
    std::string py, wbh, wb;
    LookupInputCodes("A书", py, wbh, wb);
    EXPECT_EQ(py, "");
    EXPECT_EQ(wbh, "");
    EXPECT_EQ(wb, "");
}

TEST_F(InputCodesCoreTest, shortLineGivesEmptyLetterThere) {
    std::string shortLine = Utf8ToGbk("书") + "    n     h";
    AtomicWriteFile(dir_ + "Ime.DCT", shortLine + "\n");
    std::string py, wbh, wb;
    LookupInputCodes("书", py, wbh, wb);
    EXPECT_EQ(py, "");
    EXPECT_EQ(wbh, "h");
    EXPECT_EQ(wb, "n");
}

TEST_F(InputCodesCoreTest, missingDictionaryGivesEmptyCodes) {
    std::string py = "a", wbh = "b", wb = "c";
    LookupInputCodes("图书", py, wbh, wb);
    EXPECT_EQ(py + wbh + wb, "");
}

TEST(BoxesCoreTest, infoBoxShowsTextUnderInformationCaption) {
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectMessage("备份成功！", IDOK, "信息");
    ShowInfoBox("备份成功！");
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].Caption, "信息");
    EXPECT_EQ(script.Shown()[0].Text, "备份成功！");
    EXPECT_TRUE(script.Unused().empty());
}

TEST(BoxesCoreTest, discardExitIsTrueOnlyForYes) {
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectMessage("数据未存盘，是否退出？", IDYES, "提示！");
    script.ExpectMessage("数据未存盘，是否退出？", IDNO, "提示！");
    EXPECT_TRUE(ConfirmDiscardExit());
    EXPECT_FALSE(ConfirmDiscardExit());
    EXPECT_TRUE(script.Unused().empty());
}

} // namespace
