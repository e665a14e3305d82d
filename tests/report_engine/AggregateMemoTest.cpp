// The total memo as scripts and the inspector see it: its properties by
// name, a user total that reads its own running value, and RESET; and the
// name VALUE, the value a memo's text just gave, which highlight
// conditions test.
#include <gtest/gtest.h>

#include <algorithm>

#include "Metafile.h"
#include "db/ListDataSet.h"
#include "report/model/RM_Report.h"
#include "DesignPage.h"

namespace {

struct Totals {
    TComponent owner{nullptr};
    TListDataSet books{nullptr};
    TRMDBDataSet* rm;
    TRMReport report{&owner};
    TRMPage* page;
    Totals() {
        books.FieldDefs().Add("Price", ftFloat);
        for (int i = 1; i <= 6; ++i) books.AddRow({double(i)});
        books.Open();
        rm = new TRMDBDataSet(&owner);
        rm->SetName("RMBooks");
        rm->SetDataSet(&books);
        page = report.Pages[0];
    }
    TRMCalcMemoView* calc(int top, const std::string& text, uint8_t type) {
        auto* m = static_cast<TRMCalcMemoView*>(page->Add(std::make_unique<TRMCalcMemoView>()));
        m->CreateUniqueName(&report);
        m->SetBounds(0, top, 300, 20);
        m->Memo = {text};
        m->Font.Name = "宋体";
        m->DBCalcType = type;
        return m;
    }
    std::vector<std::string> texts() {
        std::vector<std::string> out;
        for (int i = 0; i < report.EMFPages.Count(); ++i) {
            TMetafile mf;
            TMetafileCanvas c(&mf);
            auto& r = report.EMFPages[i];
            report.EMFPages.Draw(i, &c, TRect(0, 0, r.PageWidth, r.PageHeight));
            for (auto* t : c.TextRecords()) out.push_back(t->Text);
        }
        return out;
    }
    bool has(const std::string& t) {
        auto v = texts();
        return std::find(v.begin(), v.end(), t) != v.end();
    }
};

TEST(ReportAggregateMemo, propertiesByNameWithTheirRules) {
    TRMCalcMemoView m;
    m.DefineProperties();
    EXPECT_EQ(m.FindProperty("Stretched"), nullptr);
    EXPECT_EQ(m.FindProperty("Wordwrap"), nullptr);
    EXPECT_EQ(m.FindProperty("MasterMemoView"), nullptr);
    const TRMPropRec* type = m.FindProperty("DBCalcType");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->Enums, (std::vector<std::string>{"rmdcSum", "rmdcCount", "rmdcAvg", "rmdcMax", "rmdcMin", "rmdcUser"}));
    EXPECT_EQ(m.FindProperty("CalcType")->Editor, &RMEditorHooks.CalcMemoEditor);
    EXPECT_NE(m.FindProperty("Font.Name"), nullptr);

    m.SetPropValue("DBCalcType", 3);
    m.SetPropValue("DataBand", "MasterData1");
    m.SetPropValue("Filter", "[Price] > 2");
    EXPECT_EQ(m.DBCalcType, 3);
    EXPECT_EQ(VarToStr(m.GetPropValue("databand")), "MasterData1");
    EXPECT_EQ(m.Filter, "[Price] > 2");
    EXPECT_EQ(VarToStr(m.GetPropValue("CalcType")), "(CalcType)");
    // A grand total never restarts after it prints.
    EXPECT_TRUE(m.GetPropValue("ResetAfterPrint").AsBoolean());
    m.SetPropValue("TotalCalc", true);
    EXPECT_FALSE(m.GetPropValue("ResetAfterPrint").AsBoolean());
    m.SetPropValue("ResetAfterPrint", true);
    EXPECT_FALSE(m.GetPropValue("ResetAfterPrint").AsBoolean());
    m.SetPropValue("OutBigNum", true);
    EXPECT_TRUE(m.OutBigNum());
    m.SetPropValue("CalcNoVisible", true);
    EXPECT_TRUE(m.CalcNoVisible());
    // CalcValue is written only while a build's last pass runs.
    m.SetPropValue("CalcValue", 7);
    EXPECT_EQ(m.CalcValue, 0);
    RMPreparedMode = true;
    m.SetPropValue("CalcValue", 7);
    RMPreparedMode = false;
    EXPECT_EQ(m.GetPropValue("CalcValue").AsDouble(), 7);
    m.Started = true;
    m.DoMethod("RESET", {});
    EXPECT_FALSE(m.Started);
}

// A user total starts from its start expression and takes each row's new
// value from an expression that reads its own running value.
TEST(ReportAggregateMemo, userTotalReadsItsOwnRunningValue) {
    Totals f;
    TRMBandView* data = AddBand(f.report, f.page, bkMasterData, 100, 24, "RMBooks");
    AddMemo(f.report, f.page, 0, 102, "[Price]", 100);
    AddBand(f.report, f.page, bkSummary, 200, 24);
    auto* user = f.calc(202, "加倍合计：[ ]", rmdcUser);
    user->DataBand = data->Name;
    user->IntalizeValue = "100";
    user->AggregateValue = "CalcValue + [Price] * 2";
    auto* max = f.calc(222, "最大：[Price]", rmdcMax);
    max->DataBand = data->Name;
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    EXPECT_TRUE(f.report.BuildErrors.empty()) << f.report.BuildErrors[0];
    EXPECT_TRUE(f.has("加倍合计：142")); // 100 + 2 × (1 + ... + 6)
    EXPECT_TRUE(f.has("最大：6"));
}

TEST(ReportAggregateMemo, highlightConditionsTestTheValueTheMemoShows) {
    Totals f;
    TRMBandView* data = AddBand(f.report, f.page, bkMasterData, 100, 24, "RMBooks");
    TRMMemoView* price = AddMemo(f.report, f.page, 0, 102, "[Price]", 100);
    price->HighlightStr = "Value > 4";
    price->HighlightColor = clRed;
    AddBand(f.report, f.page, bkSummary, 200, 24);
    auto* sum = f.calc(202, "[Price]", rmdcSum);
    sum->DataBand = data->Name;
    sum->HighlightStr = "Value >= 21";
    sum->HighlightColor = clBlue;
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    EXPECT_TRUE(f.report.BuildErrors.empty()) << f.report.BuildErrors[0];
    TRMPage* p = f.report.EMFPages.UnpackPage(0);
    ASSERT_EQ(p->Objects.size(), 7u);
    std::vector<TColor> colours;
    for (auto& o : p->Objects) colours.push_back(static_cast<TRMMemoView*>(o.get())->Font.Color);
    EXPECT_EQ(colours, (std::vector<TColor>{clBlack, clBlack, clBlack, clBlack, clRed, clRed, clBlue}));
}

} // namespace
