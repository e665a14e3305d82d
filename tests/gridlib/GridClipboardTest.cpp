// The grid's selection as text, CSV, RTF and the "VCLDBIF" block, byte by
// byte; the clipboard holding all four; pasting text with any line end and
// "VCLDBIF" blocks, damaged ones refused with the format error; cutting
// records after the question.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "Clipbrd.h"
#include "TestKit.h"
#include "gridlib/GridFixture.h"
#include "gridlib/data/DBGridEhImpExp.h"

namespace {

std::string bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s += char(c);
    return s;
}

// Selects the rectangle of data columns c0..c1 over records r0..r1 (1-based).
void selectRectangle(GridForm& f, int c0, int r0, int c1, int r1) {
    f.ds->SetRecNo(r0);
    TBookmark top = f.ds->GetBookmark();
    f.ds->SetRecNo(r1);
    TBookmark bottom = f.ds->GetBookmark();
    f.grid->Selection()->Rect()->Select(c0, top, false);
    f.grid->Selection()->Rect()->Select(c1, bottom, true);
    ASSERT_EQ(f.grid->Selection()->Kind(), gstRectangle);
}

struct ClipboardGrid : public ::testing::Test {
    GridForm f{6};
    TSeamScript script;
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        f.queryColumns();
        TDBGridOptions o = f.grid->Options();
        o << dgMultiSelect;
        f.grid->SetOptions(o);
    }
};

TEST_F(ClipboardGrid, rectangleAsTextAndCsvWithTitlesAndTheFooterRow) {
    selectRectangle(f, 0, 2, 1, 4);
    f.grid->Columns()->Items(1)->Title()->SetCaption("名\"称\"");
    EXPECT_EQ(ExportGridToString<TDBGridEhExportAsText>(f.grid, false),
              "图书编号\t名\"称\"\r\nB002\t图书2\r\nB003\t图书3\r\nB004\t图书4\r\n合计\t");
    EXPECT_EQ(ExportGridToString<TDBGridEhExportAsCSV>(f.grid, false),
              "\"图书编号\";\"名\"\"称\"\"\"\r\n\"B002\";\"图书2\"\r\n\"B003\";\"图书3\"\r\n\"B004\";\"图书4\"\r\n"
              "\"合计\";\"\"");
}

TEST_F(ClipboardGrid, sumsOverSelectedRecordsTotalOnlyThoseRecords) {
    ShowAndActivate(&f.form);
    for (int rec : {2, 4}) {
        TRect r = f.grid->CellRect(0, rec); // the indicator selects records
        SendMouseDown(f.grid, r.Left + 5, r.Top + 5, mbLeft, TShiftState{ssCtrl});
        SendMouseUp(f.grid, r.Left + 5, r.Top + 5, mbLeft, TShiftState{ssCtrl});
    }
    ASSERT_EQ(f.grid->Selection()->Kind(), gstRecordBookmarks);
    ASSERT_EQ(f.grid->SelectedRows()->Count(), 2);
    std::string text = ExportGridToString<TDBGridEhExportAsText>(f.grid, false);
    EXPECT_EQ(text, "图书编号\t名称\t数量\t金额\r\nB002\t图书2\t2\t￥2.50\r\nB004\t图书4\t4\t￥5.00\r\n合计\t\t6\t￥7.50");
}

// A tab or line end inside a cell would split the table in other programs.
TEST_F(ClipboardGrid, tabsAndLineEndsInsideCellsBecomeSpacesInText) {
    f.ds->SetRecNo(1);
    f.ds->Edit();
    f.ds->FieldByName("BookName")->SetAsString("上\t下\r\n册");
    f.ds->Post();
    selectRectangle(f, 1, 1, 1, 2);
    std::string t = ExportGridToString<TDBGridEhExportAsText>(f.grid, false);
    EXPECT_EQ(t.substr(0, t.find("\r\n图书2")), "名称\r\n上 下  册");
}

