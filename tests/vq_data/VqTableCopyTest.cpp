// The import's readers over small files made here: .xlsx written by
// openpyxl, a committed .xls fixture, .dbf written with shapelib. The
// spreadsheet's failure message goes through the dialog seam.
#include "vq/data/VqTableCopy.h"

#include "DialogSeam.h"
#include "Gbk.h"
#include "SysUtils.h"
#include "support/TestNames.h"
#include "vq/VqMemTable.h"

#include <gtest/gtest.h>
#include <shapefil.h>

#include <cstdlib>
#include <fstream>

namespace {

// Debian's openpyxl, whatever python3 comes first on the PATH.
constexpr const char* kPython = "/usr/bin/python3";

class SheetImport : public ::testing::Test {
protected:
    TSeamScript script;
    std::string dir_;
    std::unique_ptr<TVqMemTable> table_;

    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        dir_ = IncludeTrailingPathDelimiter(GetTempFileName() + "_sheets");
        ForceDirectories(dir_);
        table_ = std::make_unique<TVqMemTable>(nullptr);
    }
    // Writes an .xlsx whose first sheet holds rows (Python literals); a
    // cell "f:FORMULA=VALUE" becomes a formula whose cached value is VALUE.
    std::string xlsx(const std::string& name, const std::string& rowsLiteral) {
        const std::string path = dir_ + name;
        const std::string script = dir_ + "make.py";
        std::ofstream(script)
            << "import openpyxl, datetime, zipfile, re, shutil\n"
               "wb = openpyxl.Workbook(); ws = wb.active\n"
               "formulas = {}\n"
               "for r, row in enumerate(" +
                   rowsLiteral +
                   ", start=1):\n"
                   "    for c, v in enumerate(row, start=1):\n"
                   "        if v is None: continue\n"
                   "        if isinstance(v, str) and v.startswith('f:'):\n"
                   "            f, val = v[2:].split('=')\n"
                   "            ws.cell(r, c, '=' + f); formulas[f] = val\n"
                   "        else:\n"
                   "            cell = ws.cell(r, c, v)\n"
                   "            if isinstance(v, str): cell.data_type = 's'\n"
                   "wb.save('" +
                   path +
                   ".tmp')\n"
                   "zin = zipfile.ZipFile('" +
                   path + ".tmp'); zout = zipfile.ZipFile('" + path +
                   "', 'w', zipfile.ZIP_DEFLATED)\n"
                   "for item in zin.infolist():\n"
                   "    data = zin.read(item.filename)\n"
                   "    if item.filename == 'xl/worksheets/sheet1.xml':\n"
                   "        s = data.decode()\n"
                   "        for f, val in formulas.items():\n"
                   "            s = s.replace('<f>' + f + '</f><v></v>', '<f>' + f + '</f><v>' + val + '</v>')\n"
                   "            s = s.replace('<f>' + f + '</f><v />', '<f>' + f + '</f><v>' + val + '</v>')\n"
                   "            s = s.replace('<f>' + f + '</f></c>', '<f>' + f + '</f><v>' + val + '</v></c>')\n"
                   "        data = s.encode()\n"
                   "    zout.writestr(item, data)\n"
                   "zout.close()\n";
        const std::string cmd = std::string(kPython) + " " + script;
        EXPECT_EQ(std::system(cmd.c_str()), 0) << "openpyxl could not write " << path;
        return path;
    }
    std::vector<std::string> fieldNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < table_->FieldCount(); ++i) names.push_back(table_->Fields().Fields(i)->FieldName());
        return names;
    }
    // Row r (from 1) of field name; "<null>" for a null.
    std::string value(int r, const std::string& name) {
        table_->First();
        for (int i = 1; i < r; ++i) table_->Next();
        TField* f = table_->FieldByName(name);
        return f->IsNull() ? "<null>" : f->AsString();
    }
};

const char* kBooks = "[['书名', '书名', '作者', '   ', '定价', '登记日期'],"
                     " ['红楼梦', '上册', '曹雪芹', 'x', 35.5, datetime.date(2003, 1, 31)],"
                     " ['=1+1', None, '  空格  ', None, 12, 'f:E2+E3=47.5']]";

