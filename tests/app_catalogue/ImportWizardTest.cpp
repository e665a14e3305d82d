// The import wizard through its real window, opened from the lists'
// spreadsheet-import buttons on a scratch database: a workbook (.xlsx by
// openpyxl, .xls by fixtures/make_xls.py, both read by the program's
// readers) and a dBase table made here with shapelib; the mapping typed
// into its grid, saved as a template and found again; existing and
// repeated codes and blank codes skipped and counted. The import's rules
// (prefix, default, blank values, dates, widths, types) over a table of
// cases without the window.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Gbk.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBookData.h"
#include "app/uImportData.h"
#include "app/uMagzData.h"
#include "app/uReaderData.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "vq/VqMemTable.h"
#include "vq/controls/VqEdits.h"
#include "vq/controls/VqStdCtrls.h"
#include "vq/grid/VQDBGrid.h"

#include <shapefil.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

namespace {

// Debian's openpyxl, whatever python3 comes first on the PATH.
constexpr const char* kPython = "/usr/bin/python3";

class ImportWizardTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        Exec("delete from Bookinfo; delete from Readerinfo; delete from Magzinfo");
        WriteInputDictionary(dir_, {{"红", 'x', 'n', 'h'}, {"楼", 's', 'h', 'l'}, {"梦", 's', 'h', 'm'},
                                    {"围", 'l', 's', 'w'}, {"城", 'f', 'h', 'c'}});
    }
    void TearDown() override {
        books.reset();
        readers.reset();
        magz.reset();
        CatalogueFixture::TearDown();
    }

    // An .xlsx whose first sheet holds rows (a Python literal).
    std::string xlsx(const std::string& name, const std::string& rowsLiteral) {
        const std::string path = dir_ + name;
        const std::string py = dir_ + "make_xlsx.py";
        std::ofstream(py) << "import openpyxl, datetime\n"
                             "wb = openpyxl.Workbook(); ws = wb.active\n"
                             "for row in " +
                                 rowsLiteral +
                                 ":\n"
                                 "    ws.append(row)\n"
                                 "wb.save('" +
                                 path + "')\n";
        EXPECT_EQ(std::system((std::string(kPython) + " " + py).c_str()), 0) << "openpyxl could not write " << path;
        return path;
    }
    // An .xls (BIFF8) whose sheet holds rows (JSON; {"date": "yyyy-mm-dd"}
    // for a date cell).
    std::string xls(const std::string& name, const std::string& rowsJson) {
        const std::string path = dir_ + name;
        AtomicWriteFile(dir_ + "rows.json", rowsJson);
        const std::string cmd = std::string(kPython) + " " SOURCE_DIR "/tests/app_catalogue/fixtures/make_xls.py " +
                                path + " < " + dir_ + "rows.json";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << "could not write " << path;
        return path;
    }

    void openBooks() {
        books.reset(new TFrmBookData(nullptr));
        ShowAndActivate(books.get());
        ProcessEvents();
    }
    void openReaders() {
        readers.reset(new TFrmReaderData(nullptr));
        ShowAndActivate(readers.get());
        ProcessEvents();
    }

    // Presses button (a list's import button); steps drive the wizard while
    // it is shown.
    void runWizard(TControl* button, std::function<void(TFrmImportData*)> steps) {
        script.ExpectForm("TFrmImportData", mrNone, {},
                          [steps](TCustomForm* f) { steps(static_cast<TFrmImportData*>(f)); });
        SendClick(button);
        ProcessEvents();
    }

    // The source page: the file typed into the file box, Excel or DBF, then
    // 下一步 twice to the mapping page.
    static void toMapping(TFrmImportData* w, const std::string& file, bool dbf = false, const std::string& rows = "") {
        SendText(w->EdtFile, file);
        if (dbf) SendClick(w->RbBtndbf);
        if (!rows.empty()) {
            SendKey(w->EdtRows, VK_END);
            for (int i = 0; i < 4; ++i) SendKey(w->EdtRows, VK_BACK);
            SendText(w->EdtRows, rows);
        }
        SendClick(w->BtnNext);
        ASSERT_EQ(w->Notebook->ActivePage(), "PreData");
        SendClick(w->BtnNext);
        ASSERT_EQ(w->Notebook->ActivePage(), "SetField");
    }

    // Types text into the mapping cell of the target column `field`:
    // column 1 前导码, 2 导入字段, 3 默认值 (字段描述 is the first shown).
    static void mapCell(TFrmImportData* w, const std::string& field, int column, const std::string& text) {
        int row = -1, i = 0;
        for (w->tblSetFields->First(); !w->tblSetFields->Eof(); w->tblSetFields->Next(), ++i)
            if (w->tblSetFields->FieldByName("FieldName")->AsString() == field) row = i;
        ASSERT_GE(row, 0) << field << " has no mapping row";
        TVQDBGrid* g = w->dbgSetFields;
        SendKey(g, VK_HOME, TShiftState() << ssCtrl);
        for (int r = 0; r < row; ++r) SendKey(g, VK_DOWN);
        SendKey(g, VK_HOME);
        for (int c = 0; c < column; ++c) SendKey(g, VK_RIGHT);
        SendTextToFocus(g, text);
        SendKeyToFocus(g, VK_RETURN);
    }
    static void mapSource(TFrmImportData* w, const std::string& field, const std::string& source) {
        mapCell(w, field, 2, source);
    }

    std::unique_ptr<TFrmBookData> books;
    std::unique_ptr<TFrmReaderData> readers;
    std::unique_ptr<TFrmMagzData> magz;
};