TEST(GridVcldbif, headerValuesAndEndTagByteForByte) {
    GridForm f(0);
    f.grid->SetEnabled(false);
    for (const char* n : {"Code", "BookQty"}) f.grid->Columns()->Add()->SetFieldName(n);
    f.grid->SetEnabled(true);
    EXPECT_EQ(ExportGridToString<TDBGridEhExportAsVCLDBIF>(f.grid, true),
              std::string("VCLDBIF") + bytes({1, 2, 0, 0, 0, 1, 0, 1, 0, 0}));
    f.ds->Append();
    f.ds->FieldByName("Code")->SetAsString("ab");
    f.ds->FieldByName("BookQty")->SetAsInteger(7);
    f.ds->Post();
    f.ds->Append();
    f.ds->FieldByName("Code")->SetAsString("书");
    f.ds->Post();
    EXPECT_EQ(ExportGridToString<TDBGridEhExportAsVCLDBIF>(f.grid, true),
              std::string("VCLDBIF") + bytes({1, 2, 0, 0, 0, 1, 0, 1, 0,        // header
                                              5, 2, 0, 0, 0, 'a', 'b', 3, 7, 0, 0, 0, // record 1
                                              5, 2, 0, 0, 0, 0xCA, 0xE9, 2,            // "书" in GBK, null
                                              0}));
}

TEST(GridVcldbif, damagedBlocksAreRefusedWithTheFormatError) {
    const std::string head = "VCLDBIF\x01";
    struct Row {
        const char* name;
        std::string block;
    } rows[] = {
        {"too short for the header", "VCLDBIF\x01\x01"},
        {"wrong signature", std::string("VCLDBIX\x01") + bytes({1, 0, 0, 0, 1, 0, 0})},
        {"no columns", head + bytes({0, 0, 0, 0, 0})},
        {"negative column count", head + bytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0})},
        {"more columns than bytes", head + bytes({0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0})},
        {"unended column name", head + bytes({1, 0, 0, 0, 1, 'a', 'b'})},
        {"negative string length", head + bytes({1, 0, 0, 0, 1, 0, 5, 0xFE, 0xFF, 0xFF, 0xFF, 'x', 0})},
        {"string past the end", head + bytes({1, 0, 0, 0, 1, 0, 5, 9, 0, 0, 0, 'x', 0})},
        {"cut integer", head + bytes({1, 0, 0, 0, 1, 0, 3, 7, 0})},
        {"no end tag", head + bytes({1, 0, 0, 0, 1, 0, 2})},
    };
    for (const Row& r : rows) {
        GridForm f(3);
        f.grid->SetEnabled(false);
        f.grid->Columns()->Add()->SetFieldName("Code");
        f.grid->SetEnabled(true);
        f.grid->SetAllowedOperations({alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh});
        f.ds->Last();
        f.ds->Append(); // inserting: every record of the block becomes a new one
        try {
            ImportIntoGrid<TDBGridEhImportAsVCLDBIF>(f.grid, r.block, false);
            ADD_FAILURE() << r.name << ": no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, "TDBGridEhImportAsVCLDBIF.ReadPrefix: Invalid VCLDBIF format") << r.name;
        }
        f.ds->Cancel();
        EXPECT_LE(f.ds->RecordCount(), 4) << r.name;
    }
}

