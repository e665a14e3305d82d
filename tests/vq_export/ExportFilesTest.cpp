// Each exporter's file, written from the same list and read back by a
// reader that is not ours: the workbook by openpyxl, the dBase table by
// shapelib, text and HTML as GBK bytes. The files of the first test stay in
// build/test-output/exports/ with an index.tsv, to be looked at.
#include <gtest/gtest.h>

#include <fstream>

#include <shapefil.h>

#include "ExportFixture.h"
#include "Gbk.h"
#include "support/TestNames.h"
#include "vq/export/VQDBTrans.h"
#include "vq/export/VQExcelExport.h"
#include "vq/export/VQWordExport.h"

namespace {

const char* kReadWorkbook = R"PY(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
print("dims", ws.max_row, ws.max_column)
for row in ws.iter_rows():
    for c in row:
        v = c.value
        t = type(v).__name__
        if t == "datetime": v = v.strftime("%Y-%m-%d")
        fill = c.fill.fgColor.rgb if c.fill and c.fill.fill_type == "solid" else "-"
        print(c.coordinate, repr(v), t, "bold" if c.font.b else "-", fill, c.number_format,
              "thin" if c.border.left.style == "thin" else "-", int(c.font.sz or 0), c.font.color.rgb if c.font.color else "-")
for k, d in sorted(ws.column_dimensions.items()):
    print("width", k, d.width)
)PY";

