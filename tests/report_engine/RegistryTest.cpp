// The engine's process-wide registries and the services objects give the
// designer: property tables by name, unique names, frames, regions,
// watchers, the popup item and the printer canvas.
#include <gtest/gtest.h>

#include "DesignPage.h"
#include "Menus.h"
#include "Printers.h"
#include "report/model/RM_Register.h"
#include "report/model/RM_Report.h"
#include "report/print/RM_Printer.h"
#include "report/script/RM_FuncLib.h"

namespace {

TEST(ReportRegistries, toolsAndCompressorAreHooksOnly) {
    EXPECT_EQ(RMGetToolCount(), -1);
    EXPECT_EQ(RMGetTool(0), nullptr);
    TRMCompressor* c = RMGetCompressor();
    ASSERT_TRUE(c);
    EXPECT_EQ(c, RMGetCompressor());
    EXPECT_FALSE(c->Enabled);
    TMemoryStream in, out;
    in.WriteBuffer("abc", 3);
    c->Compress(&in, &out);
    EXPECT_EQ(out.Size(), 0);
}

TEST(ReportRegistries, baseEditorAnswersOkWithoutAWindow) {
    TRMObjEditorForm editor;
    TRMMemoView memo;
    EXPECT_EQ(editor.ShowEditor(&memo), 1);
    EXPECT_FALSE(editor.Visible());
}

TEST(ReportRegistries, addInEntryCarriesItsEditorAndLowerCaseNamesMakeIt) {
    EXPECT_TRUE(RMCreateObject(rmgtAddIn, "trmbarcodeview"));
    ASSERT_GE(RMGetAddInCount(), 1);
    const TRMAddInObjectInfo* bar = RMGetAddIn(0);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->Hint, "插入 Barcode 对象");
    EXPECT_FALSE(bar->EditorClass);
    RMRegisterObjectByRes(
        "TRMEditedView", [] { return std::make_unique<TRMMemoView>(); }, "", "",
        [] { return std::make_unique<TRMObjEditorForm>(); });
    const TRMAddInObjectInfo* edited = RMGetAddIn(RMGetAddInCount() - 1);
    ASSERT_TRUE(edited && edited->EditorClass);
    EXPECT_EQ(edited->EditorClass()->ShowEditor(nullptr), 1);
    EXPECT_EQ(RMGetFunctionLibrary(-1), nullptr);
    EXPECT_EQ(RMGetFunctionLibrary(RMGetFunctionLibraryCount()), nullptr);
}

TEST(ReportObjectServices, viewPropertiesInTheirOrderWithTheirKinds) {
    TRMLineView line;
    std::vector<std::string> want{"Name", "Left", "Top", "Height", "Width", "Flags", "IsPrinting"};
    for (const char* field : {"Visible", "Width", "Color", "Style"})
        for (const char* side : {"LeftFrame.", "TopFrame.", "RightFrame.", "BottomFrame."})
            want.push_back(std::string(side) + field);
    for (const char* p : {"FrameTyp", "FrameWidth", "FrameColor", "FrameStyle", "FillColor", "Tag", "BandAlign",
                          "PrintFrame", "PrintVisible", "Visible", "Memo", "Memo.Count", "Restrictions", "Memo1"})
        want.push_back(p);
    EXPECT_EQ(PropertyNames(line), want);
    EXPECT_EQ(line.FindProperty("name")->PropType, 257);
    EXPECT_EQ(line.FindProperty("Height")->PropType, 128);
    EXPECT_EQ(line.FindProperty("FrameWidth")->PropType, 132);
    EXPECT_EQ(line.FindProperty("Tag")->PropType, 320);
    EXPECT_EQ(line.FindProperty("Memo")->PropType, 320);
    EXPECT_EQ(line.FindProperty("Restrictions")->PropType, 64);
    const TRMPropRec* style = line.FindProperty("FrameStyle");
    ASSERT_EQ(style->EnumValues.size(), 6u);
    EXPECT_EQ(style->EnumValues[5].AsInteger(), 7);
    // Bands and regions leave out what they do not have.
    TRMBandView band;
    band.DefineProperties();
    EXPECT_FALSE(band.FindProperty("FrameTyp"));
    EXPECT_FALSE(band.FindProperty("Tag"));
    EXPECT_TRUE(band.FindProperty("Visible"));
    TRMRegionView region;
    region.DefineProperties();
    EXPECT_FALSE(region.FindProperty("FillColor"));
    EXPECT_TRUE(region.FindProperty("Tag"));
}