TEST(GridVcldbif, aBlockPastedIntoFewerColumnsSkipsTheRestAndNullClears) {
    GridForm f(4);
    f.grid->SetEnabled(false);
    for (const char* n : {"Code", "BookName"}) f.grid->Columns()->Add()->SetFieldName(n);
    f.grid->SetEnabled(true);
    // Three columns per record: a string, a null, an integer; then version 2.
    std::string block = std::string("VCLDBIF") + bytes({2, 3, 0, 0, 0, 1, 0, 1, 0, 1, 0,
                                                        5, 2, 0, 0, 0, 'X', '1', 2, 3, 9, 0, 0, 0,
                                                        5, 2, 0, 0, 0, 'X', '2', 1, 3, 9, 0, 0, 0, 0});
    f.ds->SetRecNo(2);
    f.grid->SetSelectedIndex(0);
    ImportIntoGrid<TDBGridEhImportAsVCLDBIF>(f.grid, block, false);
    f.ds->SetRecNo(2);
    EXPECT_EQ(f.ds->FieldByName("Code")->AsString(), "X1");
    EXPECT_TRUE(f.ds->FieldByName("BookName")->IsNull());
    EXPECT_EQ(f.ds->FieldByName("BookQty")->AsInteger(), 2); // the third value had no column
    f.ds->SetRecNo(3);
    EXPECT_EQ(f.ds->FieldByName("Code")->AsString(), "X2");
    EXPECT_EQ(f.ds->FieldByName("BookName")->AsString(), "图书3"); // unassigned: left alone
}

struct LineEndRow {
    const char* name;
    const char* eol;
};

class GridTextPaste : public ::testing::TestWithParam<LineEndRow> {};

TEST_P(GridTextPaste, everyLineEndSeparatesRecords) {
    GridForm f(10);
    f.grid->SetEnabled(false);
    for (const char* n : {"Code", "BookName", "BookQty", "BookSum"}) f.grid->Columns()->Add()->SetFieldName(n);
    f.grid->SetEnabled(true);
    std::string eol = GetParam().eol;
    std::string text = "新1\t7\t1.5\tsurplus" + eol + "新2" + eol;
    f.ds->SetRecNo(5);
    f.grid->SetSelectedIndex(1);
    ImportIntoGrid<TDBGridEhImportAsText>(f.grid, text, false);
    f.ds->SetRecNo(5);
    EXPECT_EQ(f.ds->FieldByName("Code")->AsString(), "B005");
    EXPECT_EQ(f.ds->FieldByName("BookName")->AsString(), "新1");
    EXPECT_EQ(f.ds->FieldByName("BookQty")->AsInteger(), 7);
    EXPECT_EQ(f.ds->FieldByName("BookSum")->AsCurrency(), Currency::FromRaw(15000));
    f.ds->SetRecNo(6);
    EXPECT_EQ(f.ds->FieldByName("BookName")->AsString(), "新2");
    EXPECT_EQ(f.ds->FieldByName("BookQty")->AsInteger(), 6); // a missing cell is left alone
    EXPECT_EQ(f.ds->RecordCount(), 10);
}