// ------------------------------------------------------------- the window

TEST_F(ImportWizardTest, xlsxBooksArriveWithCodesPricesAndDatesAndTheListShowsThem) {
    Exec("insert into Bookinfo (Code, Name, BookPrice) values ('B001', '旧书', 9)");
    const std::string file =
        xlsx("books.xlsx", "[['条码', '书名', '作者', '定价', '登记日期'],"
                           " ['B101', '红楼梦', '曹雪芹', 35.5, datetime.date(2003, 1, 31)],"
                           " ['B102', '围城', '钱锺书', 19.8, '2024-05-20'],"
                           " ['B001', '重复的旧书', None, 1, None],"
                           " ['B101', '重复的红楼梦', None, 2, None],"
                           " [None, '没有条码', None, 3, None]]");
    openBooks();
    runWizard(books->BtExcel, [&](TFrmImportData* w) {
        toMapping(w, file);
        mapSource(w, "Code", "条码");
        mapSource(w, "Name", "书名");
        mapSource(w, "Writer", "作者");
        mapSource(w, "BookPrice", "定价");
        mapSource(w, "RegDate", "登记日期");
        SendKey(w->dbgSetFields, VK_HOME, TShiftState() << ssCtrl);
        std::filesystem::create_directories(BUILD_DIR "/test-output/screens");
        EXPECT_TRUE(SaveFormPng(w, BUILD_DIR "/test-output/screens/import-wizard-mapping.png"));
        script.ExpectMessage("导入完成: 新增 2 条, 更新 0 条。\n"
                             "跳过 2 条关键字段重复的记录(已存在,未选择覆盖)。\n"
                             "跳过 1 条关键字段为空的记录。",
                             IDOK);
        SendClick(w->BtnNext);
    });
    EXPECT_EQ(Rows("select Code, Name, Writer, BookPrice, RegDate from Bookinfo order by Code"),
              (std::vector<std::string>{"B001|旧书||9|", "B101|红楼梦|曹雪芹|35.5|2003-01-31",
                                        "B102|围城|钱锺书|19.8|2024-05-20"}));
    // The list was read again, and its counters with it.
    EXPECT_EQ(books->ADOqData->RecordCount(), 3);
    EXPECT_EQ(books->EditQty->Text(), "3");
    EXPECT_TRUE(script.Unused().empty());
}