TEST_F(SheetImport, xlsxHeaderRowNamesTextFieldsAndBlankHeaderSkipsItsColumn) {
    ExcelToMemTable(xlsx("books.xlsx", kBooks), 1, 1, 5, 2, table_.get());
    EXPECT_EQ(fieldNames(), (std::vector<std::string>{"书名", "书名1", "作者", "定价", "登记日期"}));
    EXPECT_EQ(table_->FieldByName("书名")->DataType(), ftString);
    EXPECT_EQ(table_->FieldByName("书名")->Size(), 100);
    EXPECT_EQ(table_->RecordCount(), 2);
    EXPECT_EQ(value(1, "书名"), "红楼梦");
    EXPECT_EQ(value(1, "定价"), "35.5");
    EXPECT_TRUE(script.Shown().empty());
}

// The wizard converts registration dates from serial day numbers.
TEST_F(SheetImport, xlsxDateCellGivesItsSerialDayNumber) {
    ExcelToMemTable(xlsx("books.xlsx", kBooks), 1, 1, 5, 2, table_.get());
    EXPECT_EQ(value(1, "登记日期"), "37652");
    EXPECT_EQ(EncodeDate(2003, 1, 31), 37652);
}

// Cells were read as formula text, so a computed cell imported "=E2+E3".
TEST_F(SheetImport, formulaCellGivesItsValueNotTheFormula) {
    ExcelToMemTable(xlsx("books.xlsx", kBooks), 1, 1, 5, 2, table_.get());
    EXPECT_EQ(value(2, "登记日期"), "47.5");
}

TEST_F(SheetImport, textStartingWithEqualsStaysTextAndCellsAreNotTrimmed) {
    ExcelToMemTable(xlsx("books.xlsx", kBooks), 1, 1, 5, 2, table_.get());
    EXPECT_EQ(value(2, "书名"), "=1+1");
    EXPECT_EQ(value(2, "书名1"), "<null>");
    EXPECT_EQ(value(2, "作者"), "  空格  ");
}

// A third equal header used to fail the whole import.
TEST_F(SheetImport, repeatedHeadersAreNumberedOneTwo) {
    ExcelToMemTable(xlsx("dup.xlsx", "[['书名', '书名', '书名'], ['a', 'b', 'c']]"), 1, 1, 2, 1, table_.get());
    EXPECT_EQ(fieldNames(), (std::vector<std::string>{"书名", "书名1", "书名2"}));
    EXPECT_EQ(value(1, "书名2"), "c");
}

TEST_F(SheetImport, columnCountTwoStillReadsTheThirdColumn) {
    ExcelToMemTable(xlsx("three.xlsx", "[['a', 'b', 'c', 'd'], [1, 2, 3, 4]]"), 1, 1, 2, 1, table_.get());
    EXPECT_EQ(fieldNames(), (std::vector<std::string>{"a", "b", "c"}));
}

// The first-column box of the wizard used to have no effect.
TEST_F(SheetImport, firstColumnIsHonoured) {
    ExcelToMemTable(xlsx("three.xlsx", "[['a', 'b', 'c', 'd'], [1, 2, 3, 4]]"), 1, 3, 1, 1, table_.get());
    EXPECT_EQ(fieldNames(), (std::vector<std::string>{"c", "d"}));
    EXPECT_EQ(value(1, "c"), "3");
}

// Texts were cut silently at 100 characters.
TEST_F(SheetImport, longCellWidensItsFieldInsteadOfBeingCut) {
    const std::string longText(150, 'k');
    ExcelToMemTable(xlsx("long.xlsx", "[['摘要'], ['" + longText + "']]"), 1, 1, 0, 1, table_.get());
    EXPECT_EQ(table_->FieldByName("摘要")->Size(), 150);
    EXPECT_EQ(value(1, "摘要"), longText);
}

TEST_F(SheetImport, headerInALaterRowStartsThere) {
    ExcelToMemTable(xlsx("later.xlsx", "[['标题'], [], ['书名'], ['围城']]"), 3, 1, 0, 1, table_.get());
    EXPECT_EQ(value(1, "书名"), "围城");
}

