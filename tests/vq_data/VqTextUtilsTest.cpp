// Comma lists, the case-blind replace, database error wording, the input
// codes over "Ime.DCT" and single INI values.
#include "vq/data/VqTextUtils.h"

#include "Gbk.h"
#include "SysUtils.h"
#include "support/TestNames.h"

#include <gtest/gtest.h>

namespace {

struct CommaRow {
    const char* name;
    const char* list;
    const char* value;
    bool expected;
};

class CommaList : public ::testing::TestWithParam<CommaRow> {};

TEST_P(CommaList, findsItemsIgnoringCaseWithoutTrimming) {
    const CommaRow& r = GetParam();
    EXPECT_EQ(IsInCommaList(r.list, r.value), r.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, CommaList,
                         ::testing::Values(CommaRow{"caseIgnored", "BMaterial,BStock", "bstock", true},
                                           CommaRow{"blankAfterCommaIsPartOfItem", "BMaterial, BStock", "BStock",
                                                    false},
                                           CommaRow{"emptyListHasNoItems", "", "", false},
                                           CommaRow{"twoCommasMakeAnEmptyItem", "a,,b", "", true},
                                           CommaRow{"trailingCommaMakesNoItem", "a,", "", false},
                                           CommaRow{"lineBreakSeparates", "ICName\r\nISName", "isname", true},
                                           CommaRow{"chineseItem", "书名,作者", "作者", true},
                                           CommaRow{"partialIsNoMatch", "BStock", "BSto", false}),
                         RowName());

TEST(ReplaceTextNoCase, replacesEveryCaseOfTheWord) {
    EXPECT_EQ(ReplaceTextNoCase("Field a, FIELD b", "field", "字段"), "字段 a, 字段 b");
}

// The search used to restart at the beginning after each replacement, so a
// replacement holding the search text never finished.
TEST(ReplaceTextNoCase, replacementContainingSearchEndsAfterOnePass) {
    EXPECT_EQ(ReplaceTextNoCase("ab ab", "AB", "xaby"), "xaby xaby");
}

struct ErrorRow {
    const char* name;
    const char* message;
    const char* expected;
};

class DBError : public ::testing::TestWithParam<ErrorRow> {};

TEST_P(DBError, isWordedForTheOperator) { EXPECT_EQ(TranslateDBError(GetParam().message), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Rows, DBError,
    ::testing::Values(ErrorRow{"mustHaveValue", "Field 'Code' must have a value", "字段 'Code' 值不能为空"},
                      ErrorRow{"duplicateKeyReplacesAll", "duplicate key in Field x", "主键字段不得重复!"},
                      ErrorRow{"notValidFloat", "'x' is not a valid float", "'x' is 您输入的数字不合法"},
                      ErrorRow{"firstMatchDecides", "Key violation; must have a value", "Key violation; 值不能为空"},
                      ErrorRow{"unknownUnchanged", "disk full", "disk full"}),
    RowName());

class InputCodes : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = IncludeTrailingPathDelimiter(GetTempFileName() + "_ime");
        ForceDirectories(dir_);
        SetExeDirForTesting(dir_);
    }
    void TearDown() override { SetExeDirForTesting(""); }
    // A dictionary line: the GBK character, then the codes in columns 7, 13
    // and 37.
    static std::string line(const std::string& ch, char wb, char wbh, char py) {
        std::string l = Utf8ToGbk(ch);
        l.resize(40, ' ');
        l[6] = wb;
        l[12] = wbh;
        l[36] = py;
        return l;
    }
    std::string dir_;
};

TEST_F(InputCodes, takesColumnsOfFirstMatchingLine) {
    AtomicWriteFile(dir_ + "Ime.DCT", line("图", 'l', 'z', 't') + "\r\n" + line("书", 'n', 'h', 's') + "\r\n" +
                                          line("书", 'x', 'x', 'x') + "\r\n");
    std::string py = "old", wbh = "old", wb = "old";
    BuildInputCodes("图书", py, wbh, wb);
    EXPECT_EQ(py, "ts");
    EXPECT_EQ(wbh, "zh");
    EXPECT_EQ(wb, "ln");
}

TEST_F(InputCodes, missingDictionaryGivesThreeEmptyCodes) {
    std::string py = "x", wbh = "y", wb = "z";
    BuildInputCodes("图书", py, wbh, wb);
    EXPECT_EQ(py + wbh + wb, "");
    BuildInputCodes("", py, wbh, wb);
    EXPECT_EQ(py + wbh + wb, "");
}

class IniValue : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = GetTempFileName() + ".ini";
        // INI files are GBK on disk.
        AtomicWriteFile(file_,
                        Utf8ToGbk("[导入参数]\r\nRows=12 # rows\r\nOn=1\r\nOff=2\r\nName=abc * note\r\nBad=x1\r\n"));
    }
    void TearDown() override { DeleteFile(file_); }
    std::string file_;
};

TEST_F(IniValue, convertsByTheTypeOfTheDefault) {
    Variant v;
    ReadIniValue(file_, "导入参数", "rows", v, Variant(0));
    EXPECT_EQ(VarType(v), varInteger);
    EXPECT_EQ(v.AsInteger(), 12);
    ReadIniValue(file_, "导入参数", "On", v, Variant(false));
    EXPECT_TRUE(v.AsBoolean());
    ReadIniValue(file_, "导入参数", "Off", v, Variant(false));
    EXPECT_FALSE(v.AsBoolean());
    ReadIniValue(file_, "导入参数", "Name", v, Variant("d"));
    EXPECT_EQ(v.AsString(), "abc");
    ReadIniValue(file_, "导入参数", "Missing", v, Variant("dflt"));
    EXPECT_EQ(v.AsString(), "dflt");
}

TEST_F(IniValue, conversionErrorReachesTheCaller) {
    Variant v;
    EXPECT_THROW(ReadIniValue(file_, "导入参数", "Bad", v, Variant(0)), Exception);
}

TEST_F(IniValue, writtenValueReadsBack) {
    WriteIniString(file_, "导入参数", "FirstRow", "3");
    Variant v;
    ReadIniValue(file_, "导入参数", "FirstRow", v, Variant(1));
    EXPECT_EQ(v.AsInteger(), 3);
}

TEST(ExeRelativePath, isTheExecutablesFolderAndTheName) {
    SetExeDirForTesting("/opt/q/");
    EXPECT_EQ(GetExeRelativePath("ConnectSQL.ini"), "/opt/q/ConnectSQL.ini");
    SetExeDirForTesting("");
}

} // namespace