// "本系统格式" takes back what the list's own "导出Excel" wrote: the whole
// sheet, its columns mapped by their captions without a cell typed.
TEST_F(ImportWizardTest, ownFormatTakesBackTheListsExportWithItsColumnsMapped) {
    Exec("insert into Bookinfo (Code, Name, Writer, BookPrice) values ('E1', '红楼梦', '曹雪芹', 35.5), "
         "('E2', '围城', '钱锺书', 19.8)");
    const std::string file = dir_ + "books-export.xlsx";
    openBooks();
    script.ExpectFile(TSeamKind::SaveDialog, file);
    SendClick(books->BtPrint);
    ClickMenuItem("导出Excel");
    ASSERT_TRUE(FileExists(file));
    Exec("delete from Bookinfo");
    const std::string notAnExport = dir_ + "notes.txt";
    AtomicWriteFile(notAnExport, "not a workbook\r\n");
    runWizard(books->BtExcel, [&](TFrmImportData* w) {
        SendText(w->EdtFile, notAnExport);
        SendClick(w->RBtnDefault);
        script.ExpectMessage("文件不是本系统导出的Excel文件：" + notAnExport, IDOK);
        SendClick(w->BtnNext);
        EXPECT_EQ(w->Notebook->ActivePage(), "ImportType");
        SendKey(w->EdtFile, 'A', TShiftState() << ssCtrl);
        SendText(w->EdtFile, file);
        SendClick(w->BtnNext);
        ASSERT_EQ(w->Notebook->ActivePage(), "PreData");
        EXPECT_EQ(w->tblImportData->RecordCount(), 2);
        SendClick(w->BtnNext);
        script.ExpectMessage("导入完成: 新增 2 条, 更新 0 条。", IDOK);
        SendClick(w->BtnNext);
    });
    EXPECT_TRUE(script.Unused().empty());
    EXPECT_EQ(Rows("select Code, Name, Writer, BookPrice, Py from Bookinfo order by Code"),
              (std::vector<std::string>{"E1|红楼梦|曹雪芹|35.5|hlm", "E2|围城|钱锺书|19.8|wc"}));
    EXPECT_EQ(books->ADOqData->RecordCount(), 2);
}

TEST_F(ImportWizardTest, overwriteUpdatesOnlyTheMappedColumnsThatAreNotBlank) {
    Exec("insert into Bookinfo (Code, Name, Writer, Publisher) values ('B001', '旧名', '旧作者', '旧出版社')");
    const std::string file = xlsx("update.xlsx", "[['条码', '书名', '作者'], ['B001', '新名', None]]");
    openBooks();
    runWizard(books->BtExcel, [&](TFrmImportData* w) {
        toMapping(w, file);
        mapSource(w, "Code", "条码");
        mapSource(w, "Name", "书名");
        mapSource(w, "Writer", "作者");
        SendClick(w->ckbUpdate);
        script.ExpectMessage("导入完成: 新增 0 条, 更新 1 条。", IDOK);
        SendClick(w->BtnNext);
    });
    EXPECT_EQ(Rows("select Code, Name, Writer, Publisher from Bookinfo"),
              (std::vector<std::string>{"B001|新名|旧作者|旧出版社"}));
}

TEST_F(ImportWizardTest, templateIsSavedFoundByTheNextWizardAndDeletedBackToTheGridColumns) {
    const std::string file = xlsx("t.xlsx", "[['条码', '书名'], ['T1', '甲']]");
    const std::string templateFile = dir_ + "bmp/FrmBookData-DBGrid1";
    openBooks();
    runWizard(books->BtExcel, [&](TFrmImportData* w) {
        EXPECT_EQ(w->TemplateFile, templateFile);
        toMapping(w, file);
        mapSource(w, "Code", "条码");
        mapCell(w, "Code", 1, "NJ-");
        mapCell(w, "Publisher", 3, "本馆自编");
        SendClick(w->BtnSave);
        SendClick(w->BtnCancel);
    });
    ASSERT_TRUE(FileExists(templateFile));
    // Data only, in the in-memory table's text format (GBK on disk).
    EXPECT_NE(ReadFileBytes(templateFile).find(Utf8ToGbk("本馆自编")), std::string::npos);

    runWizard(books->BtExcel, [&](TFrmImportData* w) {
        w->tblSetFields->Locate("FieldName", Variant("Code"));
        EXPECT_EQ(w->tblSetFields->FieldByName("SFieldName")->AsString(), "条码");
        EXPECT_EQ(w->tblSetFields->FieldByName("PreValue")->AsString(), "NJ-");
        toMapping(w, file);
        script.ExpectMessage("导入完成: 新增 1 条, 更新 0 条。", IDOK);
        SendClick(w->BtnNext);
    });
    EXPECT_EQ(Rows("select Code, Name, Publisher from Bookinfo"), (std::vector<std::string>{"NJ-T1||本馆自编"}));

    runWizard(books->BtExcel, [&](TFrmImportData* w) {
        toMapping(w, file);
        SendClick(w->BtnDelete);
        EXPECT_FALSE(FileExists(templateFile));
        // The default rows again: the grid's columns in the data set's
        // field order, captions from the grid, nothing mapped.
        w->tblSetFields->First();
        EXPECT_EQ(w->tblSetFields->FieldByName("FieldName")->AsString(), "Code");
        EXPECT_EQ(w->tblSetFields->FieldByName("CFieldName")->AsString(), "图书编号");
        EXPECT_TRUE(w->tblSetFields->FieldByName("SFieldName")->AsString().empty());
        EXPECT_FALSE(w->tblSetFields->Locate("FieldName", Variant("Id")));
        EXPECT_FALSE(w->tblSetFields->Locate("FieldName", Variant("Py")));
        SendClick(w->BtnCancel);
    });
}