TEST(ReportObjectServices, propertiesReadAndWriteByName) {
    TRMMemoView m;
    m.SetPropValue("FrameTyp", 5);
    EXPECT_TRUE(m.LeftFrame.Visible && m.RightFrame.Visible);
    EXPECT_FALSE(m.TopFrame.Visible || m.BottomFrame.Visible);
    EXPECT_EQ(m.GetPropValue("frametyp").AsInteger(), 5);
    m.SetPropValue("Memo", "第一行\r\n第二行");
    EXPECT_EQ(VarToStr(m.GetPropValue("Memo")), "第一行\r\n第二行");
    EXPECT_EQ(m.GetPropValue("Memo.Count").AsInteger(), 2);
    EXPECT_EQ(VarToStr(m.GetPropValue("DataField")), "第一行");
    m.SetPropValue("Memo1", "built");
    EXPECT_EQ(VarToStr(m.GetPropValue("MEMO1")), "built");
    m.SetPropValue("TopFrame.Width", 2.5);
    m.SetPropValue("BottomFrame.Color", 255);
    m.SetPropValue("LeftFrame.Style", 0x11);
    EXPECT_EQ(m.TopFrame.Width, 2.5);
    EXPECT_EQ(m.GetPropValue("FrameWidth").AsDouble(), 2.5); // the frame reads as its top side
    EXPECT_EQ(m.GetPropValue("BottomFrame.Color").AsInteger(), 255);
    EXPECT_EQ(m.LeftFrame.Style, 0x11);
    m.SetPropValue("Stretched", true);
    EXPECT_TRUE(m.GetStretched());
    m.SetPropValue("Font.Size", 14);
    EXPECT_EQ(m.GetPropValue("FONT.SIZE").AsInteger(), 14);
    EXPECT_TRUE(VarIsNull(m.GetPropValue("NoSuchProperty")));
    EXPECT_TRUE(VarIsNull(TRMObject::GetFontProp(m.Font, "Font.Size"))); // names arrive upper-cased
}

struct NamingView : TRMMemoView {
    void CollectNames(std::vector<std::string>& names) override { names.push_back("MEMO3"); }
};

TEST(ReportObjectServices, uniqueNamesSkipWhatObjectsCollect) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    auto* a = p->Add(std::make_unique<TRMMemoView>());
    a->Name = "Memo1";
    auto* b = p->Add(std::make_unique<NamingView>());
    b->Name = "memo2";
    auto* c = p->Add(std::make_unique<TRMMemoView>());
    c->Name = "Memo1";
    c->CreateUniqueName(&r);
    EXPECT_EQ(c->Name, "Memo4");
}

// A side whose style has the double bit draws a second line twice its width
// further inside the object; the other sides stay single.
TEST(ReportObjectServices, doubleFrameSideDrawsASecondLineInside) {
    struct Case {
        TRMFrameLine TRMView::*side;
        int dx, dy;
    } cases[] = {{&TRMView::TopFrame, 0, 1}, {&TRMView::LeftFrame, 1, 0},
                 {&TRMView::BottomFrame, 0, -1}, {&TRMView::RightFrame, -1, 0}};
    for (const Case& c : cases) {
        TRMMemoView m;
        m.SetBounds(10, 10, 200, 60);
        m.SetFrameAll(true, 2.0);
        (m.*c.side).Style = 0x10 | 2; // a dotted double side
        auto lines = DrawnRecords(m, mrLine);
        ASSERT_EQ(lines.size(), 5u);
        int doubled = 0;
        for (size_t i = 0; i + 1 < lines.size(); ++i) {
            const auto &a = lines[i], &b = lines[i + 1];
            if (b.Points[0] != TPoint(a.Points[0].X + 4 * c.dx, a.Points[0].Y + 4 * c.dy)) continue;
            EXPECT_EQ(b.Points[1], TPoint(a.Points[1].X + 4 * c.dx, a.Points[1].Y + 4 * c.dy));
            EXPECT_EQ(b.PenStyle, psDot);
            ++doubled;
        }
        EXPECT_EQ(doubled, 1);
    }
}