INSTANTIATE_TEST_SUITE_P(LineEnds, GridTextPaste,
                         ::testing::Values(LineEndRow{"CRLF", "\r\n"}, LineEndRow{"LF", "\n"},
                                           LineEndRow{"CR", "\r"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridTextPasteAppend, theLastRecordAppendsTheRestWhenAllowed) {
    GridForm f(3);
    f.grid->SetEnabled(false);
    f.grid->Columns()->Add()->SetFieldName("Code");
    f.grid->SetEnabled(true);
    f.grid->SetAllowedOperations({alopUpdateEh, alopAppendEh});
    f.ds->Last();
    ImportIntoGrid<TDBGridEhImportAsText>(f.grid, "L1\nL2\nL3", false);
    EXPECT_EQ(f.ds->RecordCount(), 5);
    f.ds->SetRecNo(3);
    EXPECT_EQ(f.ds->FieldByName("Code")->AsString(), "L1");
    f.ds->Last();
    EXPECT_EQ(f.ds->FieldByName("Code")->AsString(), "L3");
}

TEST_F(ClipboardGrid, copyPutsFourFormatsAndPastePrefersTheBlock) {
    selectRectangle(f, 0, 1, 1, 2);
    CopyGridToClipboard(f.grid, false);
    TClipboard* cb = Clipboard();
    EXPECT_EQ(cb->AsText(), "图书编号\t名称\r\nB001\t图书1\r\nB002\t图书2\r\n合计\t");
    std::vector<unsigned char> csv = cb->GetBuffer("Csv");
    ASSERT_FALSE(csv.empty());
    EXPECT_EQ(csv.back(), 0);
    std::vector<unsigned char> rtf = cb->GetBuffer("Rich Text Format");
    ASSERT_FALSE(rtf.empty());
    EXPECT_EQ(rtf.back(), 0);
    std::vector<unsigned char> block = cb->GetBuffer("VCLDBIF");
    ASSERT_GE(block.size(), 12u);
    EXPECT_EQ(block.back(), 0); // the end tag, with no extra zero
    EXPECT_EQ(std::string(block.begin(), block.begin() + 7), "VCLDBIF");
    // Paste onto records 5 and 6 from the block, not from the text.
    f.grid->Selection()->Clear();
    f.ds->SetRecNo(5);
    f.grid->SetSelectedIndex(0);
    PasteGridFromClipboard(f.grid, false);
    f.ds->SetRecNo(5);
    EXPECT_EQ(f.ds->FieldByName("Code")->AsString(), "B001");
    EXPECT_EQ(f.ds->FieldByName("BookName")->AsString(), "图书1");
    f.ds->SetRecNo(6);
    EXPECT_EQ(f.ds->FieldByName("Code")->AsString(), "B002");
    f.ds->SetRecNo(7);
    EXPECT_NE(f.ds->FieldByName("Code")->AsString(), "合计"); // the footer travels only as text
}

TEST_F(ClipboardGrid, cuttingSelectedRecordsAsksOnceAndCancelKeepsThem) {
    f.grid->SetEditActions({geaCutEh, geaCopyEh});
    ShowAndActivate(&f.form);
    for (int rec : {1, 2, 3}) {
        TRect r = f.grid->CellRect(0, rec); // the indicator selects records
        SendMouseDown(f.grid, r.Left + 5, r.Top + 5, mbLeft, TShiftState{ssCtrl});
        SendMouseUp(f.grid, r.Left + 5, r.Top + 5, mbLeft, TShiftState{ssCtrl});
    }
    ASSERT_EQ(f.grid->SelectedRows()->Count(), 3);
    script.ExpectMessage("Delete all selected records?", mrCancel);
    SendKey(f.grid, 'X', TShiftState{ssCtrl});
    EXPECT_EQ(f.ds->RecordCount(), 6);
    EXPECT_NE(Clipboard()->AsText().find("B003"), std::string::npos); // copied all the same
    script.ExpectMessage("Delete all selected records?", mrOk);
    SendKey(f.grid, 'X', TShiftState{ssCtrl});
    EXPECT_EQ(f.ds->RecordCount(), 3);
    f.ds->First();
    EXPECT_EQ(f.ds->FieldByName("Code")->AsString(), "B004");
}

TEST(GridRtf, edgesWordsAndEscapedText) {
    GridForm f(2);
    f.grid->SetEnabled(false);
    for (const char* n : {"Code", "BookName"}) f.grid->Columns()->Add()->SetFieldName(n);
    f.grid->Columns()->Items(0)->SetWidth(96);
    f.grid->Columns()->Items(1)->SetWidth(50);
    TFont* font = f.grid->Columns()->Items(1)->Font();
    font->SetSize(9);
    font->SetStyle(TFontStyles{fsBold});
    font->SetColor(clRed);
    f.grid->Columns()->Items(1)->SetColor(clWhite);
    f.grid->SetEnabled(true);
    f.ds->First();
    f.ds->Edit();
    f.ds->FieldByName("BookName")->SetAsString("书{a}\\b");
    f.ds->Post();
    std::string rtf = ExportGridToString<TDBGridEhExportAsRTF>(f.grid, true);
    EXPECT_EQ(rtf.rfind("{\\rtf0\\ansi", 0), 0u);
    EXPECT_NE(rtf.find("\\red0\\green0\\blue0;\\red255\\green255\\blue255;"), std::string::npos);
    EXPECT_NE(rtf.find("\\cellx1440\r\n"), std::string::npos);
    EXPECT_NE(rtf.find("\\cellx2190\r\n"), std::string::npos);
    // Braces and backslashes escaped, Chinese as a Unicode escape.
    EXPECT_NE(rtf.find("\\fs18\\b\\f0\\cf3\\cb1 \\u20070"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\{a\\}\\\\b\\cell}"), std::string::npos);
    EXPECT_EQ(rtf.back(), '}');
    // Nothing selected: still a whole document.
    std::string empty = ExportGridToString<TDBGridEhExportAsRTF>(f.grid, false);
    EXPECT_EQ(empty.rfind("{\\rtf0\\ansi", 0), 0u);
    EXPECT_EQ(empty.back(), '}');
    EXPECT_EQ(empty.find("\\trowd"), std::string::npos);
}

// The borders each cell of the n-th table row declares ("ltbr" letters),
// and the texts of its cells.
struct RtfRow {
    std::vector<std::string> borders, texts;
};
RtfRow rtfRow(const std::string& rtf, int n) {
    size_t at = 0;
    for (int i = 0; i <= n; ++i) at = rtf.find("\\trowd", at + 1);
    const size_t body = rtf.find("{\\trrh0", at), end = rtf.find("\\row}", body);
    RtfRow row;
    for (size_t p = at, q; (q = rtf.find("\\cellx", p)) < body; p = q + 1) {
        const std::string def = rtf.substr(p, q - p);
        std::string b;
        for (const char* w : {"\\clbrdrl", "\\clbrdrt", "\\clbrdrb", "\\clbrdrr"})
            if (def.find(w) != std::string::npos) b += w[7];
        row.borders.push_back(b);
    }
    for (size_t p = body, q; (q = rtf.find("\\cell}", p)) < end; p = q + 1) {
        const size_t space = rtf.rfind(' ', q);
        row.texts.push_back(space != std::string::npos && space > p ? rtf.substr(space + 1, q - space - 1) : "");
    }
    return row;
}

TEST(GridRtf, multiLevelTitlesMergeTheirGroupsAndTheirTallCells) {
    GridForm f(2);
    f.grid->SetEnabled(false);
    f.grid->SetUseMultiTitle(true);
    for (const char* n : {"Code", "BookName", "Code"}) f.grid->Columns()->Add()->SetFieldName(n);
    f.grid->Columns()->Items(0)->Title()->SetCaption("Book|Code");
    f.grid->Columns()->Items(1)->Title()->SetCaption("Book|Name");
    f.grid->Columns()->Items(2)->Title()->SetCaption("Shelf");
    f.grid->SetEnabled(true);
    const std::string rtf = ExportGridToString<TDBGridEhExportAsRTF>(f.grid, true);
    // Two title rows, then the two records.
    size_t rows = 0;
    for (size_t p = rtf.find("\\trowd"); p != std::string::npos; p = rtf.find("\\trowd", p + 1)) ++rows;
    EXPECT_EQ(rows, 4u);
    const RtfRow top = rtfRow(rtf, 0), leaves = rtfRow(rtf, 1);
    // The group once, in its left cell, with no border inside it; the
    // single-level title fills both levels with no border between them.
    EXPECT_EQ(top.texts, (std::vector<std::string>{"Book", "", "Shelf"}));
    EXPECT_EQ(top.borders, (std::vector<std::string>{"ltb", "tbr", "ltr"}));
    EXPECT_EQ(leaves.texts, (std::vector<std::string>{"Code", "Name", ""}));
    EXPECT_EQ(leaves.borders, (std::vector<std::string>{"ltbr", "ltbr", "lbr"}));
}

} // namespace