TEST_F(SheetImport, xlsFixtureReadsNamesValuesAndDates) {
    ExcelToMemTable(SOURCE_DIR "/tests/vq_data/fixtures/books.xls", 1, 1, 5, 2, table_.get());
    EXPECT_EQ(fieldNames(), (std::vector<std::string>{"书名", "书名1", "作者", "定价", "登记日期"}));
    EXPECT_EQ(value(1, "书名"), "红楼梦");
    EXPECT_EQ(value(1, "定价"), "35.5");
    EXPECT_EQ(value(1, "登记日期"), "37652");
    EXPECT_EQ(value(2, "书名"), "=1+1");
    EXPECT_EQ(value(2, "定价"), "12");
    EXPECT_TRUE(script.Shown().empty());
}

TEST_F(SheetImport, unreadableFileSaysSoAndLeavesTheTableEmpty) {
    const std::string path = dir_ + "notasheet.xlsx";
    AtomicWriteFile(path, "just text");
    script.ExpectMessage("没有发现Excel,或是设置有误!", IDOK);
    ExcelToMemTable(path, 1, 1, 5, 2, table_.get());
    EXPECT_FALSE(table_->Active());
    EXPECT_EQ(table_->FieldDefs().Count(), 0);
    EXPECT_TRUE(script.Unused().empty());
}

// A workbook whose sheet breaks off in the middle of a cell: the reader
// names the damage, the import says its message, nothing is half loaded.
TEST_F(SheetImport, sheetCutOffMidwayIsRefusedWithItsCause) {
    const std::string good = xlsx("cut.xlsx", "[['书名'], ['红楼梦'], ['水浒传']]");
    const std::string path = dir_ + "cut-broken.xlsx";
    const std::string py = dir_ + "cut.py";
    std::ofstream(py) << "import zipfile\n"
                         "zin = zipfile.ZipFile('" + good + "'); zout = zipfile.ZipFile('" + path +
                             "', 'w', zipfile.ZIP_DEFLATED)\n"
                             "for item in zin.infolist():\n"
                             "    data = zin.read(item.filename)\n"
                             "    if item.filename == 'xl/worksheets/sheet1.xml':\n"
                             "        data = data[:data.index(b'<row r=\"3\"') + 12]\n"
                             "    zout.writestr(item, data)\n"
                             "zout.close()\n";
    ASSERT_EQ(std::system((std::string(kPython) + " " + py).c_str()), 0);
    try {
        ReadSheet(path);
        ADD_FAILURE() << "a cut sheet was read";
    } catch (const EVqSheetError& e) {
        EXPECT_STREQ(e.what(), "表格的 XML 已损坏");
    }
    script.ExpectMessage("没有发现Excel,或是设置有误!", IDOK);
    ExcelToMemTable(path, 1, 1, 1, 2, table_.get());
    EXPECT_FALSE(table_->Active());
    EXPECT_TRUE(script.Unused().empty());
}

// ----------------------------------------------------------------- dBase

class DbfImport : public SheetImport {};