TEST(ReportObjectServices, frameExtrasLinkedAndOncePerPage) {
    TRMMemoView m;
    m.SetFrameAll(true, 3.0);
    m.TopFrame.Style = 0x10; // double
    EXPECT_EQ(m.GetFrameExtraWidth(), 4);   // 2 + 2 (3 / 2 rounds to 2)
    EXPECT_EQ(m.GetFrameExtraHeight(), 10); // 2 + 2 + 6
    m.Flags |= flHasLinked;
    EXPECT_TRUE(m.HasLinkedObject());
    TRMBandView band;
    band.Flags |= flHasLinked;
    EXPECT_FALSE(band.HasLinkedObject());
    EXPECT_FALSE(m.GetOncePerPage());
    m.Flags2 |= 2;
    EXPECT_TRUE(m.GetOncePerPage());
}

TEST(ReportObjectServices, clipAreaTakesTheOuterHalfOfTheFrame) {
    TRMMemoView m;
    m.SetBounds(10, 20, 100, 50);
    EXPECT_EQ(m.GetClipRgn(false), TRect(10, 20, 111, 71));
    m.SetFrameAll(true, 4.0);
    EXPECT_EQ(m.GetClipRgn(false), TRect(8, 18, 113, 73));
    EXPECT_EQ(m.GetClipRgn(true), TRect(-2, 8, 123, 83));
}

TEST(ReportObjectServices, regionMovesWhatLiesWhollyInsideAfterIt) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    auto add = [&](std::unique_ptr<TRMView> v, int l, int t, int w, int h) {
        TRMView* o = p->Add(std::move(v));
        o->SetBounds(l, t, w, h);
        return o;
    };
    TRMView* before = add(std::make_unique<TRMMemoView>(), 10, 10, 20, 20);
    before->InRegion = 1;
    auto* region = static_cast<TRMRegionView*>(add(std::make_unique<TRMRegionView>(), 0, 0, 100, 100));
    TRMView* inside = add(std::make_unique<TRMMemoView>(), 0, 0, 100, 100);
    TRMView* across = add(std::make_unique<TRMMemoView>(), 90, 10, 20, 20);
    EXPECT_EQ(region->IsRegion, 1);
    region->MoveContents(p, 5, 7);
    EXPECT_EQ(before->InRegion, 0);
    EXPECT_EQ(TRect(before->Left, before->Top, 0, 0), TRect(10, 10, 0, 0));
    EXPECT_EQ(inside->InRegion, 1);
    EXPECT_EQ(TRect(inside->Left, inside->Top, 0, 0), TRect(5, 7, 0, 0));
    EXPECT_EQ(across->InRegion, 0);
    EXPECT_EQ(across->Left, 90);
}

struct StretchDesigner : TRMReportDesigner {
    TRMPage* page = nullptr;
    int undo = 0, done = 0;
    int ShowModal() override { return 1; }
    TRMPage* GetDesignPage() override { return page; }
    void RecordChangeForUndo() override { ++undo; }
    void ChangeDone() override { ++done; }
};