// The key's row of the mapping had no source column: nothing was imported
// and nothing was said.
TEST_F(ImportWizardTest, mappingWithoutTheKeySaysSoAndStaysOpen) {
    const std::string file = xlsx("nokey.xlsx", "[['书名'], ['甲']]");
    openBooks();
    runWizard(books->BtExcel, [&](TFrmImportData* w) {
        toMapping(w, file);
        mapSource(w, "Name", "书名");
        script.ExpectMessage("请为关键字段“图书编号”指定导入字段,否则无法导入!", IDOK);
        SendClick(w->BtnNext);
        EXPECT_TRUE(w->Visible());
        EXPECT_EQ(w->Notebook->ActivePage(), "SetField");
        SendClick(w->BtnCancel);
    });
    EXPECT_EQ(Scalar("select count(*) from Bookinfo"), "0");
}

TEST_F(ImportWizardTest, dbfReadersWithRepeatedAndTakenCodesAreCounted) {
    Exec("insert into Readerinfo (Code, Name) values ('R001', '张三')");
    const std::string path = dir_ + "readers.dbf";
    DBFHandle h = DBFCreateEx(path.c_str(), "LDID/77");
    ASSERT_NE(h, nullptr);
    DBFAddNativeFieldType(h, "CODE", 'C', 10, 0);
    DBFAddNativeFieldType(h, Utf8ToGbk("姓名").c_str(), 'C', 20, 0);
    DBFAddNativeFieldType(h, "REGDATE", 'D', 8, 0);
    DBFAddNativeFieldType(h, "DEPOSIT", 'N', 8, 2);
    const struct {
        const char* code;
        const char* name;
        const char* date;
        double deposit;
    } rows[] = {{"R101", "李雷", "20240520", 20.5},
                {"r001", "张三重复", "20240521", 0},
                {"R101", "李雷重复", "20240522", 0},
                {"", "无编号", "20240523", 0},
                {"R102", "韩梅梅", "", 10}};
    int r = 0;
    for (const auto& row : rows) {
        DBFWriteStringAttribute(h, r, 0, row.code);
        DBFWriteStringAttribute(h, r, 1, Utf8ToGbk(row.name).c_str());
        if (*row.date) {
            char d[9];
            std::snprintf(d, sizeof d, "%s", row.date);
            DBFWriteAttributeDirectly(h, r, 2, d);
        } else {
            DBFWriteNULLAttribute(h, r, 2);
        }
        DBFWriteDoubleAttribute(h, r, 3, row.deposit);
        ++r;
    }
    DBFClose(h);

    openReaders();
    runWizard(readers->BtExcel, [&](TFrmImportData* w) {
        toMapping(w, path, true);
        mapSource(w, "Code", "CODE");
        mapSource(w, "Name", "姓名");
        mapSource(w, "RegDate", "REGDATE");
        mapSource(w, "DepoSum", "DEPOSIT");
        script.ExpectMessage("导入完成: 新增 2 条, 更新 0 条。\n"
                             "跳过 2 条关键字段重复的记录(已存在,未选择覆盖)。\n"
                             "跳过 1 条关键字段为空的记录。",
                             IDOK);
        SendClick(w->BtnNext);
    });
    EXPECT_EQ(Rows("select Code, Name, RegDate, DepoSum from Readerinfo order by Code"),
              (std::vector<std::string>{"R001|张三||", "R101|李雷|2024-05-20|20.5", "R102|韩梅梅||10"}));
    EXPECT_EQ(readers->EditQty->Text(), "3");
}

