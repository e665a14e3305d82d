// The query windows' conditions run on a database: typed text matched as
// typed, exact departments, thresholds with empty boxes, the ranking
// counts, daily and overdue lists, and a cancelled dialog that keeps the
// condition.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "SysUtils.h"
#include "app/QueryConditions.h"
#include "app/uDMData.h"

#include <algorithm>

namespace {

class QueryConditionsTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        Exec("insert into Readerinfo (Code, Name, Department, BookQty, Overdue, Overdue1) values "
             "('R12', '甲', '中文系', 2, 1, 0), ('R123', '乙', '中文系', 1, 0, 2), ('R9', '丙', '历史系', 0, 0, 0), "
             "('Q''1', '丁', '历史系', 0, 0, 0)");
        Exec("insert into Bookinfo (Code, Name) values ('B1', '书一'), ('B2', '书二'), ('B3', '书三')");
        Exec("insert into Borrowinfo (Code, Rcode, State, BorrowDate, ReturnDate) values "
             "('B1', 'R12', '已还', '2011-05-02', '2011-05-10'), ('B2', 'R12', '未还', '2011-05-03', '2011-05-14'), "
             "('B3', 'R12', '预约', '2011-05-04', null), ('B1', 'R123', '未还', '2011-05-05', '2011-05-15'), "
             "('B1', 'Q''1', '已还', '2011-04-20', '2011-05-01'), ('B3', 'R9', '未还', '2011-05-15', '2011-06-14')");
    }
    // The first column of every row.
    std::vector<std::string> codes(const TBoundSql& s) {
        TADOQuery q;
        q.SetConnection(DMData->ADOConnection1);
        q.SetStatement(s);
        q.Open();
        std::vector<std::string> out;
        for (q.First(); !q.Eof(); q.Next()) out.push_back(q.Fields().Fields(0)->AsString());
        return out;
    }
    std::vector<std::string> field(const TBoundSql& s, const std::string& name) {
        TADOQuery q;
        q.SetConnection(DMData->ADOConnection1);
        q.SetStatement(s);
        q.Open();
        std::vector<std::string> out;
        for (q.First(); !q.Eof(); q.Next()) out.push_back(q.FieldByName(name)->AsString());
        return out;
    }
    TLoanCondition may() const {
        TLoanCondition c;
        c.From = EncodeDate(2011, 5, 1);
        c.To = EncodeDate(2011, 5, 15);
        return c;
    }
    TBoundSql loans(const TLoanCondition& c) {
        return WithCondition("select Rcode from QryBorrow where ", BorrowWhere(c));
    }
};

TEST_F(QueryConditionsTest, emptyBoxesGiveEveryLoanOfTheDates) {
    EXPECT_EQ(loans(may()).Values.size(), 2u);
    EXPECT_EQ(codes({loans(may()).Text + " order by Id", loans(may()).Values}),
              (std::vector<std::string>{"R12", "R12", "R12", "R123", "R9"}));
}

TEST_F(QueryConditionsTest, readerBoxMatchesAnyPartOfTheCodeAndAQuoteAsItself) {
    TLoanCondition c = may();
    c.Reader = "12";
    c.State = TLoanCondition::Open;
    EXPECT_EQ(codes(loans(c)), (std::vector<std::string>{"R12", "R123"}));
    c = may();
    c.From = EncodeDate(2011, 4, 1);
    c.Reader = "Q'";
    EXPECT_EQ(codes(loans(c)), (std::vector<std::string>{"Q'1"}));
    c.Reader = "%";
    EXPECT_EQ(codes(loans(c)), (std::vector<std::string>{}));
}

TEST_F(QueryConditionsTest, departmentIsExact) {
    TLoanCondition c = may();
    c.Department = "中文";
    EXPECT_EQ(codes(loans(c)), (std::vector<std::string>{}));
    c.Department = "历史系";
    EXPECT_EQ(codes(loans(c)), (std::vector<std::string>{"R9"}));
}

