// The engine's numbered texts and its shared helpers: string table and
// localization, font-size names, text and number helpers, component and
// field look-up, control enabling, window positions and named pictures.
#include <gtest/gtest.h>

#include "TestKit.h"

#include "Forms.h"
#include "Registry.h"
#include "ScopeExit.h"
#include "StdCtrls.h"
#include "db/ListDataSet.h"
#include "report/model/RM_Register.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"
#include "report/preview/RM_FmtEdit.h"
#include "report/preview/RM_Preview.h"
#include "report/print/RM_PrintDialog.h"
#include "report/toolkit/RM_Common.h"

namespace {

struct TextCase {
    const char* name;
    int id;
    const char* text;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
class EngineTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(EngineTexts, loadStr) { EXPECT_EQ(RMLoadStr(GetParam().id), GetParam().text); }

const TextCase kTexts[] = {
    {"fontName", 47444, "宋体"},
    {"fontSize", 47445, "9"},
    {"charset", 47337, "134"},
    {"chineseSizes", 47483, "1"},
    {"ok", 47000, "确认"},
    {"errorCaption", 47206, "错误"},
    {"firstBandName", 47077, "标题"},
    {"lastBandName", 47099, "无"},
    {"firstPaper", 47008, "Letter, 8 1/2 x 11\""},
    {"a4Paper", 47016, "A4 210 x 297 mm"},
    {"customPaper", 47074, "自定义"},
    {"extraPaper", 47490, "16开(18.4 x 26 厘米)"},
    {"systemVariable", 47119, "总页数(需要选择'两遍报表')"},
    {"dateFormat", 47176, "yyyy'年'mm'月'dd'日'"},
    {"functionDescription", 47420, "RMRound(<Value1>, <Value2>)|四舍五入"},
    {"printDialogCaption", 45040, "打印"},
    {"dictionaryWrongFile", 47500, "不是VodidiVerovev数据字典文件!"},
    {"propertyCaption", 50001, "Active=激活"},
    {"noSuchText", 45999, ""},
};
INSTANTIATE_TEST_SUITE_P(Report, EngineTexts, ::testing::ValuesIn(kTexts),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(EngineTexts, fourTextsHaveDefaultsWhenTheTableGivesNothing) {
    ScopeExit back([] { RMGetLocale()->ResetTexts(); });
    for (int id : {47337, 47444, 47445, 47483, 47000}) RMGetLocale()->SetText(id, "");
    EXPECT_EQ(RMLoadStr(47337), "1");
    EXPECT_EQ(RMLoadStr(47444), "MS Sans Serif");
    EXPECT_EQ(RMLoadStr(47445), "8");
    EXPECT_EQ(RMLoadStr(47483), "0");
    EXPECT_EQ(RMLoadStr(47000), "");
    RMGetLocale()->SetText(47000, "OK");
    EXPECT_EQ(RMLoadStr(47000), "OK");
}

TEST(EngineTexts, setStrPropKeepsTheDesignedTextWhenThereIsNone) {
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetCaption("OK");
    RMSetStrProp(label, "Caption", 45999);
    EXPECT_EQ(label->Caption(), "OK");
    RMSetStrProp(label, "Caption", 47000);
    EXPECT_EQ(label->Caption(), "确认");
    RMSetStrProp(label, "Hint", 47001);
    EXPECT_EQ(label->Hint(), "取消");
    RMSetStrProp(&form, "Caption", 45040);
    EXPECT_EQ(form.Caption(), "打印");
}

// Replacing the table's texts replaces what the dialogs show; the status
// of a printer queue is worded from the table too.
TEST(EngineTexts, dialogsShowTheTablesTexts) {
    ScopeExit back([] { RMGetLocale()->ResetTexts(); });
    {
        TRMPrintDialogForm d(nullptr, 2, 1);
        EXPECT_EQ(d.Caption(), "打印");
        EXPECT_EQ(d.BtnOK->Caption(), "确认");
        EXPECT_EQ(d.CmbPrintAll->Items()->Strings(1), "奇数页");
        EXPECT_EQ(d.Font()->Name(), "宋体");
    }
    RMGetLocale()->SetText(45040, "Print");
    RMGetLocale()->SetText(47000, "OK");
    RMGetLocale()->SetText(45054, "Odd pages");
    RMGetLocale()->SetText(47131, "Number");
    RMGetLocale()->SetText(47444, "Arial");
    TRMPrintDialogForm d(nullptr, 2, 1);
    EXPECT_EQ(d.Caption(), "Print");
    EXPECT_EQ(d.BtnOK->Caption(), "OK");
    EXPECT_EQ(d.CmbPrintAll->Items()->Strings(1), "Odd pages");
    EXPECT_EQ(d.Font()->Name(), "Arial");
    TRMFmtForm f(nullptr);
    EXPECT_EQ(f.lstCat->Items()->Strings(1), "Number");
    EXPECT_EQ(f.btnOK->Caption(), "OK");
    RMGetLocale()->SetText(45390, "Page setup");
    RMGetLocale()->SetText(45393, "Portrait");
    TRMPageSetupForm ps(nullptr);
    EXPECT_EQ(ps.Caption(), "Page setup");
    EXPECT_EQ(ps.rdbPortrait->Caption(), "Portrait");
    EXPECT_EQ(ps.btnCancel->Caption(), "取消");
    RMGetLocale()->SetText(45000, "Find");
    TRMPreviewSearchForm sf(nullptr);
    EXPECT_EQ(sf.Caption(), "Find");
    EXPECT_EQ(sf.btnOK->Caption(), "OK");

    EXPECT_EQ(RMPrinterStatusText(16, 0), "缺纸");
    EXPECT_EQ(RMPrinterStatusText(3, 2), "打印:有2篇文档正在等待打印");
    RMGetLocale()->SetText(46856, "%d waiting");
    EXPECT_EQ(RMPrinterStatusText(0, 2), "打印:2 waiting");
}

// The designer's size box: 13 named sizes, then numbers.
struct SizeBox {
    TForm form{nullptr};
    TComboBox* box = new TComboBox(&form);
    SizeBox() {
        box->SetParent(&form);
        for (const char* n : RMChineseFontSizeNames) box->Items()->Add(n);
        for (const char* n : {"5", "6", "7", "8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26",
                              "28", "36", "48", "72"})
            box->Items()->Add(n);
    }
};

TEST(EngineFontSizes, standardSizesShowTheirChineseNames) {
    ASSERT_TRUE(RMChineseFontSizes);
    SizeBox f;
    RMSetFontSize(f.box, 12);
    EXPECT_EQ(f.box->GetText(), "小四");
    EXPECT_EQ(RMGetFontSize(f.box), 12);
    RMSetFontSize(f.box, 42);
    EXPECT_EQ(f.box->GetText(), "初号");
    EXPECT_EQ(RMGetFontSize(f.box), 42);
    RMSetFontSize(f.box, 13);
    EXPECT_EQ(f.box->GetText(), "13");
    EXPECT_EQ(f.box->ItemIndex(), -1);
    EXPECT_EQ(RMGetFontSize(f.box), 13);
    RMSetFontSize(f.box, 72);
    EXPECT_EQ(f.box->ItemIndex(), 31);
    EXPECT_EQ(RMGetFontSize(f.box), 72);
    f.box->SetItemIndex(-1);
    f.box->SetText("大号");
    EXPECT_EQ(RMGetFontSize(f.box), 0);
}

struct RemoveQuotesCase {
    const char* name;
    const char* text;
    const char* expected;
};
void PrintTo(const RemoveQuotesCase& c, std::ostream* os) { *os << c.name; }
class EngineRemoveQuotes : public ::testing::TestWithParam<RemoveQuotesCase> {};
TEST_P(EngineRemoveQuotes, removeQuotes) { EXPECT_EQ(RMRemoveQuotes(GetParam().text), GetParam().expected); }
const RemoveQuotesCase kQuotes[] = {
    {"quoted", "\"书名\"", "书名"},     {"twoQuotesAlone", "\"\"", "\"\""}, {"oneCharacter", "\"a\"", "a"},
    {"openOnly", "\"abc", "\"abc"},     {"plain", "Title", "Title"},         {"empty", "", ""},
};
INSTANTIATE_TEST_SUITE_P(Report, EngineRemoveQuotes, ::testing::ValuesIn(kQuotes),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(EngineHelpers, numbersAndTexts) {
    EXPECT_DOUBLE_EQ(RMStrToFloat(" 1,5 "), 1.5);
    EXPECT_DOUBLE_EQ(RMRound(2, 3.14159), 3.14);
    EXPECT_DOUBLE_EQ(RMRound(0, 2.5), 3);
    EXPECT_DOUBLE_EQ(RMRound(0, -2.5), -3);
    EXPECT_DOUBLE_EQ(RMRound(0, 0.3), 0);
    EXPECT_EQ(RMSplitSemicolonList("a;;b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(RMSplitSemicolonList("书名;价格;"), (std::vector<std::string>{"书名", "价格"}));
    EXPECT_TRUE(RMSplitSemicolonList("").empty());
    size_t pos = 0;
    EXPECT_EQ(RMGetNextItem("x;y", pos), "x");
    EXPECT_EQ(RMGetNextItem("x;y", pos), "y");
    EXPECT_EQ(RMReverseString("abc"), "cba");
    EXPECT_EQ(RMGetWindowsVersion(), "");
}

TEST(EngineHelpers, textHeightFollowsTheFont) {
    TFont small, large;
    small.SetName("宋体");
    small.SetSize(9);
    large.SetName("宋体");
    large.SetSize(18);
    int h = RMGetTextHeight("图书a", &small);
    EXPECT_GT(h, 8);
    EXPECT_GT(RMGetTextHeight("图书a", &large), h);
}

// A window with a query and a band data source, and another form.
struct Windows {
    TForm main{nullptr};
    TForm other{nullptr};
    TListDataSet* books = new TListDataSet(&main);
    TListDataSet* readers = new TListDataSet(&other);
    TRMDBDataSet* rmBooks = new TRMDBDataSet(&main);
    Windows() {
        main.SetName("FrmMainTest");
        other.SetName("FrmOtherTest");
        books->SetName("Books");
        books->FieldDefs().Add("Title", ftString, 40);
        books->FieldDefs().Add("A.B", ftString, 10);
        readers->SetName("Readers");
        readers->FieldDefs().Add("Name", ftString, 20);
        rmBooks->SetName("RMBooks");
        rmBooks->SetDataSet(books);
    }
};

TEST(EngineLookup, componentsOfTheOwnerByNameAndOfOtherFormsWithTheirForm) {
    Windows w;
    TStringList l;
    RMGetComponents(&w.main, [](const TComponent* c) { return dynamic_cast<const TDataSet*>(c) != nullptr; }, &l,
                    nullptr);
    std::vector<std::string> got;
    for (int i = 0; i < l.Count(); ++i) got.push_back(l.Strings(i));
    EXPECT_EQ(got, (std::vector<std::string>{"Books", "FrmOtherTest.Readers"}));
    RMGetComponents(&w.main, [](const TComponent* c) { return dynamic_cast<const TDataSet*>(c) != nullptr; }, &l,
                    w.books);
    EXPECT_EQ(l.Count(), 1);
}

struct ParseCase {
    const char* name;
    const char* text;
    bool passBooks; // the data set passed in
    const char* dataSet; // "" for none
    const char* field;
};
void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }
class EngineParseDataField : public ::testing::TestWithParam<ParseCase> {};

TEST_P(EngineParseDataField, resolves) {
    Windows w;
    const ParseCase& c = GetParam();
    TDataSet* ds = c.passBooks ? w.books : nullptr;
    std::string field = "stale";
    RMParseDataField(&w.main, c.text, ds, field);
    EXPECT_EQ(ds ? ds->Name() : std::string(), c.dataSet);
    EXPECT_EQ(field, c.field);
}
const ParseCase kParse[] = {
    {"fieldOfThePassedDataSet", "Title", true, "Books", "Title"},
    {"dataSetAndQuotedField", "Books.\"Title\"", false, "Books", "Title"},
    {"dotInsideQuotesBelongsToTheField", "Books.\"A.B\"", false, "Books", "A.B"},
    {"bandSourceStandsForItsDataSet", "RMBooks.\"Title\"", false, "Books", "Title"},
    {"formAndDataSet", "FrmOtherTest.Readers.\"Name\"", false, "Readers", "Name"},
    {"missingField", "Books.\"Author\"", false, "Books", ""},
    {"missingDataSet", "Nothing.\"Title\"", true, "", ""},
};
INSTANTIATE_TEST_SUITE_P(Report, EngineParseDataField, ::testing::ValuesIn(kParse),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(EngineLookup, findComponentLooksUnderTheCurrentReportsOwner) {
    Windows w;
    TRMReport r(&w.main);
    TRMReport* was = CurReport;
    ScopeExit back([&] { CurReport = was; });
    CurReport = &r;
    EXPECT_EQ(RMFindComponent("Books"), w.books);
    EXPECT_EQ(RMFindComponent("FrmOtherTest.Readers"), w.readers);
    CurReport = nullptr;
    EXPECT_EQ(RMFindComponent("Books"), nullptr);
}

TEST(EngineLookup, fieldValuesGiveTypedEmptyValuesForNulls) {
    TListDataSet ds(nullptr);
    ds.FieldDefs().Add("Title", ftString, 20);
    ds.FieldDefs().Add("OnLoan", ftBoolean);
    ds.FieldDefs().Add("Price", ftFloat);
    ds.AddRow({Null(), Null(), Null()});
    ds.AddRow({std::string("红楼梦"), true, 35.5});
    ds.Open();
    Variant title = RMGetFieldValue(ds.FieldByName("Title"));
    EXPECT_TRUE(VarIsStr(title) && VarToStr(title).empty());
    Variant onLoan = RMGetFieldValue(ds.FieldByName("OnLoan"));
    EXPECT_EQ(VarType(onLoan), varBoolean);
    EXPECT_EQ(VarToStr(onLoan), VarToStr(Variant(false)));
    Variant price = RMGetFieldValue(ds.FieldByName("Price"));
    EXPECT_FALSE(VarIsNull(price));
    EXPECT_EQ(VarToStr(price), "0");
    ds.Next();
    EXPECT_EQ(VarToStr(RMGetFieldValue(ds.FieldByName("Title"))), "红楼梦");
    ds.FieldByName("Price")->OnGetText = [](TField*, std::string& t, bool) { t = "￥35.50"; };
    EXPECT_EQ(VarToStr(RMGetFieldValue(ds.FieldByName("Price"))), "￥35.50");
}

TEST(EngineWindows, enablingGreysLabelsAndColoursEdits) {
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    RMEnableControls({label, edit}, false);
    EXPECT_FALSE(label->Enabled());
    EXPECT_EQ(label->Font()->Color(), clGrayText);
    EXPECT_EQ(edit->Color(), clBtnFace);
    RMEnableControls({label, edit}, true);
    EXPECT_TRUE(edit->Enabled());
    EXPECT_EQ(label->Font()->Color(), clWindowText);
    EXPECT_EQ(edit->Color(), clWindow);

    auto* group = new TGroupBox(&form);
    group->SetParent(&form);
    auto* inner = new TEdit(&form);
    inner->SetParent(group);
    RMEnableChildControls(&form, false);
    EXPECT_FALSE(inner->Enabled());
    EXPECT_EQ(inner->Color(), clInactiveBorder);
    EXPECT_FALSE(edit->Enabled());
}

class RMPositionTestForm : public TForm {
public:
    using TForm::TForm;
    std::string ClassName() const override { return "RMPositionTestForm"; }
};

TEST(EngineWindows, formPositionComesBackAndAMaximizedFormComesBackNormal) {
    std::string reg = std::string(BUILD_DIR) + "/test-output/engine-utils-registry.ini";
    remove(reg.c_str());
    SetRegistryFileForTesting(reg);
    ScopeExit back([] { SetRegistryFileForTesting(""); });
    {
        RMPositionTestForm f(nullptr);
        f.SetBounds(120, 90, 400, 300);
        RMSaveFormPosition(&f);
    }
    TRegIniFile ini(RMRegRootKey);
    EXPECT_EQ(ini.ReadInteger("Form\\RMPositionTestForm", "XPosition", -1), 120);
    EXPECT_FALSE(ini.ReadBool("Form\\RMPositionTestForm", "Maximized", true));
    RMPositionTestForm g(nullptr);
    g.SetBounds(0, 0, 200, 100);
    g.SetWindowState(wsMaximized);
    RMRestoreFormPosition(&g);
    EXPECT_EQ(g.WindowState(), wsNormal);
    EXPECT_EQ(g.BoundsRect(), TRect(120, 90, 520, 390));

    ini.WriteBool("Form\\RMPositionTestForm", "Maximized", true);
    g.SetWindowState(wsMaximized);
    RMRestoreFormPosition(&g);
    EXPECT_EQ(g.WindowState(), wsMaximized);
}

TEST(EnginePictures, namedPicturesAreDrawnAndUnknownNamesAreEmpty) {
    for (const char* n : {"RM_SCRIPT", "RM_HIGHLIGHT", "RM_PENCIL", "RM_INSPPANEL1", "RM_INSPPANEL2", "RM_FLD1",
                          "RM_FLD2", "RM_TOOLSINSFIELDS", "RM_BARCODEOBJECT", "RM_TRUETYPE_FNT", "RM_DEVICE_FNT",
                          "RM_FONTCOLOR", "RM_FILLCOLOR", "RM_LINECOLOR", "RM_HIGHLIGHTCOLOR", "RM_DROPDOWN",
                          "RM_EMPTY", "RM_BAND"}) {
        auto b = RMLoadBitmap(n);
        EXPECT_FALSE(b->Empty()) << n;
        EXPECT_EQ(b->Height(), 16) << n;
    }
    EXPECT_TRUE(RMLoadBitmap("RM_NOSUCHPICTURE")->Empty());
}

// Pixels per metre in the bitmap's header: 3780 is 96 dpi (over 39 it read
// as 97), 3937 is 100; no bitmap keeps 96.
TEST(EnginePictures, bitmapResolutionComesFromItsHeader) {
    auto withPixelsPerMetre = [](int32_t ppm) {
        TBitmap b;
        b.SetSize(2, 2);
        TMemoryStream m;
        b.SaveToStream(m);
        char* h = m.Memory();
        for (int at : {14 + 24, 14 + 28})
            for (int k = 0; k < 4; ++k) h[at + k] = char(ppm >> (8 * k));
        m.SetPosition(0);
        auto out = std::make_unique<TBitmap>();
        out->LoadFromStream(m);
        return out;
    };
    int x = 0, y = 0;
    RMGetBitmapPixelsPerInch(withPixelsPerMetre(3780).get(), x, y);
    EXPECT_EQ(x, 96);
    EXPECT_EQ(y, 96);
    RMGetBitmapPixelsPerInch(withPixelsPerMetre(3937).get(), x, y);
    EXPECT_EQ(x, 100);
    RMGetBitmapPixelsPerInch(nullptr, x, y);
    EXPECT_EQ(y, 96);
}

} // namespace
