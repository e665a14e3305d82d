// The circulation rules without a window: overdue days, fines, due dates,
// and the statements built from codes holding a quote.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "CircFixture.h"
#include "app/Circulation.h"

namespace {

struct OverdueRow {
    const char* name;
    int dueOffset;
    int expected;
};

class OverdueDaysTest : public ::testing::TestWithParam<OverdueRow> {};

TEST_P(OverdueDaysTest, countsWholeDaysPastTheDueDate) {
    EXPECT_EQ(OverdueDays(Day(GetParam().dueOffset), Day(0)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, OverdueDaysTest,
                         ::testing::Values(OverdueRow{"dueToday", 0, 0}, OverdueRow{"dueYesterday", -1, 1},
                                           OverdueRow{"fourDaysLate", -4, 4}, OverdueRow{"dueLater", 3, 0},
                                           OverdueRow{"aYearLate", -365, 365}),
                         RowName());

struct FineRow {
    const char* name;
    int days;
    int64_t perDayRaw;
    bool charge;
    int64_t expectedRaw;
};

class OverdueFineTest : public ::testing::TestWithParam<FineRow> {};

TEST_P(OverdueFineTest, isExactMoney) {
    const FineRow& r = GetParam();
    EXPECT_EQ(OverdueFine(r.days, Currency::FromRaw(r.perDayRaw), r.charge), Currency::FromRaw(r.expectedRaw));
}

INSTANTIATE_TEST_SUITE_P(Rows, OverdueFineTest,
                         ::testing::Values(FineRow{"halfTimesThree", 3, 5000, true, 15000},
                                           FineRow{"fifthTimesFour", 4, 2000, true, 8000},
                                           FineRow{"tenthTimesThirtyThree", 33, 1000, true, 33000},
                                           FineRow{"finesOff", 5, 2000, false, 0},
                                           FineRow{"notOverdue", 0, 2000, true, 0}),
                         RowName());

TEST(DueDate, addsTheLoanPeriod) {
    EXPECT_EQ(SqlDate(DueDate(Day(0), 30)), "2025-04-09");
    EXPECT_EQ(SqlDate(DueDate(Day(0), 0)), "2025-03-10");
}

// Statement builders as (text, values): typed text and dates never enter
// the text.
TEST(CirculationSql, typedTextAndDatesAreValuesNotText) {
    const std::string select =
        "select a.Id, a.Code,b.name as BookName,a.Rcode,c.Name as ReaderName,a.BorrowDate from (Borrowinfo a "
        "left join Bookinfo b on a.Code=b.Code) left join Readerinfo c on a.RCode=c.Code ";
    const TBoundSql search = ReservationSearchSql(TItemKind::Book, "O'K 5%_");
    EXPECT_EQ(search.Text, select + "where a.State='预约' and (a.code=? or b.Name like ? escape '\\')  order by "
                                    "a.BorrowDate");
    EXPECT_EQ(search.Values, (std::vector<Variant>{"O'K 5%_", "%O'K 5\\%\\_%"}));
    const TBoundSql codes = ReservationsOfCodesSql(TItemKind::Book, {"B1", "B'7"});
    EXPECT_EQ(codes.Text, select + "where a.State='预约' and ( a.Code=? or a.Code=?) order by a.BorrowDate");
    EXPECT_EQ(codes.Values, (std::vector<Variant>{"B1", "B'7"}));
    const TBoundSql overdue = OverdueListSql(TItemKind::Periodical, Day(0));
    EXPECT_EQ(overdue.Text, "select * from QryBorrow1 where State='未还' and ReturnDate<?");
    ASSERT_EQ(overdue.Values.size(), 1u);
    EXPECT_EQ(overdue.Values[0].Type(), varDate);
    EXPECT_EQ(overdue.Values[0].AsDateTime().Val, Day(0).Val);
}

} // namespace
