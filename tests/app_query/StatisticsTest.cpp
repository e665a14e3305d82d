// The statistics by class through the real windows: every class of the
// level with its loans (a six-character top-level key counts as well as a
// four-character one), the footer sum, children of a typed class, an
// unknown class said instead of run, the dates kept after a dialog, the
// holdings by state, and the chart with its kinds and columns.
#include "QueryFixture.h"

#include "Buttons.h"
#include "Chart.h"
#include "ComCtrls.h"
#include "DB.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBorrowStatChart.h"
#include "app/uGlobal.h"
#include "app/uQryBookDataS.h"
#include "app/uQryBorrowS.h"
#include "app/uQryBorrowqS.h"
#include "app/uQryMagzDataS.h"
#include "app/uSortSet.h"
#include "gridlib/grid/DBGridEh.h"

#include <functional>
#include <memory>

namespace {

class StatisticsTest : public QueryFixture {
protected:
    void SetUp() override {
        QueryFixture::SetUp();
        LoanFixture();
        Exec("insert into Type (sKey, SortCode, SortName, ParentKey) values "
             "('000001', 'A', '文学', '00'), ('0000010000', 'A1', '小说', '000001'), "
             "('0000010001', 'A2', '诗歌', '000001'), ('0002', 'B1', '历史', '00')");
    }
    std::string footer(TMDIBaseQuery* w, const std::string& field) {
        TDBGridEh* g = w->DBGridEh1;
        for (int i = 0; i < g->Columns()->Count(); ++i)
            if (SameText(g->Columns()->Items(i)->FieldName(), field))
                return g->GetFooterValue(0, g->Columns()->Items(i));
        return "?";
    }
};

TEST_F(StatisticsTest, loansByTopLevelClassWithTheFooterSum) {
    std::unique_ptr<TFrmQryBorrowS> w(new TFrmQryBorrowS(Application));
    ShowAndActivate(w.get());
    EXPECT_EQ(Column(w->ADOQueryBill, "Sortcode"), (std::vector<std::string>{"A", "B1"}));
    EXPECT_EQ(Column(w->ADOQueryBill, "BookQty"), (std::vector<std::string>{"2", "0"}));
    EXPECT_EQ(Column(w->ADOQueryBill, "BeQty"), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(Column(w->ADOQueryBill, "NotQty"), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(footer(w.get(), "BookQty"), "2");
    EXPECT_EQ(w->LbCaption->Caption(), "借书日期: 从2011-05-01 到 2011-05-15");
    SaveFormPng(w.get(), std::string(BUILD_DIR) + "/test-output/screens/loan-statistics-footer.png");
    const std::string pdf = PdfTarget("loan-statistics.pdf");
    w->N1Click(nullptr);
    const auto pages = PdfPages(pdf);
    ListInIndex("loan-statistics.pdf", "loans by top-level class with its title", int(pages.size()),
                "图书借阅分类统计");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("图书借阅分类统计"), std::string::npos);
    EXPECT_NE(pages[0].find("测试图书馆"), std::string::npos);
}

TEST_F(StatisticsTest, childrenOfATypedClassAndAnUnknownCodeIsSaid) {
    std::unique_ptr<TFrmQryBorrowS> w(new TFrmQryBorrowS(Application));
    ShowAndActivate(w.get());
    w->DateFrom->SetDate(EncodeDate(2011, 4, 1));
    SendText(w->EditSort, "A");
    EXPECT_EQ(w->EditSort->Hint(), "000001");
    SendClick(w->BtFind);
    EXPECT_EQ(Column(w->ADOQueryBill, "Sortcode"), (std::vector<std::string>{"A1", "A2"}));
    EXPECT_EQ(Column(w->ADOQueryBill, "BookQty"), (std::vector<std::string>{"2", "0"}));
    EXPECT_EQ(w->LbCaption->Caption(), "借书日期: 从2011-04-01 到 2011-05-15");
    SendText(w->EditSort, "Z");
    script.ExpectMessage("无此类别", IDOK);
    SendClick(w->BtFind);
    EXPECT_EQ(Column(w->ADOQueryBill, "Sortcode"), (std::vector<std::string>{"A1", "A2"}));
    // Back from a dialog the chosen dates stay.
    script.ExpectForm("TFrmBorrowStatChart", mrCancel);
    SendClick(w->BtChart);
    EXPECT_EQ(w->DateFrom->Date(), EncodeDate(2011, 4, 1));
}

TEST_F(StatisticsTest, holdingsByState) {
    Exec("update Bookinfo set IsOut='外借' where Code='B2'");
    Exec("update Bookinfo set IsOut='' where Code='B1'");
    std::unique_ptr<TFrmQryBookDataS> w(new TFrmQryBookDataS(Application));
    ShowAndActivate(w.get());
    EXPECT_EQ(Column(w->ADOQueryBill, "BookQty"), (std::vector<std::string>{"2", "1"}));
    EXPECT_EQ(footer(w.get(), "BookSum"), "60");
    w->CmbState->SetText("在馆");
    SendClick(w->BtFind);
    EXPECT_EQ(Column(w->ADOQueryBill, "BookQty"), (std::vector<std::string>{"1", "1"}));
    w->CmbState->SetText("外借");
    SendClick(w->BtFind);
    EXPECT_EQ(Column(w->ADOQueryBill, "BookQty"), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(footer(w.get(), "BookQty"), "1");
}

TEST_F(StatisticsTest, chartDrawsAPieFirstAndKeepsItsKindWhenTheColumnChanges) {
    std::unique_ptr<TFrmQryBorrowS> w(new TFrmQryBorrowS(Application));
    ShowAndActivate(w.get());
    int kind = 0, points = 0;
    std::string field, firstKind, mark;
    script.ExpectForm("TFrmBorrowStatChart", mrCancel, {}, [&](TCustomForm* f) {
        auto* c = static_cast<TFrmBorrowStatChart*>(f);
        firstKind = c->DBChart->Series(0)->ClassName();
        mark = c->DBChart->Series(0)->MarkText(0);
        SendClick(c->SbtType2);
        SendKey(c->CmbItem, VK_DOWN);
        SendKey(c->CmbItem, VK_DOWN);
        kind = c->ChartKind;
        field = c->ValueField;
        points = c->DBChart->Series(0)->Count();
        SaveFormPng(c, std::string(BUILD_DIR) + "/test-output/screens/loan-statistics-chart.png");
    });
    SendClick(w->BtChart);
    EXPECT_EQ(firstKind, "TPieSeries");
    EXPECT_EQ(mark, "A 100 %");
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(field, "NotQty");
    EXPECT_EQ(points, 2);
}

// The class picker of each statistics window, opened the three ways the
// hint names: F5 or "+" in the class box, or the button beside it. The
// chosen class fills the box (its key in the hint), the key opening the
// picker types nothing, and the next find lists that class's children.
struct PickerRow {
    const char* name;
    std::function<TMDIBaseQuery*(TComponent*)> make;
    Word key; // 0: the button
};
void PrintTo(const PickerRow& r, std::ostream* os) { *os << r.name; }

class StatisticsPicker : public StatisticsTest, public ::testing::WithParamInterface<PickerRow> {
protected:
    std::unique_ptr<TMDIBaseQuery> w;
    TEdit* box = nullptr;
    void SetUp() override {
        StatisticsTest::SetUp();
        w.reset(GetParam().make(Application));
        ShowAndActivate(w.get());
        box = dynamic_cast<TEdit*>(w->FindComponent("EditSort"));
        ASSERT_NE(box, nullptr);
    }
    void TearDown() override {
        w.reset();
        StatisticsTest::TearDown();
    }
    void openPicker() {
        if (GetParam().key)
            SendKey(box, GetParam().key);
        else
            SendClick(dynamic_cast<TControl*>(w->FindComponent("SpeedButton1")));
    }
};

TEST_P(StatisticsPicker, choiceFillsTheBoxAndTheNextFindListsItsChildren) {
    SendClick(box);
    script.ExpectForm("TFrmSortSet", mrNone, {}, [](TCustomForm* f) {
        auto* picker = static_cast<TFrmSortSet*>(f);
        picker->Tvtemp->SetSelected(picker->FindParentNode("000001"));
        SendClick(picker->TbtOk);
    });
    openPicker();
    EXPECT_TRUE(script.Unused().empty()) << "the picker did not open";
    EXPECT_EQ(box->Text(), "A");
    EXPECT_EQ(box->Hint(), "000001");
    EXPECT_TRUE(box->Focused());
    SendClick(w->BtFind);
    EXPECT_EQ(Column(w->ADOQueryBill, "Sortcode"), (std::vector<std::string>{"A1", "A2"}));
}

TEST_P(StatisticsPicker, pickerClosedWithoutAChoiceKeepsTheBox) {
    SendText(box, "B1");
    script.ExpectForm("TFrmSortSet", mrCancel);
    openPicker();
    EXPECT_TRUE(script.Unused().empty()) << "the picker did not open";
    EXPECT_EQ(box->Text(), "B1");
    EXPECT_EQ(box->Hint(), "0002");
}

INSTANTIATE_TEST_SUITE_P(
    Windows, StatisticsPicker,
    ::testing::Values(
        PickerRow{"bookLoansF5", [](TComponent* o) -> TMDIBaseQuery* { return new TFrmQryBorrowS(o); }, VK_F5},
        PickerRow{"periodicalLoansPlus", [](TComponent* o) -> TMDIBaseQuery* { return new TFrmQryBorrowqS(o); },
                  VK_ADD},
        PickerRow{"bookHoldingsButton", [](TComponent* o) -> TMDIBaseQuery* { return new TFrmQryBookDataS(o); }, 0},
        PickerRow{"periodicalHoldingsF5", [](TComponent* o) -> TMDIBaseQuery* { return new TFrmQryMagzDataS(o); },
                  VK_F5}),
    RowName());

} // namespace
