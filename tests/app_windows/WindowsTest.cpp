// One test over every window of the program: each is built as the program
// builds it and checked by CheckWindow (WindowCheck.h): component names
// unique and carried by their widgets, every control inside its parent's
// client area, tab order in reading order within each parent, and every
// handler the window's builder bound still bound.
#include <gtest/gtest.h>

#include "Forms.h"
#include "TestKit.h"
#include "WindowCheck.h"

#include "app/about.h"
#include "app/uBackupExit.h"
#include "app/uBarHelp.h"
#include "app/uBaseCond.h"
#include "app/uBaseDataEdit.h"
#include "app/uBookCond.h"
#include "app/uBookData.h"
#include "app/uBookDataEdit.h"
#include "app/uBookDest.h"
#include "app/uBookRejectData.h"
#include "app/uBookRejectDataEdit.h"
#include "app/uBookExccedlist.h"
#include "app/uBorrowBill.h"
#include "app/uBorrowBill1.h"
#include "app/uBookPubDataEdit.h"
#include "app/uChangePassword.h"
#include "app/uClearData.h"
#include "app/uDMData.h"
#include "app/uFindBook.h"
#include "app/uFindBookSet.h"
#include "app/uFindCode.h"
#include "app/uFindHuanDate.h"
#include "app/uFindMagz.h"
#include "app/uFindPublish.h"
#include "app/uFindReaderSort.h"
#include "app/uFirstData.h"
#include "app/uFindReader.h"
#include "app/uFindSupplier.h"
#include "app/uGlobal.h"
#include "app/uBookPubData.h"
#include "app/uLogin.h"
#include "app/uMagzCond.h"
#include "app/uMagzData.h"
#include "app/uBookMemo.h"
#include "app/uBookMemo1.h"
#include "app/uBookShortCond.h"
#include "app/uBookShortData.h"
#include "app/uBookShortDataEdit.h"
#include "app/uMagzOrderCond.h"
#include "app/uMagzOrderData.h"
#include "app/uMagzRejectData.h"
#include "app/uReaderData.h"
#include "app/uReaderTypeData.h"
#include "app/uMagzDataEdit.h"
#include "app/uMagzMemo.h"
#include "app/uMagzOrderDataEdit.h"
#include "app/uMagzRejectDataEdit.h"
#include "app/uPrintBar.h"
#include "app/uPrintReaderCard.h"
#include "app/uReaderCond.h"
#include "app/uReaderDataEdit.h"
#include "app/uMDIBase.h"
#include "app/uMDIBaseData.h"
#include "app/uMagzDest.h"
#include "app/uMagzExccedlist.h"
#include "app/uMain.h"
#include "app/uMainIDE.h"
#include "app/uMarcIn.h"
#include "app/uBookPreData.h"
#include "app/uBookDataPreEdit.h"
#include "app/uImportData.h"
#include "app/uParameter.h"
#include "app/uReaderFirstData.h"
#include "app/uReaderTypeDataEdit.h"
#include "app/uReaderDetail.h"
#include "app/uRightSet.h"
#include "app/uShortCut.h"
#include "app/uShowProcMess.h"
#include "app/uSortSet.h"
#include "app/uStartup.h"
#include "app/uSysDate.h"
#include "app/useradd.h"
#include "app/uBaseQuery.h"
#include "app/uSetInterface.h"
#include "app/uBorrowCond.h"
#include "app/uLentCond.h"
#include "app/uOperCond.h"
#include "app/uBorrowOrderCond.h"
#include "app/uBorrowOrderCond1.h"
#include "app/uQryBorrow.h"
#include "app/uQryBorrow1.h"
#include "app/uQryLent.h"
#include "app/uQryLent1.h"
#include "app/uQryOperator.h"
#include "app/uQryOperator1.h"
#include "app/uQryBorrowOrder.h"
#include "app/uQryBorrowOrderq.h"
#include "app/uQryBorrowOrder1.h"
#include "app/uQryBorrowOrderq1.h"
#include "app/uQryDayBorrow.h"
#include "app/uQryDayBorrow1.h"
#include "app/uQryDayLent.h"
#include "app/uQryDayLent1.h"
#include "app/uQryDayIn.h"
#include "app/uQryDayIn1.h"
#include "app/uQryDayReject.h"
#include "app/uQryDayReject1.h"
#include "app/uQryBorrowList.h"
#include "app/uQryBorrowList1.h"
#include "app/uQryBorrowS.h"
#include "app/uQryBorrowqS.h"
#include "app/uQryBookDataS.h"
#include "app/uQryMagzDataS.h"
#include "app/uBaseChart.h"
#include "app/uBorrowStatChart.h"
#include "app/uReaderfine.h"
#include "app/uReaderfine1.h"

