// The design page as scripts and the inspector see it: its defaults, its
// named properties in pixels, its methods (background from a file, a new
// paper, an object's property by index) and margins that move objects.
#include <gtest/gtest.h>

#include <fstream>

#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"
#include "DesignPage.h"

namespace {

TEST(ReportPageObject, aNewPageHasTheMarginsAndDialogFormOfTheEngine) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    EXPECT_EQ(p->MarginLeft, 15000);
    EXPECT_EQ(p->MarginTop, 20000);
    EXPECT_EQ(p->MarginRight, 15000);
    EXPECT_EQ(p->MarginBottom, 20000);
    EXPECT_EQ(p->Caption, "Form");
    EXPECT_EQ(TRect(p->DlgLeft, p->DlgTop, p->DlgWidth, p->DlgHeight), TRect(220, 180, 380, 300));
    EXPECT_EQ(p->BorderStyle, 3);
    EXPECT_EQ(p->Position, 4);
    EXPECT_TRUE(p->ShowBackPicture);
}

TEST(ReportPageObject, aStoredPageKeepsItsOwnMarginsAndDialogBounds) {
    // Written with other values than a new page's: loading takes the
    // file's, whatever the defaults are.
    TRMReport a;
    TRMPage* p = a.Pages[0];
    p->MarginLeft = p->MarginTop = p->MarginRight = p->MarginBottom = 10000;
    p->DlgLeft = p->DlgTop = p->DlgWidth = p->DlgHeight = 0;
    p->Caption = "";
    TMemoryStream m;
    a.SaveToStream(m);
    m.SetPosition(0);
    TRMReport b;
    ASSERT_TRUE(b.LoadFromStream(m));
    TRMPage* q = b.Pages[0];
    EXPECT_EQ(TRect(q->MarginLeft, q->MarginTop, q->MarginRight, q->MarginBottom), TRect(10000, 10000, 10000, 10000));
    EXPECT_EQ(TRect(q->DlgLeft, q->DlgTop, q->DlgWidth, q->DlgHeight), TRect(0, 0, 0, 0));
    EXPECT_EQ(q->Caption, "");
}

TEST(ReportPageObject, propertiesByPageType) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    EXPECT_EQ(PropertyNames(*p), (std::vector<std::string>{"Type", "Visible", "Size", "Width", "Height", "LeftMargin",
                                                   "TopMargin", "RightMargin", "BottomMargin", "Orientation",
                                                   "PrintToPrevPage", "Columns", "ColumnGap", "OnBeforePrint",
                                                   "BackGround", "BackGroundLeft", "BackGroundTop", "AutoHCenter",
                                                   "PrintPagePerPage", "Objects.Count", "ShowBackPicture"}));
    const TRMPropRec* size = p->FindProperty("size");
    ASSERT_NE(size, nullptr);
    auto a4 = std::find(size->Enums.begin(), size->Enums.end(), "A4 210 x 297 mm");
    ASSERT_NE(a4, size->Enums.end());
    EXPECT_EQ(size->EnumValues[size_t(a4 - size->Enums.begin())].AsInteger(), 9);
    EXPECT_TRUE(p->FindProperty("LeftMargin")->PropType & rmdtPixels);
    EXPECT_EQ(p->FindProperty("BackGround")->Editor, &RMEditorHooks.PagePictureEditor);
    p->SetPropValue("Type", 1);
    EXPECT_EQ(PropertyNames(*p), (std::vector<std::string>{"Type", "Visible", "BorderStyle", "Caption", "Color", "Left",
                                                   "Top", "Width", "Height", "Position", "OnActivate"}));
    const TRMPropRec* border = p->FindProperty("BorderStyle");
    EXPECT_EQ(border->Enums, (std::vector<std::string>{"bsDialog", "bsSizeable"}));
    EXPECT_EQ(border->EnumValues[1].AsInteger(), 2);
}

struct PropCase {
    const char* name;
    int orientation;
    const char* prop;
    int pixels;
    int32_t TRMPage::*field; // where the value is kept
    int32_t stored;          // in thousandths of a millimetre
};
void PrintTo(const PropCase& c, std::ostream* os) { *os << c.name; }
class ReportPageLengths : public ::testing::TestWithParam<PropCase> {};

