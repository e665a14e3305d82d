// The searches and conditions of the reader and periodical windows, run on
// a database: which rows each finds, typed quotes and wildcards matched as
// themselves, the delete guard and clean-up over both loan tables, and the
// clearing of fully received subscriptions.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "app/OrderRules.h"
#include "app/PeriodicalRules.h"
#include "app/ReaderRules.h"
#include "app/uDMData.h"

#include <functional>

namespace {

class ReaderPeriodicalRulesTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        Exec("insert into Readerinfo (Code, Name, Py, SortCode, Department, TelDay, HandTel, Addr) values "
             "('2001', '张三', 'zs', '学生', '初一', '8001', '', '北京'), "
             "('2002', '李四', 'ls', '教师', '初一', '', '139', '上海'), "
             "('3001', '赵四', 'zs', '学生', '初二', '', '', 'O''Neil路'), "
             "('3002', '100%', 'bfb', '学生', '初二', '', '', '')");
        Exec("insert into Magzinfo (Code, Name, Py, SortCode, Scode, BookIsbn, Orderyear, PeriodNo, IsOut, IsNew, "
             "BookPosi) values "
             "('M1', '求是', 'qs', 'D6', 'D6/1', '1000-0001', '2024', '1', null, 1, 'A1'), "
             "('M2', '求是', 'qs', 'D6', 'D6/2', '1000-0001', '2024', '2', '外借', 1, 'A1'), "
             "('M3', '读者', 'dz', 'I2', 'I2/1', '1000-0002', '2023', '1', '报废', 0, 'B2'), "
             "('M4', '读者', 'dz', 'I2', 'I2/2', '1000-0002', '2024', '1', '', 1, 'B2')");
    }
    std::vector<std::string> codes(const TBoundSql& s) {
        TADOQuery q;
        q.SetConnection(dm->ADOConnection1);
        q.SetStatement(s);
        q.Open();
        std::vector<std::string> found;
        for (q.First(); !q.Eof(); q.Next()) found.push_back(q.FieldByName("Code")->AsString());
        std::sort(found.begin(), found.end());
        return found;
    }
};

using Codes = std::vector<std::string>;

struct ReaderCase {
    const char* name;
    TReaderCondition condition;
    Codes expected;
};

TEST_F(ReaderPeriodicalRulesTest, readerConditionsFindTheirReaders) {
    const ReaderCase cases[] = {
        {"nothingListsEveryone", {}, {"2001", "2002", "3001", "3002"}},
        {"codeAndNameGroup", {"2", "zs"}, {"2001"}},
        {"nameGroupWithType", {"", "四", "学生"}, {"3001"}},
        {"department", {"", "", "", "初二"}, {"3001", "3002"}},
        {"anyTelephone", {"", "", "", "", "139"}, {"2002"}},
        {"quoteInAddress", {"", "", "", "", "", "O'Neil"}, {"3001"}},
        {"percentAsItself", {"", "100%"}, {"3002"}},
    };
    for (const ReaderCase& c : cases) EXPECT_EQ(codes(ReaderConditionSql(c.condition)), c.expected) << c.name;
}

TEST_F(ReaderPeriodicalRulesTest, readerQuickSearchMatchesCodeNameOrTheStartOfAnInputCode) {
    EXPECT_EQ(codes(ReaderQuickSearchSql("zs")), (Codes{"2001", "3001"}));
    EXPECT_EQ(codes(ReaderQuickSearchSql("00")), (Codes{"2001", "2002", "3001", "3002"}));
    EXPECT_EQ(codes(ReaderQuickSearchSql("s")), (Codes{}));
    EXPECT_EQ(codes(ReaderQuickSearchSql("_")), (Codes{}));
    EXPECT_EQ(codes(ReaderQuickSearchSql("")).size(), 4u);
}