// "<<上一步" read the file again as a spreadsheet, whatever it was: a dBase
// file then failed with the spreadsheet's message.
TEST_F(ImportWizardTest, backFromThePreviewOfADbfJustGoesBack) {
    const std::string path = dir_ + "one.dbf";
    DBFHandle h = DBFCreateEx(path.c_str(), "LDID/77");
    DBFAddNativeFieldType(h, "CODE", 'C', 10, 0);
    DBFWriteStringAttribute(h, 0, 0, "R9");
    DBFClose(h);
    openReaders();
    runWizard(readers->BtExcel, [&](TFrmImportData* w) {
        SendText(w->EdtFile, path);
        SendClick(w->RbBtndbf);
        SendClick(w->BtnNext);
        EXPECT_EQ(w->Notebook->ActivePage(), "PreData");
        EXPECT_EQ(w->tblImportData->RecordCount(), 1);
        SendClick(w->BtnPre);
        EXPECT_EQ(w->Notebook->ActivePage(), "ImportType");
        EXPECT_EQ(w->tblImportData->RecordCount(), 1);
        SendClick(w->BtnCancel);
    });
    EXPECT_TRUE(script.Shown().size() == 1) << "only the wizard itself was shown";
}

TEST_F(ImportWizardTest, xlsWorkbookImportsReadersWithItsDates) {
    const std::string file = xls("readers.xls", R"([["编号","姓名","部门","登记日期"],)"
                                                R"(["X001","赵六","物理系",{"date":"2003-01-31"}],)"
                                                R"(["X002","钱七",null,{"date":"2024-05-20"}]])");
    openReaders();
    runWizard(readers->BtExcel, [&](TFrmImportData* w) {
        toMapping(w, file);
        mapSource(w, "Code", "编号");
        mapSource(w, "Name", "姓名");
        mapSource(w, "Department", "部门");
        mapSource(w, "RegDate", "登记日期");
        script.ExpectMessage("导入完成: 新增 2 条, 更新 0 条。", IDOK);
        SendClick(w->BtnNext);
    });
    EXPECT_EQ(Rows("select Code, Name, Department, RegDate from Readerinfo order by Code"),
              (std::vector<std::string>{"X001|赵六|物理系|2003-01-31", "X002|钱七||2024-05-20"}));
}

TEST_F(ImportWizardTest, periodicalListOpensTheWizardOnMagzinfo) {
    const std::string file = xlsx("magz.xlsx", "[['刊号', '刊名'], ['M101', '读者']]");
    magz.reset(new TFrmMagzData(nullptr));
    ShowAndActivate(magz.get());
    runWizard(magz->BtExcel, [&](TFrmImportData* w) {
        EXPECT_EQ(w->TargetTable, "MagzInfo");
        EXPECT_EQ(w->ImportMode, "Share");
        toMapping(w, file);
        mapSource(w, "Code", "刊号");
        mapSource(w, "Name", "刊名");
        script.ExpectMessage("新增 1 条", IDOK);
        SendClick(w->BtnNext);
    });
    EXPECT_EQ(Rows("select Code, Name from Magzinfo"), (std::vector<std::string>{"M101|读者"}));
    EXPECT_EQ(magz->EditQty->Text(), "1");
}

// ------------------------------------------------------------- the rules

// A source table and a mapping, as the window holds them.
struct ImportTables {
    TVqMemTable source{nullptr};
    TVqMemTable mapping{nullptr};
    explicit ImportTables(const std::vector<std::string>& sourceFields) {
        for (const std::string& f : sourceFields) source.FieldDefs().Add(f, ftString, 100, false);
        source.CreateTable();
        source.Open();
        for (const char* f : {"FieldName", "CFieldName", "PreValue", "SFieldName", "DefaultValue"})
            mapping.FieldDefs().Add(f, ftString, 30, false);
        mapping.CreateTable();
        mapping.Open();
    }
    void map(const std::string& field, const std::string& from, const std::string& prefix = "",
             const std::string& fallback = "") {
        mapping.Append();
        mapping.FieldByName("FieldName")->SetAsString(field);
        mapping.FieldByName("SFieldName")->SetAsString(from);
        mapping.FieldByName("PreValue")->SetAsString(prefix);
        mapping.FieldByName("DefaultValue")->SetAsString(fallback);
        mapping.Post();
    }
    void row(const std::vector<const char*>& values) {
        source.Append();
        for (size_t i = 0; i < values.size(); ++i)
            if (values[i]) source.Fields().Fields(int(i))->SetAsString(values[i]);
        source.Post();
    }
};

