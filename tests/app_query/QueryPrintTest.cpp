// Every query window prints its list through the built-in PDF printer: the
// library's name and the condition line on every page (the window's own
// title too where it has one), and a row of its result in the text that
// pdftotext reads back. The files go to the print folder and its index.
#include "QueryFixture.h"

#include "Buttons.h"
#include "StdCtrls.h"
#include "app/uBorrowCond.h"
#include "app/uBorrowOrderCond.h"
#include "app/uBorrowOrderCond1.h"
#include "app/uGlobal.h"
#include "app/uLentCond.h"
#include "app/uOperCond.h"
#include "app/uQryBookDataS.h"
#include "app/uQryBorrow.h"
#include "app/uQryBorrow1.h"
#include "app/uQryBorrowList.h"
#include "app/uQryBorrowList1.h"
#include "app/uQryBorrowOrder.h"
#include "app/uQryBorrowOrder1.h"
#include "app/uQryBorrowOrderq.h"
#include "app/uQryBorrowOrderq1.h"
#include "app/uQryBorrowS.h"
#include "app/uQryBorrowqS.h"
#include "app/uQryDayBorrow.h"
#include "app/uQryDayBorrow1.h"
#include "app/uQryDayIn.h"
#include "app/uQryDayIn1.h"
#include "app/uQryDayLent.h"
#include "app/uQryDayLent1.h"
#include "app/uQryDayReject.h"
#include "app/uQryDayReject1.h"
#include "app/uQryLent.h"
#include "app/uQryLent1.h"
#include "app/uQryMagzDataS.h"
#include "app/uQryOperator.h"
#include "app/uQryOperator1.h"

#include <functional>
#include <memory>

namespace {

struct PrintRow {
    const char* name;
    std::function<TMDIBaseQuery*(TComponent*)> make;
    const char* dialog;    // the condition dialog the find button opens, confirmed as it comes; "" for none
    const char* condition; // the condition line on every page
    const char* title;     // the report title on every page; "" for none
    const char* row;       // a text of the result on the first page
};
void PrintTo(const PrintRow& r, std::ostream* os) { *os << r.name; }

template <class W>
TMDIBaseQuery* make(TComponent* owner) {
    return new W(owner);
}

class QueryPrint : public QueryFixture, public ::testing::WithParamInterface<PrintRow> {};

TEST_P(QueryPrint, everyPageCarriesTheLibraryAndTheCondition) {
    const PrintRow& r = GetParam();
    LoanFixture();
    Exec("update Bookinfo set RegDate='2011-05-15' where Code='B1'");
    Exec("update Magzinfo set RegDate='2011-05-15' where Code='M1'");
    Exec("insert into BookReject (Code, RejectDate) values ('B3', '2011-05-15')");
    Exec("insert into MagzReject (Code, RejectDate) values ('M1', '2011-05-15')");
    // Overdue on the business date, and lent and returned on it.
    Exec("insert into Borrowinfo (Code, Rcode, State, BorrowDate, ReturnDate) values "
         "('B3', 'R120', '未还', '2011-04-01', '2011-05-01'), ('B2', 'R3', '已还', '2011-05-15', '2011-05-15')");
    Exec("insert into Borrowinfo1 (Code, Rcode, State, BorrowDate, ReturnDate) values "
         "('M1', 'R3', '未还', '2011-04-01', '2011-05-01'), ('M1', 'R12', '已还', '2011-05-15', '2011-05-15')");
    Exec("insert into Type (sKey, SortCode, SortName, ParentKey) values ('0000', 'A1', '文学', '00')");
    std::unique_ptr<TMDIBaseQuery> w(r.make(Application));
    ShowAndActivate(w.get());
    if (*r.dialog) {
        script.ExpectForm(r.dialog, mrOk, {}, [](TCustomForm* f) { SendClick(FindControl(f, "BtConfirm")); });
        SendClick(w->BtFind);
    }
    ASSERT_FALSE(w->ADOQueryBill->IsEmpty()) << "nothing to print";
    const std::string file = std::string("query-") + r.name + ".pdf";
    const std::string pdf = PdfTarget(file);
    w->N1Click(nullptr);
    const auto pages = PdfPages(pdf);
    ListInIndex(file, std::string(w->Caption()) + ", printed from its window", int(pages.size()), r.condition);
    ASSERT_GE(pages.size(), 1u);
    EXPECT_EQ(w->ConditionCaption, r.condition);
    EXPECT_NE(pages[0].find(r.row), std::string::npos) << pages[0];
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_NE(pages[i].find("测试图书馆"), std::string::npos) << i;
        EXPECT_NE(pages[i].find(r.condition), std::string::npos) << i << pages[i];
        if (*r.title)
            EXPECT_NE(pages[i].find(r.title), std::string::npos) << i;
        else
            EXPECT_EQ(pages[i].find("分类统计"), std::string::npos) << i << ": a title of another window";
    }
}