TEST_F(QueryConditionsTest, returnConditionReadsTheReturnDates) {
    TLoanCondition c = may();
    c.From = EncodeDate(2011, 5, 10);
    EXPECT_EQ(codes(WithCondition("select Code from QryBorrow where State='已还' and ", LentWhere(c))),
              (std::vector<std::string>{"B1"}));
}

TEST_F(QueryConditionsTest, cancelledDialogKeepsThePreviousCondition) {
    const TQueryCondition before{BorrowWhere(may()), DateRangeCaption("借书日期", may().From, may().To)};
    EXPECT_EQ(before.Caption, "借书日期: 从2011-05-01 到 2011-05-15");
    const TQueryCondition after = NextCondition(before, false, TQueryCondition{});
    EXPECT_EQ(after.Where.Text, before.Where.Text);
    EXPECT_EQ(after.Caption, before.Caption);
    // The check box's statement still has a whole condition to run with.
    EXPECT_EQ(codes(WithCondition("select Rcode from QryBorrow where Code in (select code from Borrowinfo where "
                                  "State='预约')  and ",
                                  after.Where))
                  .size(),
              2u);
}

TEST_F(QueryConditionsTest, emptyThresholdCountsAsZero) {
    EXPECT_EQ(ThresholdValue(""), 0);
    EXPECT_EQ(ThresholdValue(" 3 "), 3);
    EXPECT_EQ(ThresholdValue("x"), 0);
    EXPECT_EQ(ThresholdValue("-2"), 0);
    // With both thresholds 0 every reader is listed, also those who never borrowed.
    EXPECT_EQ(codes(ReaderRankingSql(false, may().From, may().To, ThresholdValue(""), ThresholdValue(""))).size(), 4u);
}

TEST_F(QueryConditionsTest, readerRankingCountsEveryLoanOfTheRangeAndItsOverdues) {
    // R12: three rows dated in May (returned, open, reserved), one overdue return.
    EXPECT_EQ(codes(ReaderRankingSql(false, may().From, may().To, 3, 1)), (std::vector<std::string>{"R12"}));
    EXPECT_EQ(codes(ReaderRankingSql(false, may().From, may().To, 4, 1)), (std::vector<std::string>{}));
    // The periodical ranking tests the periodical overdues.
    EXPECT_EQ(codes(ReaderRankingSql(true, may().From, may().To, 0, 2)), (std::vector<std::string>{"R123"}));
    EXPECT_EQ(ReaderThresholdLine(3, 1), "借阅本数>=3 逾期本数>=1");
}

TEST_F(QueryConditionsTest, itemRankingPutsTheMostLentFirst) {
    // B1 and B3 were lent twice in May, B2 once.
    const std::vector<std::string> all = field(ItemRankingSql(false, may().From, may().To, 1), "code");
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all.back(), "B2");
    std::vector<std::string> twice = field(ItemRankingSql(false, may().From, may().To, 2), "code");
    std::sort(twice.begin(), twice.end());
    EXPECT_EQ(twice, (std::vector<std::string>{"B1", "B3"}));
    EXPECT_EQ(ItemThresholdLine(2), "借阅次数>=2");
}

TEST_F(QueryConditionsTest, dailyAndOverdueLists) {
    EXPECT_EQ(field(DailyListSql(TDailyList::Loans, false, EncodeDate(2011, 5, 3)), "Code"),
              (std::vector<std::string>{"B2"}));
    EXPECT_EQ(field(DailyListSql(TDailyList::Returns, false, EncodeDate(2011, 5, 3)), "Code"),
              (std::vector<std::string>{}));
    EXPECT_EQ(field(OverdueQuerySql(false, true, EncodeDate(2011, 5, 15), ""), "Code"),
              (std::vector<std::string>{"B2"}));
    EXPECT_EQ(field(OverdueQuerySql(false, false, EncodeDate(2011, 5, 15), "中文系"), "Rcode"),
              (std::vector<std::string>{"R123"}));
    EXPECT_EQ(field(OverdueQuerySql(false, false, EncodeDate(2011, 5, 15), "历史系"), "Rcode"),
              (std::vector<std::string>{}));
    EXPECT_EQ(DayCaption(EncodeDate(2011, 5, 15)), "日期: 2011-05-15");
}

} // namespace