struct RuleRow {
    const char* name;
    // The second source column's mapping onto Bookinfo.
    const char* column;
    const char* prefix;
    const char* fallback;
    const char* value; // nullptr: empty cell
    bool overwrite;
    // What the row of key K1 holds afterwards in `column` ("" for NULL),
    // and the failures counted.
    const char* expected;
    int failed;
};

class ImportRule : public CatalogueFixture, public ::testing::WithParamInterface<RuleRow> {};

TEST_P(ImportRule, givesTheColumnItsValue) {
    const RuleRow& r = GetParam();
    Exec("insert into Bookinfo (Code, Writer, Publisher, BookPrice, RegDate) values "
                   "('K1', '旧作者', '旧出版社', 5, '2000-01-01')");
    ImportTables t({"code", "value"});
    t.map("Code", "code");
    t.map(r.column, "value", r.prefix, r.fallback);
    t.row({"K1", r.value});
    const TImportResult result =
        UpsertByKey(DMData->ADOConnection1, "BookInfo", "Code", &t.source, &t.mapping, r.overwrite);
    EXPECT_EQ(result.Failed, r.failed);
    EXPECT_EQ(Scalar(std::string("select ") + r.column + " from Bookinfo where Code='K1'"), r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ImportRule,
    ::testing::Values(
        RuleRow{"existingRowUntouchedWithoutOverwrite", "Writer", "", "", "新作者", false, "旧作者", 0},
        RuleRow{"overwriteWritesTheValue", "Writer", "", "", "新作者", true, "新作者", 0},
        RuleRow{"blankValueNeverOverwrites", "Writer", "", "", "  ", true, "旧作者", 0},
        RuleRow{"defaultWhenTheSourceIsEmpty", "Publisher", "", "本馆", nullptr, true, "本馆", 0},
        RuleRow{"prefixAloneIsNotBlankSoNoDefault", "Publisher", "社-", "本馆", nullptr, true, "社-", 0},
        RuleRow{"prefixGoesBeforeTheValue", "Publisher", "社-", "", "中华", true, "社-中华", 0},
        RuleRow{"regDateFromADaySerial", "RegDate", "", "", "37652", true, "2003-01-31", 0},
        RuleRow{"regDateFromDateText", "RegDate", "", "", "2024-05-20", true, "2024-05-20", 0},
        RuleRow{"regDateThatIsNoDateFailsTheRowOnly", "RegDate", "", "", "昨天", true, "2000-01-01", 1},
        RuleRow{"priceThatIsNoNumberFailsTheRowOnly", "BookPrice", "", "", "abc", true, "5", 1},
        RuleRow{"priceKeepsItsDecimals", "BookPrice", "", "", "35.50", true, "35.5", 0},
        // Writer is TEXT(30): 16 Chinese characters are 32 bytes.
        RuleRow{"longTextCutAtACharacter", "Writer", "", "", "一二三四五六七八九十一二三四五六", true,
                "一二三四五六七八九十一二三四五", 0}),
    RowName());

class ImportKey : public CatalogueFixture {};

// The key was looked up by the source value without its prefix, so every
// import of the same sheet added its rows again.
TEST_F(ImportKey, keyWithAPrefixFindsTheRowItMadeBefore) {
    ImportTables t({"code"});
    t.map("Code", "code", "NJ-");
    t.row({"1"});
    t.row({" 2 "});
    for (int pass = 0; pass < 2; ++pass) {
        const TImportResult r = UpsertByKey(DMData->ADOConnection1, "BookInfo", "Code", &t.source, &t.mapping, false);
        EXPECT_EQ(r.Inserted, pass == 0 ? 2 : 0);
        EXPECT_EQ(r.SkippedExisting, pass == 0 ? 0 : 2);
    }
    EXPECT_EQ(Rows("select Code from Bookinfo order by Code"), (std::vector<std::string>{"NJ- 2", "NJ-1"}));
}

// Pre-catalogue records are found by title: a second row of the same title
// updates the record the first one made.
TEST_F(ImportKey, preCatalogueRowsOfOneTitleMeetInOneRecord) {
    ImportTables t({"title", "writer"});
    t.map("Name", "title");
    t.map("Writer", "writer");
    t.row({"围城", "钱"});
    t.row({"围城", "钱锺书"});
    const TImportResult r = UpsertByKey(DMData->ADOConnection1, "BookInfoPre", "Name", &t.source, &t.mapping, true);
    EXPECT_EQ(r.Inserted, 1);
    EXPECT_EQ(r.Updated, 1);
    EXPECT_EQ(Rows("select Name, Writer from BookinfoPre"), (std::vector<std::string>{"围城|钱锺书"}));
}

// The table name is written into the statements: only the wizard's own
// targets are taken.
TEST_F(ImportKey, unknownTableIsRefusedBeforeAnythingRuns) {
    ImportTables t({"code"});
    t.map("Code", "code");
    t.row({"1"});
    EXPECT_THROW(UpsertByKey(DMData->ADOConnection1, "Bookinfo; drop table Bookinfo", "Code", &t.source, &t.mapping,
                             false),
                 EDatabaseError);
    EXPECT_EQ(Scalar("select count(*) from Bookinfo"), "0");
}

// A quote in a key is only a character.
TEST_F(ImportKey, keyWithAQuoteIsBoundNotPasted) {
    Exec("insert into Bookinfo (Code, Name) values ('O''1', '旧')");
    ImportTables t({"code", "name"});
    t.map("Code", "code");
    t.map("Name", "name");
    t.row({"O'1", "新"});
    t.row({"x' or '1'='1", "注入"});
    const TImportResult r = UpsertByKey(DMData->ADOConnection1, "BookInfo", "Code", &t.source, &t.mapping, true);
    EXPECT_EQ(r.Updated, 1);
    EXPECT_EQ(r.Inserted, 1);
    EXPECT_EQ(Rows("select Code, Name from Bookinfo order by Id"),
              (std::vector<std::string>{"O'1|新", "x' or '1'='1|注入"}));
}

// Imported rows get the input codes the editors' saves give their name, on
// each target the lists import into; the codes follow the name, so a sheet's
// own code column is not taken, and a row whose name is not written keeps
// the codes it has.
struct CodeTarget {
    const char* name;
    const char* table;
    const char* key;
};

class ImportCodes : public CatalogueFixture, public ::testing::WithParamInterface<CodeTarget> {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        WriteInputDictionary(dir_, {{"红", 'x', 'n', 'h'}, {"楼", 's', 'h', 'l'}, {"梦", 's', 'h', 'm'},
                                    {"围", 'l', 's', 'w'}, {"城", 'f', 'h', 'c'}});
    }
};