TEST(ReportObjectServices, stretchItemChangesEverySelectedObjectAsOneChange) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    TRMView* a = p->Add(std::make_unique<TRMMemoView>());
    TRMView* b = p->Add(std::make_unique<TRMMemoView>());
    TRMView* c = p->Add(std::make_unique<TRMMemoView>());
    a->Selected = b->Selected = true;
    StretchDesigner d;
    d.page = p;
    TRMReportDesigner* was = std::exchange(CurDesigner, &d);
    TPopupMenu popup(nullptr);
    a->DefinePopupMenu(&popup);
    ASSERT_EQ(popup.Items()->Count(), 2);
    EXPECT_TRUE(popup.Items()->Items(0)->IsLine());
    TMenuItem* item = popup.Items()->Items(1);
    EXPECT_EQ(item->Caption(), "伸展");
    EXPECT_FALSE(item->Checked());
    item->OnClick(item); // the item's handler; no menu is shown
    CurDesigner = was;
    EXPECT_TRUE(item->Checked());
    EXPECT_TRUE(a->GetStretched() && b->GetStretched());
    EXPECT_FALSE(c->GetStretched());
    EXPECT_EQ(d.undo, 1);
    EXPECT_EQ(d.done, 1);
}

struct Watcher : TRMMemoView {
    int started = 0;
    std::vector<std::string> seen;
    TRMReport* master = nullptr;
    void WatchStart() override {
        ++started;
        master = MasterReport;
    }
    void WatchNotify(TRMView* v) override { seen.push_back(v->Name); }
};

TEST(ReportObjectServices, watchersSeeEveryObjectTheBuildWrites) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    auto* title = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
    title->SetBandType(bkTitle);
    title->SetBounds(0, 20, 600, 40);
    title->Name = "Band1";
    TRMView* text = p->Add(std::make_unique<TRMMemoView>());
    text->SetBounds(10, 25, 100, 20);
    text->Name = "Memo1";
    text->Memo = {"标题"};
    auto* w = static_cast<Watcher*>(p->Add(std::make_unique<Watcher>()));
    w->SetBounds(200, 25, 100, 20);
    w->Name = "Memo2";
    w->Flags |= flWatcher;
    // The build works on a copy of the design; its watchers report here.
    int started = 0;
    std::vector<std::string> seen;
    TRMReport* master = nullptr;
    r.OnAfterPrint = [&](TRMView* v) {
        if (auto* x = dynamic_cast<Watcher*>(v)) {
            started = x->started;
            seen = x->seen;
            master = x->master;
        }
    };
    ASSERT_TRUE(r.PrepareReport());
    EXPECT_EQ(started, 1);
    EXPECT_EQ(master, &r);
    EXPECT_EQ(seen, (std::vector<std::string>{"Memo1", "Memo2"}));
    EXPECT_EQ(MasterReport, nullptr);
    EXPECT_TRUE(RMWatchers().empty());
}

TEST(ReportPrinterLayer, printerCanvasKeepsPointSizesAndPrintsGreyTextBlackWithoutColour) {
    TPrinter* pr = Printer();
    TRMPrinterCanvas colour(pr, true);
    TFont* f = colour.Canvas()->Font();
    f->SetPixelsPerInch(96);
    f->SetSize(12);
    EXPECT_EQ(f->PixelsPerInch(), pr->YDpi());
    EXPECT_EQ(f->Size(), 12);
    f->SetColor(TColor(0x808080));
    EXPECT_EQ(f->Color(), TColor(0x808080));
    {
        TRMPrinterCanvas mono(pr, false);
        EXPECT_EQ(f->Color(), clBlack);
        f->SetColor(clWhite);
        EXPECT_EQ(f->Color(), clWhite);
        f->SetColor(clRed);
        EXPECT_EQ(f->Color(), clBlack);
    }
    f->SetColor(clRed);
    EXPECT_EQ(f->Color(), clRed);
}

} // namespace