// Lengths go in and come out in pixels and are kept in thousandths of a
// millimetre; the objects stay where they are.
TEST_P(ReportPageLengths, writeAndReadInPixels) {
    const PropCase& c = GetParam();
    TRMReport r;
    TRMPage* p = r.Pages[0];
    p->Orientation = uint8_t(c.orientation);
    TRMMemoView* m = AddMemo(r, p, 40, 50, "书名", 100);
    p->SetPropValue(c.prop, c.pixels);
    EXPECT_EQ(p->*c.field, c.stored);
    EXPECT_EQ(p->GetPropValue(c.prop).AsInteger(), c.pixels);
    EXPECT_EQ(m->Left, 40);
    EXPECT_EQ(m->Top, 50);
}

const PropCase kLengths[] = {
    {"leftMargin", 0, "LeftMargin", 76, &TRMPage::MarginLeft, 20108},
    {"topMargin", 0, "TOPMARGIN", 38, &TRMPage::MarginTop, 10054},
    {"rightMargin", 0, "RightMargin", 57, &TRMPage::MarginRight, 15081},
    {"bottomMargin", 0, "BottomMargin", 19, &TRMPage::MarginBottom, 5027},
    {"columnGap", 0, "ColumnGap", 19, &TRMPage::ColumnGap, 5027},
    {"widthPortrait", 0, "Width", 400, &TRMPage::PaperWidth, 105833},
    {"heightPortrait", 0, "Height", 600, &TRMPage::PaperHeight, 158750},
    {"widthLandscapeIsTheLongSide", 1, "Width", 600, &TRMPage::PaperHeight, 158750},
    {"heightLandscape", 1, "Height", 400, &TRMPage::PaperWidth, 105833},
};
INSTANTIATE_TEST_SUITE_P(Report, ReportPageLengths, ::testing::ValuesIn(kLengths),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(ReportPageObject, dialogPageTakesItsFormBoundsByName) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    p->SetPropValue("Type", 1);
    int paperWidth = p->PaperWidth;
    p->SetPropValue("Width", 420);
    p->SetPropValue("Height", 260);
    p->SetPropValue("Left", 10);
    p->SetPropValue("Caption", "打印条件");
    EXPECT_EQ(TRect(p->DlgLeft, p->DlgTop, p->DlgWidth, p->DlgHeight), TRect(10, 180, 420, 260));
    EXPECT_EQ(p->PaperWidth, paperWidth);
    EXPECT_EQ(VarToStr(p->GetPropValue("caption")), "打印条件");
    EXPECT_EQ(p->GetPropValue("Width").AsInteger(), 420);
}

TEST(ReportPageObject, marginsWhileBuildingAreThePrintableSides) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    AddBand(r, p, bkPageFooter, 900, 30);
    TRect m = p->MarginRectPx();
    RMPreparedMode = true;
    EXPECT_EQ(p->GetPropValue("RightMargin").AsInteger(), p->PaperWidthPx() - m.Right);
    EXPECT_EQ(p->GetPropValue("BottomMargin").AsInteger(), p->PaperHeightPx() - m.Bottom - 30);
    EXPECT_EQ(p->GetPropValue("LeftMargin").AsInteger(), m.Left);
    RMPreparedMode = false;
    EXPECT_EQ(p->GetPropValue("BottomMargin").AsInteger(), m.Bottom);
    EXPECT_EQ(p->GetPropValue("Objects.Count").AsInteger(), 1);
}

TEST(ReportPageObject, printPagePerPageIsTheReportsOption) {
    TRMReport r;
    r.Pages[0]->SetPropValue("PrintPagePerPage", true);
    EXPECT_TRUE(r.PrintPagePerPage);
    EXPECT_TRUE(r.Pages[0]->GetPropValue("PrintPagePerPage").AsBoolean());
}

TEST(ReportPageObject, changePaperTakesTheSizeOfTheChosenPaper) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    p->SetPropValue("Size", 11); // A5: the code alone changes nothing yet
    EXPECT_EQ(p->PaperWidth, 210000);
    p->DoMethod("CHANGEPAPER", {});
    EXPECT_EQ(p->PaperSize, 11);
    EXPECT_EQ(p->PaperWidth, 148000);
    EXPECT_EQ(p->PaperHeight, 210000);
    // A custom size keeps the width and height it was given; bin -1 is the
    // printer's own.
    p->ChangePaper(256, 100000, 150000, -1, 1);
    EXPECT_EQ(TRect(p->PaperSize, p->PaperWidth, p->PaperHeight, p->Bin), TRect(256, 100000, 150000, 0xFFFF));
    EXPECT_EQ(p->Orientation, 1);
}