TEST_P(ImportCodes, followTheNameWritten) {
    const CodeTarget& target = GetParam();
    const std::string table = target.table, key = target.key;
    const bool byName = key == "Name";
    ImportTables t({"key", "name", "py"});
    t.map(key, byName ? "name" : "key");
    if (!byName) t.map("Name", "name");
    t.map("Py", "py");
    t.row({"K1", "红楼梦", "zzz"});
    TImportResult r = UpsertByKey(DMData->ADOConnection1, table, key, &t.source, &t.mapping, true);
    EXPECT_EQ(r.Inserted, 1);
    EXPECT_EQ(Rows("select Name, Py, Wbh, Wb from " + table), (std::vector<std::string>{"红楼梦|hlm|nhh|xss"}));

    // Overwritten with no name: the codes stay with the name the row has.
    ImportTables keyOnly({"key"});
    keyOnly.map(key, "key");
    keyOnly.row({byName ? "红楼梦" : "K1"});
    r = UpsertByKey(DMData->ADOConnection1, table, key, &keyOnly.source, &keyOnly.mapping, true);
    EXPECT_EQ(r.Updated, 1);
    EXPECT_EQ(Rows("select Py, Wbh, Wb from " + table), (std::vector<std::string>{"hlm|nhh|xss"}));

    if (byName) return; // a new name would be a new record
    ImportTables renamed({"key", "name"});
    renamed.map(key, "key");
    renamed.map("Name", "name");
    renamed.row({"K1", "围城"});
    r = UpsertByKey(DMData->ADOConnection1, table, key, &renamed.source, &renamed.mapping, true);
    EXPECT_EQ(r.Updated, 1);
    EXPECT_EQ(Rows("select Name, Py, Wbh, Wb from " + table), (std::vector<std::string>{"围城|wc|sh|lf"}));
}

INSTANTIATE_TEST_SUITE_P(Targets, ImportCodes,
                         ::testing::Values(CodeTarget{"books", "Bookinfo", "Code"},
                                           CodeTarget{"preCatalogue", "BookinfoPre", "Name"},
                                           CodeTarget{"readers", "Readerinfo", "Code"},
                                           CodeTarget{"periodicals", "Magzinfo", "Code"}),
                         RowName());

} // namespace