// The text of an RTF file as a word processor reads it (tests/support).
std::string RunRtfReader(const std::string& file, const std::string& mode) {
    const std::string cmd = "python3 " SOURCE_DIR "/tests/support/rtf_text.py '" + file + "' " + mode;
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

bool Has(const std::string& out, const std::string& line) { return out.find(line) != std::string::npos; }

TEST(ExportFiles, oneOfEachFormatReadsBackWithOtherReaders) {
    auto t = ListTable();
    const TVQExportSource src = ListSource(t.get());
    const std::string dir = OutputDir("exports");

    WriteExcelWorkbook(src, dir + "/list.xlsx", false);
    const std::string x = RunPython(kReadWorkbook, dir + "/list.xlsx");
    EXPECT_TRUE(Has(x, "dims 4 7")) << x;
    EXPECT_TRUE(Has(x, "A1 '书名' str bold FFC0C0C0 General")) << x;
    EXPECT_TRUE(Has(x, "A2 '红楼梦' str - - @")) << x;
    // A text beginning with "=" stays a text: no formula reaches the file.
    EXPECT_TRUE(Has(x, "B2 '=1+1' str - - @")) << x;
    EXPECT_TRUE(Has(x, "C2 1234.5 float - - #,##0.00_ ")) << x;
    EXPECT_TRUE(Has(x, "D2 12.34 float - - General")) << x;
    EXPECT_TRUE(Has(x, "E2 '2025-12-09' datetime - - yyyy-mm-dd")) << x;
    EXPECT_TRUE(Has(x, "F2 True bool")) << x;
    EXPECT_TRUE(Has(x, "G2 None NoneType")) << x;
    EXPECT_TRUE(Has(x, "B3 None NoneType")) << x;
    EXPECT_TRUE(Has(x, "A3 '说\"文\"解字' str")) << x;
    // Pixels / 6: 130 pixels give 21 characters.
    EXPECT_TRUE(Has(x, "width A 21")) << x;
    EXPECT_EQ(t->RecNo(), 1);

    // A side file left by an older export with blobs goes: its bytes would
    // not match this text.
    std::ofstream(dir + "/list.mem") << "stale";
    EXPECT_EQ(DataSetToTextFile(nullptr, src, dir + "/list"), dir + "/list.txt");
    const std::string txt = ReadFile(dir + "/list.txt");
    EXPECT_EQ(GbkToUtf8(txt), "\"红楼梦\"\t\"=1+1\"\t\"1234.5\"\t\"12.34\"\t\"2025-12-09\"\t\"True\"\t\"\"\r\n"
                              "\"说\"\"文\"\"解字\"\t\"\"\t\"7.25\"\t\"0.0005\"\t\"2025-12-10\"\t\"False\"\t\"\"\r\n"
                              "\"A&<b>\"\t\"a\"\"b\"\t\"\"\t\"\"\t\"\"\t\"False\"\t\"\"\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir + "/list.mem"));

    DataSetToHTMLFile(nullptr, src, dir + "/list.html");
    const std::string html = GbkToUtf8(ReadFile(dir + "/list.html"));
    EXPECT_TRUE(Has(html, "charset=gbk")) << html;
    EXPECT_TRUE(Has(html, "<table border = \"1\" rows = \"3\" bordercolor=\"#000000\" cellspacing=\"0\" "
                          "cellpadding=\"2\">\r\n<tr>\r\n<th  >书名 </th>\r\n"))
        << html;
    EXPECT_TRUE(Has(html, "<td nowrap  >说&quot;文&quot;解字 </td>")) << html;
    EXPECT_TRUE(Has(html, "<td nowrap  >A&amp;&lt;b&gt; </td>")) << html;
    EXPECT_TRUE(Has(html, "<td nowrap  >&nbsp; </td>")) << html;
    EXPECT_TRUE(Has(html, "<td nowrap  >￥12.34 </td>")) << html;
    const std::string decoded =
        RunPython("import sys\nprint(open(sys.argv[1], encoding='gbk').read().count('<tr>'))\n", dir + "/list.html");
    EXPECT_EQ(decoded, "4\n");

    TVQDataSetToDBF dbf;
    dbf.DataSet = t.get();
    dbf.ExportToFile(dir + "/list.dbf");
    const std::string bytes = ReadFile(dir + "/list.dbf");
    ASSERT_GT(bytes.size(), 32u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[29]), 0x7A); // GBK language driver
    DBFHandle h = DBFOpen((dir + "/list.dbf").c_str(), "rb");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(DBFGetRecordCount(h), 3);
    ASSERT_EQ(DBFGetFieldCount(h), 7); // every field, the hidden Code too
    char name[12];
    int w, d;
    EXPECT_EQ(DBFGetFieldInfo(h, 1, name, &w, &d), FTString);
    EXPECT_STREQ(name, "Code");
    EXPECT_EQ(GbkToUtf8(DBFReadStringAttribute(h, 1, 0)), "说\"文\"解字");
    EXPECT_STREQ(DBFReadStringAttribute(h, 0, 1), "0012");
    EXPECT_STREQ(DBFReadStringAttribute(h, 0, 4), "12.3400");
    EXPECT_STREQ(DBFReadStringAttribute(h, 0, 5), "20251209");
    EXPECT_STREQ(DBFReadLogicalAttribute(h, 0, 6), "T");
    EXPECT_TRUE(DBFIsAttributeNULL(h, 2, 5));
    DBFClose(h);

    {
        const std::string rtf = GridRtfDocument(src, "", "");
        std::ofstream(dir + "/list.rtf", std::ios::binary | std::ios::trunc) << rtf;
    }
    // The title row, then one row per record: a 4 x 7 table, Booleans as
    // 是/否, an empty cell as nothing between its tabs.
    const std::string table = "书名\t备注\t价格\t金额\t登记日期\t在借\t无字段\t\n"
                              "红楼梦\t=1+1\t1234.5\t12.34\t2025-12-09\t是\t\t\n"
                              "说\"文\"解字\t\t7.25\t0.0005\t2025-12-10\t否\t\t\n"
                              "A&<b>\ta\"b\t\t\t\t否\t\t\n";
    EXPECT_EQ(RunRtfReader(dir + "/list.rtf", "unicode"), table + "\n");
    EXPECT_EQ(RunRtfReader(dir + "/list.rtf", "legacy"), table + "\n");

    std::ofstream index(dir + "/index.tsv", std::ios::trunc);
    index << "file\tformat\trows\tcolumns\n"
          << "list.xlsx\txlsx\t3\t7\n"
          << "list.txt\ttext\t3\t7\n"
          << "list.html\thtml\t3\t7\n"
          << "list.dbf\tdbf\t3\t7\n"
          << "list.rtf\trtf\t3\t7\n";
}

struct LetterRow {
    const char* name;
    int column;
    const char* letters;
};

class ExcelLetters : public ::testing::TestWithParam<LetterRow> {};

TEST_P(ExcelLetters, namesEveryColumnOfASheet) { EXPECT_EQ(ExcelColumnLetter(GetParam().column), GetParam().letters); }

INSTANTIATE_TEST_SUITE_P(Rows, ExcelLetters,
                         ::testing::Values(LetterRow{"first", 1, "A"}, LetterRow{"lastSingle", 26, "Z"},
                                           LetterRow{"firstDouble", 27, "AA"}, LetterRow{"column156", 156, "EZ"},
                                           LetterRow{"pastTheOld156Limit", 157, "FA"},
                                           LetterRow{"lastOfSheet", 16384, "XFD"}, LetterRow{"none", 0, ""}),
                         RowName());

// The export window's framed workbook over more than 156 columns: every
// cell of the range has its thin lines, and only A1 has the 12-point font.
TEST(ExcelExport, framesMoreThan156Columns) {
    TVqMemTable t(nullptr);
    t.FieldDefs().Add("N", ftInteger);
    t.Open();
    t.Append();
    t.FieldByName("N")->SetAsInteger(7);
    t.Post();
    TVQExportSource src;
    src.DataSet = &t;
    for (int i = 0; i < 200; ++i) src.Columns.push_back({"列" + std::to_string(i + 1), t.FieldByName("N"), 64});
    const std::string file = OutputDir("exports") + "/wide.xlsx";
    WriteExcelWorkbook(src, file, true);
    const std::string x = RunPython(kReadWorkbook, file);
    EXPECT_TRUE(Has(x, "dims 2 200")) << x.substr(0, 300);
    EXPECT_TRUE(Has(x, "GR2 7 int - - General thin")) << x.substr(0, 300);
    EXPECT_TRUE(Has(x, "A1 '列1' str bold FFC0C0C0 General thin 12")) << x.substr(0, 300);
    EXPECT_TRUE(Has(x, "B1 '列2' str bold FFC0C0C0 General thin 11")) << x.substr(0, 300);
}

struct MarkRow {
    const char* name;
    int verquil;
    const char* expected; // bold, fill, font colour of the row's cell
};

class ExcelMarks : public ::testing::TestWithParam<MarkRow> {};

TEST_P(ExcelMarks, markRowsByVerquilId) {
    TVqMemTable t(nullptr);
    t.FieldDefs().Add("Name", ftString, 10);
    t.FieldDefs().Add("VERQUILID", ftInteger);
    t.Open();
    t.Append();
    t.FieldByName("Name")->SetAsString("x");
    t.FieldByName("VERQUILID")->SetAsInteger(GetParam().verquil);
    t.Post();
    TVQExportSource src{&t, {{"名", t.FieldByName("Name"), 64}}};
    const std::string file = OutputDir("exports") + "/mark-" + GetParam().name + ".xlsx";
    WriteExcelWorkbook(src, file, false);
    const std::string x = RunPython(kReadWorkbook, file);
    EXPECT_TRUE(Has(x, std::string("A2 'x' str ") + GetParam().expected)) << x;
}

INSTANTIATE_TEST_SUITE_P(Rows, ExcelMarks,
                         ::testing::Values(MarkRow{"belowThreePlain", 2, "- - @"},
                                           MarkRow{"threeBoldFilledBlue", 3, "bold FF00CCFF @ - 11 FF0000FF"},
                                           MarkRow{"aboveThreeBoldOnly", 4, "bold - @"}),
                         RowName());

TEST(WordExport, headingAndFooterFrameTheTableAndTheRecordStays) {
    auto t = ListTable();
    t->SetRecNo(2);
    TVQExportSource src{t.get(), {{"书名", t->FieldByName("BookName"), 100}, {"在借", t->FieldByName("OnLoan"), 40}}};
    const std::string file = OutputDir("exports") + "/heading.rtf";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << GridRtfDocument(src, "图书{清单}", "共3种");
    EXPECT_EQ(t->RecNo(), 2);
    EXPECT_EQ(RunRtfReader(file, "unicode"),
              "图书{清单}\n书名\t在借\t\n红楼梦\t是\t\n说\"文\"解字\t否\t\nA&<b>\t否\t\n\n共3种\n");
}

TEST(WordExport, closedDataSetIsRefused) {
    TVqMemTable t(nullptr);
    t.FieldDefs().Add("N", ftInteger);
    TVQExportSource src{&t, {{"N", nullptr, 40}}};
    EXPECT_THROW(GridRtfDocument(src, "", ""), EVQExportError);
}

// Long names that agree in their first ten bytes get distinct names; a
// picture cannot go into a dBase table and is left out with a warning, a
// memo goes as 254 bytes of text.
TEST(DbfExport, namesStayUniqueAndPicturesAreLeftOut) {
    TVqMemTable t(nullptr);
    t.FieldDefs().Add("BookNameLongA", ftString, 10);
    t.FieldDefs().Add("BookNameLongB", ftString, 10);
    t.FieldDefs().Add("PhotoBmp", ftGraphic);
    t.FieldDefs().Add("Remark", ftMemo);
    t.Open();
    t.Append();
    t.FieldByName("BookNameLongA")->SetAsString("甲");
    t.FieldByName("BookNameLongB")->SetAsString("乙");
    t.FieldByName("Remark")->SetAsString("备注");
    t.Post();
    const std::string file = OutputDir("exports") + "/names.dbf";
    TVQDataSetToDBF dbf;
    dbf.DataSet = &t;
    dbf.ExportToFile(file);
    EXPECT_EQ(dbf.Warnings, (std::vector<std::string>{"PhotoBmp: 图形或二进制字段不能导出", "Remark: 备注字段按 254 字节文本导出"}));
    DBFHandle h = DBFOpen(file.c_str(), "rb");
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(DBFGetFieldCount(h), 3);
    char a[12], b[12], m[12];
    int w, d;
    DBFGetFieldInfo(h, 0, a, &w, &d);
    DBFGetFieldInfo(h, 1, b, &w, &d);
    EXPECT_EQ(DBFGetFieldInfo(h, 2, m, &w, &d), FTString);
    EXPECT_EQ(w, 254);
    EXPECT_STRNE(a, b);
    EXPECT_EQ(GbkToUtf8(DBFReadStringAttribute(h, 0, 1)), "乙");
    EXPECT_EQ(GbkToUtf8(DBFReadStringAttribute(h, 0, 2)), "备注");
    DBFClose(h);

    // A failed export leaves the earlier file as it was.
    const std::string before = ReadFile(file);
    t.Close();
    EXPECT_THROW(dbf.ExportToFile(file), EVQExportError);
    EXPECT_EQ(ReadFile(file), before);
}

// Blob fields: the text carries each record's byte count and the side
// file the bytes, one record after another; an empty blob writes nothing.
TEST(TextExport, blobBytesGoToTheSideFileAndTheTextCarriesTheirCounts) {
    TVqMemTable t(nullptr);
    t.FieldDefs().Add("Code", ftString, 10);
    t.FieldDefs().Add("Pic", ftBlob);
    t.Open();
    for (auto [code, bytes] : {std::pair{"A", "abc"}, std::pair{"B", ""}, std::pair{"C", "Z\x01\x02"}}) {
        t.Append();
        t.FieldByName("Code")->SetAsString(code);
        if (*bytes) t.FieldByName("Pic")->SetAsString(bytes);
        t.Post();
    }
    TVQExportSource src;
    src.DataSet = &t;
    src.Columns = {{"编号", t.FieldByName("Code"), 60}, {"图片", t.FieldByName("Pic"), 60}};
    const std::string dir = OutputDir("exports");
    const std::string name = dir + "/blobs.txt";
    DataSetToTextFile(nullptr, src, name);
    EXPECT_EQ(ReadFile(name), "\"A\"\t\"3\"\r\n\"B\"\t\"0\"\r\n\"C\"\t\"3\"\r\n");
    EXPECT_EQ(ReadFile(dir + "/blobs.mem"), std::string("abcZ\x01\x02"));
    // Without blob bytes the next export leaves no side file behind.
    t.First();
    while (!t.Eof()) {
        t.Edit();
        t.FieldByName("Pic")->Clear();
        t.Post();
        t.Next();
    }
    DataSetToTextFile(nullptr, src, name);
    EXPECT_FALSE(std::filesystem::exists(dir + "/blobs.mem"));
}

TEST(ExcelExport, failureNamesTheCauseAndLeavesNoFile) {
    auto t = ListTable();
    const std::string file = "/nonexistent-dir/x.xlsx";
    try {
        WriteExcelWorkbook(ListSource(t.get()), file, false);
        FAIL() << "no error";
    } catch (const EVQExportError& e) {
        EXPECT_NE(e.Message.find("导出Excel失败"), std::string::npos) << e.Message;
        EXPECT_NE(e.Message.find("/nonexistent-dir/x.xlsx"), std::string::npos) << e.Message;
    }
    EXPECT_FALSE(std::filesystem::exists(file));
}

} // namespace