#include <functional>
#include <memory>

#include "support/ProgramFolder.h"
#include "support/TestNames.h"

namespace {

struct WindowRow {
    const char* name;
    std::function<TCustomForm*(TComponent*)> make;
    TWindowCheck rules;
};

template <class T>
std::function<TCustomForm*(TComponent*)> make() {
    return [](TComponent* owner) { return new T(owner); };
}

// Every window of the program. A new window joins this table; a tab order
// that a window fixes against reading order is named in its row's rules
// with the reason.
const WindowRow windows[] = {
    {"about", make<Taboutform>()},
    {"backupExit", make<TFrmBackupExit>()},
    {"barHelp", make<TFrmBarHelp>()},
    {"baseCondition", make<TFrmBaseCond>()},
    {"baseDataEdit", make<TFrmBaseDataEdit>()},
    {"bookReservations", make<TFrmBookDest>()},
    {"magzReservations", make<TFrmMagzDest>()},
    {"bookOverdue", make<TFrmBookExceedList>()},
    {"magzOverdue", make<TFrmMagzExceedList>()},
    {"deskBase", make<TMDIBase>()},
    {"bookDesk", make<TFrmBorrowBill>()},
    {"magzDesk", make<TFrmBorrowBill1>()},
    {"changePassword", make<TFrmChangePassword>()},
    {"findCode", make<TFrmFindCode>()},
    {"findBook", make<TFrmFindBook>()},
    {"findMagz", make<TFrmFindMagz>()},
    {"findReader", make<TFrmFindReader>()},
    {"findSupplier", make<TFrmFindSupplier>()},
    {"findDueDate", make<TFrmFindHuanDate>()},
    {"login", make<TFrmLogin>()},
    {"main", make<TFrmMain>()},
    {"navigation", make<TFrmMainIDE>()},
    {"readerDetail", make<TFrmReaderDetail>()},
    {"rights", make<TFrmRightSet>()},
    {"operatorEditor", make<TFrmUseradd>()},
    {"shortcuts", make<TFrmShortCut>()},
    {"progress", make<TFrmShowProcMess>()},
    {"startup", make<TFrmStartup>()},
    {"businessDate", make<TFrmSysDate>()},
    {"clearData", make<TFrmClearData>()},
    {"settings", make<TFrmParameter>()},
    {"classTree", make<TFrmSortSet>()},
    {"classEditor", make<TFrmSortSetEdit>()},
    {"marcImport", make<TFrmMarcIn>()},
    {"importWizard", make<TFrmImportData>()},
    {"bookWordLists", make<TFrmFirstData>()},
    {"readerWordLists", make<TFrmReaderFirstData>()},
    {"findPublisher", make<TFrmFindPublish>()},
    {"publisherEditor", make<TFrmBookPubDataEdit>()},
    {"findReaderType", make<TFrmFindReaderSort>()},
    {"readerTypeEditor", make<TFrmReaderTypeDataEdit>()},
    {"listBase", make<TMDIBaseData>()},
    {"readerEditor", make<TFrmReaderDataEdit>()},
    {"readerCondition", make<TFrmReaderCond>()},
    {"readerCards", make<TFrmPrintReaderCard>()},
    {"labels", make<TFrmPrintBar>()},
    {"periodicalEditor", make<TFrmMagzDataEdit>()},
    {"periodicalContents", make<TFrmMagzMemo>()},
    {"periodicalWriteOffEditor", make<TFrmMagzRejectDataEdit>()},
    {"subscriptionEditor", make<TFrmMagzOrderDataEdit>()},
    {"orderingEditor", make<TFrmBookShortDataEdit>()},
    {"bookSynopsis", make<TFrmBookMemo>()},
    {"bookAbstract", make<TFrmBookMemo1>()},
    {"readerList", make<TFrmReaderData>()},
    {"readerTypeList", make<TFrmReaderTypeData>()},
    {"publisherList", make<TFrmBookPubData>()},
    {"periodicalList", make<TFrmMagzData>()},
    {"periodicalCondition", make<TFrmMagzCond>()},
    {"subscriptionList", make<TFrmMagzOrderData>()},
    {"subscriptionCondition", make<TFrmMagzOrderCond>()},
    {"orderingList", make<TFrmBookShortData>()},
    {"orderingCondition", make<TFrmBookShortCond>()},
    {"periodicalWriteOffList", make<TFrmMagzRejectData>()},
    {"queryBase", make<TMDIBaseQuery>()},
    {"layoutEditor", make<TFrmSetInterface>()},
    {"loanCondition", make<TFrmBorrowCond>()},
    {"returnCondition", make<TFrmLentCond>()},
    {"operatorCondition", make<TFrmOperCond>()},
    {"readerRankingCondition", make<TFrmBorrowOrderCond>()},
    {"itemRankingCondition", make<TFrmBorrowOrderCond1>()},
    {"loanQuery", make<TFrmQryBorrow>()},
    {"magzLoanQuery", make<TFrmQryBorrow1>()},
    {"returnQuery", make<TFrmQryLent>()},
    {"magzReturnQuery", make<TFrmQryLent1>()},
    {"operatorQuery", make<TFrmQryOperator>()},
    {"magzOperatorQuery", make<TFrmQryOperator1>()},
    {"readerRanking", make<TFrmQryBorrowOrder>()},
    {"magzReaderRanking", make<TFrmQryBorrowOrderq>()},
    {"itemRanking", make<TFrmQryBorrowOrder1>()},
    {"magzRanking", make<TFrmQryBorrowOrderq1>()},
    {"dayLoans", make<TFrmQryDayBorrow>()},
    {"magzDayLoans", make<TFrmQryDayBorrow1>()},
    {"dayReturns", make<TFrmQryDayLent>()},
    {"magzDayReturns", make<TFrmQryDayLent1>()},
    {"dayIntake", make<TFrmQryDayIn>()},
    {"magzDayIntake", make<TFrmQryDayIn1>()},
    {"dayWriteOffs", make<TFrmQryDayReject>()},
    {"magzDayWriteOffs", make<TFrmQryDayReject1>()},
    {"overdueQuery", make<TFrmQryBorrowList>()},
    {"magzOverdueQuery", make<TFrmQryBorrowList1>()},
    {"loanStatistics", make<TFrmQryBorrowS>()},
    {"magzLoanStatistics", make<TFrmQryBorrowqS>()},
    {"holdings", make<TFrmQryBookDataS>()},
    {"magzHoldings", make<TFrmQryMagzDataS>()},
    {"chart", make<TFrmBaseChart>()},
    {"loanChart", make<TFrmBorrowStatChart>()},
    {"bookFines", make<TFrmReaderFine>()},
    {"magzFines", make<TFrmReaderFine1>()},
    {"bookList", make<TFrmBookData>()},
    {"bookEditor", make<TFrmBookDataEdit>()},
    {"bookCondition", make<TFrmBookCond>()},
    {"bookCopyChooser", make<TFrmFindBookSet>()},
    {"bookWriteOffs", make<TFrmBookRejectData>()},
    {"bookWriteOffEditor", make<TFrmBookRejectDataEdit>()},
    {"preCatalogueList", make<TFrmBookPreData>()},
    {"preCatalogueEditor", make<TFrmBookPreDataEdit>()},
};

class Window : public ::testing::TestWithParam<WindowRow> {
protected:
    void SetUp() override {
        folder_ = std::make_unique<TestProgramFolder>("appwindows");
        DatabasePath.clear();
        script_.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        dm_.reset(new TDMData(nullptr));
        ASSERT_TRUE(dm_->Opened());
    }
    void TearDown() override {
        ProcessEvents();
        dm_.reset();
        DMData = nullptr;
        folder_.reset();
    }
    TSeamScript script_;
    std::unique_ptr<TestProgramFolder> folder_;
    std::unique_ptr<TDMData> dm_;
};

TEST_P(Window, isBuiltSoundly) {
    std::unique_ptr<TCustomForm> form(GetParam().make(Application));
    EXPECT_EQ(CheckWindow(form.get(), GetParam().rules), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(App, Window, ::testing::ValuesIn(windows), RowName());

} // namespace