TEST_F(ReaderPeriodicalRulesTest, openLoansOfEitherTableGuardAReaderAndTheCleanUpTakesBoth) {
    Exec("insert into Borrowinfo (Code, Rcode, State) values ('B1', '2001', '已还')");
    Exec("insert into Borrowinfo1 (Code, Rcode, State) values ('M1', '2002', '未还'), ('M2', '2001', '预约')");
    TADOConnection* c = dm->ADOConnection1;
    EXPECT_FALSE(ReaderHasOpenLoans(c, "2001"));
    EXPECT_TRUE(ReaderHasOpenLoans(c, "2002"));
    DeleteReaderLoans(c, "2001");
    EXPECT_EQ(Rows("select Rcode from Borrowinfo union all select Rcode from Borrowinfo1"), (Codes{"2002"}));
}

struct MagzCase {
    const char* name;
    TMagzCondition condition;
    Codes expected;
};

TEST_F(ReaderPeriodicalRulesTest, periodicalConditionsAlwaysChooseCurrentOrBackIssues) {
    auto current = [](std::function<void(TMagzCondition&)> set) {
        TMagzCondition c;
        set(c);
        return c;
    };
    const MagzCase cases[] = {
        {"currentOnly", current([](auto&) {}), {"M1", "M2", "M4"}},
        {"backIssues", current([](auto& c) { c.Current = false; }), {"M3"}},
        {"yearExactly", current([](auto& c) { c.Year = "2024"; }), {"M1", "M2", "M4"}},
        {"inTheLibraryIncludesEmptyState", current([](auto& c) { c.State = "在馆"; }), {"M1", "M4"}},
        {"onLoan", current([](auto& c) { c.State = "外借"; }), {"M2"}},
        {"typedStateThatIsNoItem", current([](auto& c) { c.State = "在"; }), {"M1", "M2", "M4"}},
        {"nameByInputCode", current([](auto& c) { c.Name = "d"; }), {"M4"}},
        {"classAndIssue", current([](auto& c) {
             c.Sort = "D";
             c.PeriodNo = "2";
         }),
         {"M2"}},
        {"shelfExactly", current([](auto& c) { c.Posi = "B"; }), {}},
    };
    for (const MagzCase& c : cases) EXPECT_EQ(codes(MagzConditionSql(c.condition)), c.expected) << c.name;
}

TEST_F(ReaderPeriodicalRulesTest, periodicalQuickSearchByTextElseByClass) {
    EXPECT_EQ(codes(MagzQuickSearchSql("D6/2", "I2")), (Codes{"M2"}));
    EXPECT_EQ(codes(MagzQuickSearchSql("qs", "")), (Codes{"M1", "M2"}));
    EXPECT_EQ(codes(MagzQuickSearchSql("", "I")), (Codes{"M3", "M4"}));
    EXPECT_EQ(codes(MagzQuickSearchSql("", "")).size(), 4u);
}

TEST_F(ReaderPeriodicalRulesTest, subscriptionConditionsAndClearingFullyReceivedOnes) {
    Exec("insert into MagzOrder (Code, Name, Sortcode, Pubfreq, RegQty, BeBuy) values "
         "('S1', '求是', 'D61', '半月刊', 12, 12), ('S2', '读者', 'D6', '月刊', 12, 13), "
         "('S3', '新订', 'I2', '双月刊', 0, 0), ('S4', '半途', 'I2', '季刊', 6, 2)");
    EXPECT_EQ(codes(MagzOrderConditionSql({"", "", "", "", "D6"})), (Codes{"S1", "S2"}));
    // The class criterion after another one still means "contains".
    EXPECT_EQ(codes(MagzOrderConditionSql({"S", "", "", "", "D6"})), (Codes{"S1", "S2"}));
    TMagzOrderCondition monthly;
    monthly.Pubfreq = "月刊";
    EXPECT_EQ(codes(MagzOrderConditionSql(monthly)), (Codes{"S1", "S2", "S3"}));
    EXPECT_EQ(codes(MagzOrderSearchSql("读")), (Codes{"S2"}));
    EXPECT_EQ(ClearFullyReceivedOrders(dm->ADOConnection1, "MagzOrder"), 2);
    EXPECT_EQ(Rows("select Code from MagzOrder order by Code"), (Codes{"S3", "S4"}));
}

} // namespace