namespace {

struct AlignCase {
    const char* name;
    uint8_t align;
    TRect expected; // Left, Top, Width, Height after
};
void PrintTo(const AlignCase& c, std::ostream* os) { *os << c.name; }

class BandAlign : public ::testing::TestWithParam<AlignCase> {};

// A page printable from 20 to 620 (paper 640 wide, margins of 20 pixels),
// a band from 100 to 160, on its row a baLeft object at 20-70 and a
// baRight one at 500-600; the object aligned is 100 x 20 at (200, 110).
TEST_P(BandAlign, designModesPlaceTheObject) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    p->ChangePaper(256, 169333, 297000, 0xFFFF, 0);
    p->SetMarginRect(TRect(20, 20, 20, 20));
    ASSERT_EQ(p->PrintableLeft(), 20);
    ASSERT_EQ(p->GetPrintableRight(), 620);
    auto add = [&](std::unique_ptr<TRMView> v, int l, int t, int w, int h, uint8_t align) {
        TRMView* o = p->Add(std::move(v));
        o->SetBounds(l, t, w, h);
        o->BandAlign = align;
        return o;
    };
    add(std::make_unique<TRMBandView>(), 0, 100, 640, 60, 0);
    add(std::make_unique<TRMMemoView>(), 20, 110, 50, 20, 1);
    add(std::make_unique<TRMMemoView>(), 500, 110, 100, 20, 2);
    TRMView* v = add(std::make_unique<TRMMemoView>(), 200, 110, 100, 20, GetParam().align);
    v->ApplyBandAlign();
    EXPECT_EQ(TRect(v->Left, v->Top, v->Width, v->Height), GetParam().expected);
}

const AlignCase kAlign[] = {
    {"none", 0, TRect(200, 110, 100, 20)},
    {"leftAfterItsNeighbour", 1, TRect(70, 110, 100, 20)},
    {"rightBeforeItsNeighbour", 2, TRect(399, 110, 100, 20)},
    {"centre", 3, TRect(270, 110, 100, 20)},
    {"width", 4, TRect(20, 110, 600, 20)},
    {"bandBottom", 5, TRect(200, 140, 100, 20)},
    {"bandTop", 6, TRect(200, 100, 100, 20)},
    {"client", 7, TRect(20, 100, 600, 60)},
    {"height", 8, TRect(200, 100, 100, 60)},
    {"rest", 9, TRect(70, 110, 429, 20)},
};
INSTANTIATE_TEST_SUITE_P(Report, BandAlign, ::testing::ValuesIn(kAlign),
                         [](const auto& i) { return std::string(i.param.name); });

} // namespace

namespace {

// A copy is a load of the design form, whatever form the source is in.
TEST(ReportObjectServices, assignCopiesTheDesignFormOfABuiltObject) {
    TRMMemoView built;
    built.Name = "Memo7";
    built.Selected = true;
    built.Memo = {"[Price]"};
    built.OnBeforePrint = {"Memo7.Visible := 1"};
    built.HighlightStr = "[Price] > 10";
    built.FormatCode = 0x01020200 | '.';
    built.PreparedForm = true;
    TRMMemoView copy;
    copy.Assign(&built);
    EXPECT_TRUE(built.PreparedForm);
    EXPECT_FALSE(copy.PreparedForm);
    EXPECT_EQ(copy.Name, "Memo7");
    EXPECT_TRUE(copy.Selected);
    EXPECT_EQ(copy.OnBeforePrint, built.OnBeforePrint);
    EXPECT_EQ(copy.HighlightStr, built.HighlightStr);
    EXPECT_EQ(copy.FormatCode, built.FormatCode);
    EXPECT_EQ(copy.Memo, built.Memo);
}

} // namespace

namespace {

TEST(ReportObjectServices, designerUnitsConvertToPixels) {
    EXPECT_NEAR(RMToPixels(rmutMillimeters, 25.4), 96.0, 0.01);
    EXPECT_DOUBLE_EQ(RMFromPixels(rmutInches, 192), 2.0);
    EXPECT_DOUBLE_EQ(RMToPixels(rmutScreenPixels, 37.5), 37.5);
    EXPECT_DOUBLE_EQ(RMToPixels(7, 37.5), 37.5);
    EXPECT_NEAR(RMFromPixels(rmutMillimeters, RMToPixels(rmutMillimeters, 12.3)), 12.3, 1e-9);
}

} // namespace