TEST_F(DbfImport, fieldsAndRecordsComeOverWithTheirTypes) {
    const std::string path = dir_ + "books.dbf";
    DBFHandle h = DBFCreateEx(path.c_str(), "LDID/77");
    ASSERT_NE(h, nullptr);
    DBFAddNativeFieldType(h, Utf8ToGbk("书名").c_str(), 'C', 20, 0);
    DBFAddNativeFieldType(h, "PRICE", 'N', 10, 2);
    DBFAddNativeFieldType(h, "QTY", 'N', 4, 0);
    DBFAddNativeFieldType(h, "LENT", 'L', 1, 0);
    DBFAddNativeFieldType(h, "REGDATE", 'D', 8, 0);
    DBFWriteStringAttribute(h, 0, 0, Utf8ToGbk("红楼梦").c_str());
    DBFWriteDoubleAttribute(h, 0, 1, 35.5);
    DBFWriteIntegerAttribute(h, 0, 2, 3);
    DBFWriteLogicalAttribute(h, 0, 3, 'T');
    char regDate[] = "20030131";
    DBFWriteAttributeDirectly(h, 0, 4, regDate);
    DBFWriteStringAttribute(h, 1, 0, "Go");
    DBFWriteNULLAttribute(h, 1, 1);
    DBFWriteIntegerAttribute(h, 1, 2, 0);
    DBFWriteLogicalAttribute(h, 1, 3, 'F');
    DBFWriteNULLAttribute(h, 1, 4);
    DBFClose(h);

    EXPECT_FALSE(CopyTableToMemTable(path, table_.get()));
    EXPECT_EQ(fieldNames(), (std::vector<std::string>{"书名", "PRICE", "QTY", "LENT", "REGDATE"}));
    EXPECT_EQ(table_->FieldByName("书名")->DataType(), ftString);
    EXPECT_EQ(table_->FieldByName("PRICE")->DataType(), ftCurrency);
    EXPECT_EQ(table_->FieldByName("QTY")->DataType(), ftInteger);
    EXPECT_EQ(table_->FieldByName("LENT")->DataType(), ftBoolean);
    EXPECT_EQ(table_->FieldByName("REGDATE")->DataType(), ftDate);
    ASSERT_EQ(table_->RecordCount(), 2);
    table_->First();
    EXPECT_EQ(table_->FieldByName("书名")->AsString(), "红楼梦");
    EXPECT_EQ(table_->FieldByName("PRICE")->AsCurrency(), Currency::FromRaw(355000));
    EXPECT_EQ(table_->FieldByName("QTY")->AsInteger(), 3);
    EXPECT_TRUE(table_->FieldByName("LENT")->AsBoolean());
    EXPECT_EQ(table_->FieldByName("REGDATE")->AsDateTime(), EncodeDate(2003, 1, 31));
    table_->Next();
    EXPECT_TRUE(table_->FieldByName("PRICE")->IsNull());
    EXPECT_FALSE(table_->FieldByName("LENT")->AsBoolean());
}

TEST_F(DbfImport, missingFileReachesTheCaller) {
    EXPECT_THROW(CopyTableToMemTable(dir_ + "none.dbf", table_.get()), EDatabaseError);
}

TEST(SharedDataModule, routinesGiveTheirFailureValuesWithoutIt) {
    Variant v = 5;
    EXPECT_EQ(QueryValues("select 1", v, true), 0);
    EXPECT_EQ(v.AsInteger(), 5);
    EXPECT_FALSE(CopyTableToSqlServer(nullptr, "T"));
}

} // namespace

namespace {

// The sheet keeps its texts end to end; these cases catch a cell that
// points at the wrong stretch once rows arrive out of order, a shared text
// that is not the one numbered, and an empty text taken for no cell.
TEST(SheetStore, cellsKeepTheirTextsWhateverOrderRowsArriveIn) {
    TVqSheet sheet;
    const int title = sheet.AddShared("红楼梦");
    const int author = sheet.AddShared("曹雪芹");
    sheet.Set(2, 1, "35.5");
    sheet.SetShared(1, 3, author);
    sheet.Set(1, 1, "");
    sheet.SetShared(2, 4, title);
    sheet.Set(1, 5, "=1+1");
    sheet.SetShared(3, 2, title);
    sheet.Set(2, 2, "上册");
    sheet.SetShared(1, 9, 7); // no such shared text: the cell stays empty

    struct Row {
        int row, col;
        bool present;
        const char* text;
    };
    const Row rows[] = {{1, 1, true, ""},     {1, 2, false, ""},    {1, 3, true, "曹雪芹"}, {1, 5, true, "=1+1"},
                        {2, 1, true, "35.5"}, {2, 2, true, "上册"}, {2, 3, false, ""},      {2, 4, true, "红楼梦"},
                        {3, 2, true, "红楼梦"}, {1, 9, false, ""},  {4, 1, false, ""},      {0, 1, false, ""}};
    for (const Row& r : rows) {
        const TVqSheetCell cell = sheet.Cell(r.row, r.col);
        EXPECT_EQ(cell.present, r.present) << r.row << "," << r.col;
        EXPECT_EQ(cell.text, r.text) << r.row << "," << r.col;
    }
    EXPECT_EQ(sheet.RowCount(), 3);
}

} // namespace
