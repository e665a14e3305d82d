// Rankings, daily lists and overdue queries through the real windows: the
// thresholds with empty boxes as 0, the rank fixed when fetched (a title
// click does not renumber), a daily list on the business date and on a
// picked day (an empty day counts 0), and the overdue query's buttons and
// department; each query window also prints with its condition line.
#include "QueryFixture.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "DB.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBorrowOrderCond.h"
#include "app/uBorrowOrderCond1.h"
#include "app/uGlobal.h"
#include "app/uQryBorrowList.h"
#include "app/uQryBorrowList1.h"
#include "app/uQryBorrowOrder.h"
#include "app/uQryBorrowOrder1.h"
#include "app/uQryBorrowOrderq.h"
#include "app/uQryDayBorrow.h"
#include "app/uQryDayIn.h"
#include "app/uQryDayLent1.h"
#include "app/uQryDayReject.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "gridlib/grid/DBGridEh.h"

#include <memory>

namespace {

class RankingTest : public QueryFixture {
protected:
    void SetUp() override {
        QueryFixture::SetUp();
        LoanFixture();
    }
    // Confirms the reader ranking dialog after typing into its boxes ("" empties one).
    void expectReaderDialog(const std::string& loans, const std::string& overdue) {
        script.ExpectForm("TFrmBorrowOrderCond", mrOk, {}, [loans, overdue](TCustomForm* f) {
            auto* d = static_cast<TFrmBorrowOrderCond*>(f);
            for (auto [box, text] : {std::pair{d->EditQty1, loans}, std::pair{d->EditQty2, overdue}}) {
                box->SetText("");
                if (!text.empty()) SendText(box, text);
                SendKey(box, VK_RETURN);
            }
            SendClick(d->BtConfirm);
        });
    }
};

TEST_F(RankingTest, emptyBoxesCountAsZeroAndEveryReaderIsRanked) {
    std::vector<std::string> codes, ranks;
    std::string line;
    expectReaderDialog("", "");
    script.ExpectForm("TFrmQryBorrowOrder", mrCancel, {}, [&](TCustomForm* f) {
        auto* w = static_cast<TFrmQryBorrowOrder*>(f);
        codes = Column(w->ADOQueryBill, "code");
        ranks = Column(w->ADOQueryBill, "OrderId");
        line = w->LbCaption1->Caption();
    });
    RunReportCommand<TFrmBorrowOrderCond, TFrmQryBorrowOrder>(Application);
    EXPECT_EQ(codes, (std::vector<std::string>{"R12", "R120", "R3"}));
    EXPECT_EQ(ranks, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(line, "借阅本数>=0 逾期本数>=0");
}

TEST_F(RankingTest, thresholdsOfLoansInTheRangeAndOverdues) {
    std::vector<std::string> codes;
    // R12: two loan rows in May (one a reservation), one overdue return.
    expectReaderDialog("2", "1");
    script.ExpectForm("TFrmQryBorrowOrder", mrCancel, {},
                      [&](TCustomForm* f) { codes = Column(static_cast<TFrmQryBorrowOrder*>(f)->ADOQueryBill, "code"); });
    RunReportCommand<TFrmBorrowOrderCond, TFrmQryBorrowOrder>(Application);
    EXPECT_EQ(codes, (std::vector<std::string>{"R12"}));
}

TEST_F(RankingTest, periodicalReaderRankingCountsPeriodicalOverdues) {
    std::vector<std::string> codes;
    expectReaderDialog("0", "2");
    script.ExpectForm("TFrmQryBorrowOrderq", mrCancel, {}, [&](TCustomForm* f) {
        codes = Column(static_cast<TFrmQryBorrowOrderq*>(f)->ADOQueryBill, "code");
    });
    RunReportCommand<TFrmBorrowOrderCond, TFrmQryBorrowOrderq>(Application);
    EXPECT_EQ(codes, (std::vector<std::string>{"R120"}));
}

TEST_F(RankingTest, titleClickSortKeepsEachRowsRank) {
    script.ExpectForm("TFrmBorrowOrderCond1", mrOk, {},
                      [](TCustomForm* f) { SendClick(static_cast<TFrmBorrowOrderCond1*>(f)->BtConfirm); });
    std::unique_ptr<TFrmQryBorrowOrder1> w(new TFrmQryBorrowOrder1(Application));
    ShowAndActivate(w.get());
    SendClick(w->BtFind);
    // B2 was lent twice in May (a loan and a reservation), B1 once.
    EXPECT_EQ(Column(w->ADOQueryBill, "code"), (std::vector<std::string>{"B2", "B1", "B3"}));
    EXPECT_EQ(w->LbCaption1->Caption(), "借阅次数>=0");
    TDBGridEh* g = w->DBGridEh1;
    int col = -1;
    for (int i = 0; i < g->Columns()->Count(); ++i)
        if (SameText(g->Columns()->Items(i)->FieldName(), "Name")) col = i;
    ASSERT_GE(col, 0);
    const TRect r = g->CellRect(col + g->IndicatorOffset(), 0);
    SendClick(g, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    // Names sort as the reader says them: er, san, yi.
    EXPECT_EQ(Column(w->ADOQueryBill, "Name"), (std::vector<std::string>{"书二", "书三", "书一"}));
    EXPECT_EQ(Column(w->ADOQueryBill, "OrderId"), (std::vector<std::string>{"1", "3", "2"}));
    const std::string pdf = PdfTarget("item-ranking.pdf");
    w->N1Click(nullptr);
    const auto pages = PdfPages(pdf);
    ListInIndex("item-ranking.pdf", "book ranking of May sorted by title, ranks kept", int(pages.size()),
                "借书日期: 从2011-05-01 到 2011-05-15");
    ASSERT_GE(pages.size(), 1u);
    for (const std::string& page : pages) {
        EXPECT_NE(page.find("测试图书馆"), std::string::npos);
        EXPECT_NE(page.find("借书日期: 从2011-05-01 到 2011-05-15"), std::string::npos);
    }
}

TEST_F(RankingTest, dailyLoansOpenOnTheBusinessDateAndAnEmptyDayCountsZero) {
    BusinessDate = EncodeDate(2011, 5, 2);
    std::unique_ptr<TFrmQryDayBorrow> w(new TFrmQryDayBorrow(Application));
    ShowAndActivate(w.get());
    EXPECT_EQ(Column(w->ADOQueryBill, "Code"), (std::vector<std::string>{"B1"}));
    EXPECT_EQ(w->ConditionCaption, "日期: 2011-05-02");
    w->DTPDate->SetDate(EncodeDate(2011, 5, 1));
    SendClick(w->BtFind);
    EXPECT_EQ(w->LbQty->Caption(), "0");
    EXPECT_EQ(w->ConditionCaption, "日期: 2011-05-01");
    const std::string pdf = PdfTarget("daily-loans.pdf");
    w->N1Click(nullptr);
    const auto pages = PdfPages(pdf);
    ListInIndex("daily-loans.pdf", "daily loans of an empty day", int(pages.size()), "日期: 2011-05-01");
    ASSERT_GE(pages.size(), 1u);
    for (const std::string& page : pages) EXPECT_NE(page.find("日期: 2011-05-01"), std::string::npos);
}

struct DailyRow {
    const char* name;
    std::function<TMDIBaseQuery*(TComponent*)> make;
    int y, m, d;
    std::vector<std::string> codes;
};
void PrintTo(const DailyRow& r, std::ostream* os) { *os << r.name; }

class DailyCases : public QueryFixture, public ::testing::WithParamInterface<DailyRow> {};

TEST_P(DailyCases, listTheDay) {
    LoanFixture();
    Exec("update Bookinfo set RegDate='2011-05-03' where Code in ('B1', 'B3')");
    Exec("insert into BookReject (Code, RejectDate) values ('B3', '2011-05-04')");
    BusinessDate = EncodeDate(GetParam().y, GetParam().m, GetParam().d);
    std::unique_ptr<TMDIBaseQuery> w(GetParam().make(Application));
    ShowAndActivate(w.get());
    EXPECT_EQ(Column(w->ADOQueryBill, "Code"), GetParam().codes);
    EXPECT_EQ(w->LbQty->Caption(), IntToStr(int(GetParam().codes.size())));
}

INSTANTIATE_TEST_SUITE_P(
    Days, DailyCases,
    ::testing::Values(
        DailyRow{"intake", [](TComponent* o) -> TMDIBaseQuery* { return new TFrmQryDayIn(o); }, 2011, 5, 3, {"B1", "B3"}},
        DailyRow{"writeOffs", [](TComponent* o) -> TMDIBaseQuery* { return new TFrmQryDayReject(o); }, 2011, 5, 4,
                 {"B3"}},
        DailyRow{"magzReturns", [](TComponent* o) -> TMDIBaseQuery* { return new TFrmQryDayLent1(o); }, 2011, 5, 8,
                 {"M1"}},
        DailyRow{"returnsOfNoDay", [](TComponent* o) -> TMDIBaseQuery* { return new TFrmQryDayLent1(o); }, 2011, 5,
                 9, {}}),
    RowName());

TEST_F(RankingTest, overdueQueryPastDueThenDueTodayAndTheDepartmentAtTheNextRun) {
    Exec("insert into Borrowinfo (Code, Rcode, State, BorrowDate, ReturnDate) values "
         "('B3', 'R120', '未还', '2011-04-01', '2011-05-01'), ('B2', 'R3', '未还', '2011-04-15', '2011-05-15')");
    std::unique_ptr<TFrmQryBorrowList> w(new TFrmQryBorrowList(Application));
    ShowAndActivate(w.get());
    EXPECT_FALSE(w->BtFind->Visible());
    EXPECT_EQ(Column(w->ADOQueryBill, "Code"), (std::vector<std::string>{"B3"}));
    SendClick(w->Rbt2);
    EXPECT_EQ(Column(w->ADOQueryBill, "Code"), (std::vector<std::string>{"B2"}));
    w->CmbDepartment->SetText("二班");
    EXPECT_EQ(Column(w->ADOQueryBill, "Code"), (std::vector<std::string>{"B2"})) << "not before the next run";
    SendClick(w->Rbt1);
    EXPECT_EQ(Column(w->ADOQueryBill, "Code"), (std::vector<std::string>{"B3"}));
    // Due today is B2, of a reader of 一班.
    SendClick(w->Rbt2);
    EXPECT_EQ(w->LbQty->Caption(), "0");
    const std::string pdf = PdfTarget("overdue-query.pdf");
    w->N1Click(nullptr);
    const auto pages = PdfPages(pdf);
    ListInIndex("overdue-query.pdf", "overdue query of a department without overdues", int(pages.size()),
                "日期: 2011-05-15");
    ASSERT_GE(pages.size(), 1u);
    for (const std::string& page : pages) EXPECT_NE(page.find("日期: 2011-05-15"), std::string::npos);
}

TEST_F(RankingTest, overdueQueryRunsAgainOnAClickOrSpaceOnTheChosenButton) {
    Exec("insert into Borrowinfo (Code, Rcode, State, BorrowDate, ReturnDate) values "
         "('B3', 'R120', '未还', '2011-04-01', '2011-05-01')");
    std::unique_ptr<TFrmQryBorrowList> w(new TFrmQryBorrowList(Application));
    ShowAndActivate(w.get());
    ASSERT_TRUE(w->Rbt1->Checked());
    EXPECT_EQ(Column(w->ADOQueryBill, "Code"), (std::vector<std::string>{"B3"}));
    // B3's reader is of 二班: the department chosen counts from the click.
    w->CmbDepartment->SetText("一班");
    SendClick(w->Rbt1);
    EXPECT_TRUE(w->Rbt1->Checked());
    EXPECT_EQ(w->LbQty->Caption(), "0");
    w->CmbDepartment->SetText("二班");
    SendKey(w->Rbt1, VK_SPACE);
    EXPECT_EQ(Column(w->ADOQueryBill, "Code"), (std::vector<std::string>{"B3"}));
}

} // namespace