// A 2 × 1 bitmap file.
std::string tinyBmp() {
    std::string b = {'B', 'M'};
    auto le = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b += char((v >> (8 * i)) & 0xFF);
    };
    le(14 + 40 + 8, 4);
    le(0, 4);
    le(14 + 40, 4);
    le(40, 4);
    le(2, 4);
    le(1, 4);
    le(1, 2);
    le(24, 2);
    le(0, 4);
    le(8, 4);
    le(3780, 4);
    le(3780, 4);
    le(0, 4);
    le(0, 4);
    b += std::string("\x00\x00\xFF\xFF\xFF\xFF\x00\x00", 8);
    return b;
}

TEST(ReportPageObject, scriptsReachThePageByItsNumber) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    TRMMemoView* m = AddMemo(r, p, 40, 50, "书名", 100);
    std::string dir = GetTempFileName("");
    DeleteFile(dir);
    ForceDirectories(dir);
    std::string bmp = IncludeTrailingPathDelimiter(dir) + "背景.bmp";
    std::ofstream(bmp, std::ios::binary) << tinyBmp();
    r.Variables["BG"] = bmp;
    r.RunScript({"begin", "  Page1.LeftMargin := 57;", "  Page1.LoadFromFile(BG);", "  Page1.SetViewProp(0, 'Left', 60 + 5);",
                 "  W := Page1.Width;", "  N := [Page1.Objects.Count];", "  PW := PAGEWIDTH", "end"});
    EXPECT_TRUE(r.ScriptError.empty()) << r.ScriptError;
    EXPECT_EQ(p->MarginLeft, 15081);
    EXPECT_EQ(m->Left, 65);
    EXPECT_EQ(p->BackPicture.Kind, pkBitmap);
    EXPECT_EQ(p->BackGroundWidth, 2);
    EXPECT_EQ(p->BackGroundHeight, 1);
    EXPECT_EQ(VarToStr(r.Calc("W")), std::to_string(p->PaperWidthPx()));
    EXPECT_EQ(VarToStr(r.Calc("N")), "1");
    // PAGEWIDTH is the width less the right margin.
    EXPECT_EQ(VarToStr(r.Calc("PW")), std::to_string(p->PaperWidthPx() - p->MarginRectPx().Right));
    // A file that is not there empties the picture.
    r.RunScript({"Page1.LoadFromFile('" + dir + "/无此文件.bmp')"});
    EXPECT_TRUE(p->BackPicture.Empty());
    EXPECT_EQ(p->BackGroundWidth, 0);
    // An index outside the objects changes nothing; "Page9" is no page.
    r.RunScript({"begin Page1.SetViewProp(5, 'Left', 1); Page9.LeftMargin := 1 end"});
    EXPECT_EQ(m->Left, 65);
    EXPECT_EQ(p->MarginLeft, 15081);
    DeleteFile(bmp);
    RemoveDir(dir);
}

TEST(ReportPageObject, marginSettersMoveTheObjectsExceptLeftOnASubReportPage) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    TRMMemoView* m = AddMemo(r, p, 100, 100, "书名", 100);
    TRect old = p->MarginRectPx();
    p->SetLeftMargin(old.Left + 10);
    p->SetTopMargin(old.Top + 20);
    EXPECT_EQ(m->Left, 110);
    EXPECT_EQ(m->Top, 120);
    EXPECT_EQ(p->MarginRectPx().Left, old.Left + 10);
    // A page that a sub-report prints keeps its objects' left sides.
    TRMPage* sub = r.Pages.Add();
    TRMMemoView* s = AddMemo(r, sub, 100, 100, "细目", 100);
    auto* sr = static_cast<TRMSubReportView*>(p->Add(std::make_unique<TRMSubReportView>()));
    sr->SubPage = 1;
    int left = sub->MarginLeft;
    sub->SetLeftMargin(sub->MarginRectPx().Left + 30);
    EXPECT_EQ(sub->MarginLeft, left);
    TRect sm = sub->MarginRectPx();
    sm.Left += 30;
    sm.Top += 5;
    sub->SetMarginRect(sm);
    EXPECT_EQ(s->Left, 100);
    EXPECT_EQ(s->Top, 105);
}

} // namespace