const char* const kLoans = "借书日期: 从2011-05-01 到 2011-05-15";
const char* const kReturns = "还书日期: 从2011-05-01 到 2011-05-15";
const char* const kDay = "日期: 2011-05-15";

INSTANTIATE_TEST_SUITE_P(
    Windows, QueryPrint,
    ::testing::Values(
        PrintRow{"bookLoans", make<TFrmQryBorrow>, "TFrmBorrowCond", kLoans, "", "B1"},
        PrintRow{"periodicalLoans", make<TFrmQryBorrow1>, "TFrmBorrowCond", kLoans, "", "M1"},
        PrintRow{"bookReturns", make<TFrmQryLent>, "TFrmLentCond", kReturns, "", "B2"},
        PrintRow{"periodicalReturns", make<TFrmQryLent1>, "TFrmLentCond", kReturns, "", "M1"},
        PrintRow{"bookOperators", make<TFrmQryOperator>, "TFrmOperCond", kLoans, "", "B1"},
        PrintRow{"periodicalOperators", make<TFrmQryOperator1>, "TFrmOperCond", kLoans, "", "M1"},
        PrintRow{"bookReaderRanking", make<TFrmQryBorrowOrder>, "TFrmBorrowOrderCond", kLoans, "", "R12"},
        PrintRow{"periodicalReaderRanking", make<TFrmQryBorrowOrderq>, "TFrmBorrowOrderCond", kLoans, "", "R120"},
        PrintRow{"bookItemRanking", make<TFrmQryBorrowOrder1>, "TFrmBorrowOrderCond1", kLoans, "", "B2"},
        PrintRow{"periodicalItemRanking", make<TFrmQryBorrowOrderq1>, "TFrmBorrowOrderCond1", kLoans, "", "M1"},
        PrintRow{"bookOverdue", make<TFrmQryBorrowList>, "", kDay, "", "B3"},
        PrintRow{"periodicalOverdue", make<TFrmQryBorrowList1>, "", kDay, "", "M1"},
        PrintRow{"bookLoanStatistics", make<TFrmQryBorrowS>, "", kLoans, "图书借阅分类统计", "A1"},
        PrintRow{"periodicalLoanStatistics", make<TFrmQryBorrowqS>, "", kLoans, "期刊借阅分类统计", "A1"},
        PrintRow{"bookHoldings", make<TFrmQryBookDataS>, "", "", "", "A1"},
        PrintRow{"periodicalHoldings", make<TFrmQryMagzDataS>, "", "", "", "A1"},
        PrintRow{"bookIntake", make<TFrmQryDayIn>, "", kDay, "", "B1"},
        PrintRow{"periodicalIntake", make<TFrmQryDayIn1>, "", kDay, "", "M1"},
        PrintRow{"bookDailyLoans", make<TFrmQryDayBorrow>, "", kDay, "", "B2"},
        PrintRow{"periodicalDailyLoans", make<TFrmQryDayBorrow1>, "", kDay, "", "M1"},
        PrintRow{"bookDailyReturns", make<TFrmQryDayLent>, "", kDay, "", "B2"},
        PrintRow{"periodicalDailyReturns", make<TFrmQryDayLent1>, "", kDay, "", "M1"},
        PrintRow{"bookWriteOffs", make<TFrmQryDayReject>, "", kDay, "", "B3"},
        PrintRow{"periodicalWriteOffs", make<TFrmQryDayReject1>, "", kDay, "", "M1"}),
    RowName());

} // namespace
