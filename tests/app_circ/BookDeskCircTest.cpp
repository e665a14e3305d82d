// The book desk end to end: real window, real keys, real database, the
// message boxes answered through the seam, the database read after each
// save.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "ADODB.h"
#include "DBGrids.h"
#include "StdCtrls.h"
#include "CircFixture.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "app/uBookDest.h"
#include "app/uFindCode.h"
#include "app/uFindHuanDate.h"
#include "app/uBorrowBill.h"
#include "app/uGlobal.h"

namespace {

class BookDesk : public DeskFixture<TFrmBorrowBill> {
protected:
    void Key(Word key) { SendKeyToFocus(desk, key); }
    std::string Line(const std::string& code, const char* field) {
        EXPECT_TRUE(desk->AdoqData->Locate("code", Variant(code), loCaseInsensitive)) << code;
        return desk->AdoqData->FieldByName(field)->AsString();
    }
    void Info(const std::string& text) { script_->ExpectMessage(text, IDOK, "信息"); }
};

TEST_F(BookDesk, keyboardOnlyLendingOfThreeBooks) {
    Info("张三借书成功,本次借出3本！");
    Reader("R1");
    EXPECT_EQ(desk->ActiveControl(), desk->EditBCode);
    EXPECT_EQ(desk->EditRName->Text(), "张三");
    EXPECT_EQ(desk->EditCeQty->Text(), "3");
    Scan("B1");
    Scan("b2");
    Scan("B3");
    EXPECT_EQ(desk->EditQty->Text(), "3");
    EXPECT_EQ(desk->LoanCount, 3);
    Key(VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Rcode='R1' and State='未还' and BorrowDate='2025-03-10' "
                    "and ReturnDate='2025-04-09' and Operator='管理员'"),
              3);
    EXPECT_EQ(Scalar("select BookQty||'/'||Times||'/'||BorrowDate from Readerinfo where Code='R1'"), "3/1/2025-03-10");
    EXPECT_EQ(Scalar("select IsOut||'/'||Times||'/'||Borrowman||'/'||BorrowDate from Bookinfo where Code='B2'"),
              "外借/1/张三/2025-03-10");
    EXPECT_FALSE(desk->AdoqData->Active());
    EXPECT_EQ(desk->EditRCode->Text(), "");
}

TEST_F(BookDesk, loanLimitRefusesTheFirstCode) {
    for (const char* b : {"B1", "B2", "B3"}) Lend("Borrowinfo", b, "R1", 10);
    Info("借书数量超出3本,不能再借!");
    Reader("R1");
    Scan("B4");
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(desk->EditBCode->Text(), "");
    EXPECT_EQ(desk->AdoqData->RecordCount(), 3);
}

TEST_F(BookDesk, bookReservedByAnotherReaderCannotBeLentEvenToAnotherReserver) {
    Reserve("Borrowinfo", "B1", "R2", -3);
    Reserve("Borrowinfo", "B1", "R1", -1);
    Info("此书已经被他人预约,不能借出!");
    Reader("R1");
    Scan("B1");
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_TRUE(desk->AdoqData->IsEmpty());
}

TEST_F(BookDesk, ownReservationAsksAgainAndTheSaveReplacesItByTheLoan) {
    Reserve("Borrowinfo", "B1", "R1", -2);
    script_->ExpectMessage("这本书已经借过了,是否再借一次？", IDOK, "提示！");
    Info("张三借书成功,本次借出1本！");
    Reader("R1");
    Scan("B1");
    EXPECT_EQ(Line("B1", "State"), "新借");
    Key(VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Code='B1' and State='预约'"), 0);
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Code='B1' and State='未还' and Rcode='R1'"), 1);
}

TEST_F(BookDesk, successMessageCountsNewLoansOnly) {
    Lend("Borrowinfo", "B3", "R2", 10);
    script_->ExpectMessage("这本书被借出了,应还日为2025-03-20,是否预约？", IDYES, "提示！");
    Info("张三借书成功,本次借出2本！");
    Reader("R1");
    Scan("B1");
    Scan("B3");
    Scan("B2");
    EXPECT_EQ(Line("B3", "State"), "预约");
    EXPECT_EQ(desk->LoanCount, 2);
    Key(VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Rcode='R1' and State='未还'"), 2);
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Rcode='R1' and State='预约' and Code='B3' and "
                    "BorrowDate='2025-03-10' and ReturnDate is null"),
              1);
    EXPECT_EQ(Scalar("select BookQty||'/'||Times from Readerinfo where Code='R1'"), "2/1");
}

TEST_F(BookDesk, deleteKeyOnANewLoanLineLowersTheCountAndTheLoanCount) {
    Lend("Borrowinfo", "B3", "R1", 10);
    Reader("R1");
    Scan("B1");
    Scan("B2");
    EXPECT_EQ(desk->LoanCount, 3);
    desk->AdoqData->Locate("code", Variant("B1"), 0);
    SendKey(desk->DBGrid1, VK_DELETE);
    EXPECT_EQ(desk->EditQty->Text(), "1");
    EXPECT_EQ(desk->LoanCount, 2);
    desk->AdoqData->Locate("code", Variant("B3"), 0);
    SendKey(desk->DBGrid1, VK_DELETE);
    EXPECT_EQ(desk->EditQty->Text(), "1");
    EXPECT_EQ(desk->LoanCount, 2);
    EXPECT_EQ(desk->AdoqData->RecordCount(), 1);
}

TEST_F(BookDesk, quotesInReaderAndItemCodesLendAndReturnLikeAnyOther) {
    Info("奥'康纳借书成功,本次借出1本！");
    Reader("R'Q");
    EXPECT_EQ(desk->EditRName->Text(), "奥'康纳");
    Scan("B'7");
    Key(VK_F2);
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Code='B''7' and Rcode='R''Q' and State='未还'"), 1);
    EXPECT_EQ(Scalar("select Borrowman from Bookinfo where Code='B''7'"), "奥'康纳");

    Info("奥'康纳还书成功,本次还书1本！");
    Key(VK_F11);
    Scan("B'7");
    Key(VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Code='B''7' and State='已还'"), 1);
}

struct RenewRow {
    const char* name;
    int otherReservedOn; // day offset of the other reader's reservation
    int ownReservedOn;
    bool passes;
};

class BookDeskRenewal : public BookDesk, public ::testing::WithParamInterface<RenewRow> {};

TEST_P(BookDeskRenewal, needsTheEarliestReservationToBeTheBorrowers) {
    const RenewRow& r = GetParam();
    Lend("Borrowinfo", "B1", "R1", 5);
    Reserve("Borrowinfo", "B1", "R2", r.otherReservedOn);
    Reserve("Borrowinfo", "B1", "R1", r.ownReservedOn);
    Key(VK_F10);
    EXPECT_EQ(desk->BillTableCode, "Renewinfo");
    if (r.passes)
        Info("张三续借成功,本次续借1本！");
    else
        Info("此书已经被他人预约,不能续借!");
    Reader("R1");
    Scan("B1");
    if (r.passes) Key(VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Scalar("select RenewTimes||'/'||ReturnDate||'/'||ifnull(RenewDate,'') from Borrowinfo where Code='B1' "
                     "and State='未还'"),
              r.passes ? "1/2025-04-09/2025-03-10" : "0/2025-03-15/");
}

INSTANTIATE_TEST_SUITE_P(Rows, BookDeskRenewal,
                         ::testing::Values(RenewRow{"otherReaderEarliest", -5, -2, false},
                                           RenewRow{"borrowerEarliest", -2, -5, true}),
                         RowName());

TEST_F(BookDesk, renewalRefusedWhenOverdueOrAtTheLimit) {
    Lend("Borrowinfo", "B1", "R1", -1);
    Lend("Borrowinfo", "B2", "R1", 4, 1);
    Key(VK_F10);
    Info("此书已经超期,不能续借!");
    Info("此书已经续借1次,不能续借了!");
    Reader("R1");
    Scan("B1");
    Scan("B2");
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(desk->EditQty->Text(), "0");
}

TEST_F(BookDesk, returnFourDaysLateStoresDaysAndFineAndCountsTheOverdue) {
    Lend("Borrowinfo", "B1", "R1", -4);
    Lend("Borrowinfo", "B2", "R1", 3);
    Key(VK_F11);
    Info("张三还书成功,本次还书1本！");
    Reader("R1");
    Scan("B1");
    EXPECT_EQ(Line("B1", "State"), "新还");
    EXPECT_EQ(Line("B1", "ExceedDay"), "4");
    Key(VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(
        Scalar("select State||'/'||ReturnDate||'/'||cast(ExceedDay as integer)||'/'||ExceedFund from Borrowinfo where "
               "Code='B1'"),
        "已还/2025-03-10/4/0.8");
    EXPECT_EQ(Scalar("select BookQty||'/'||Overdue from Readerinfo where Code='R1'"), "1/1");
    EXPECT_EQ(Scalar("select ifnull(IsOut,'')||'/'||ifnull(Borrowman,'') from Bookinfo where Code='B1'"), "/");
    EXPECT_EQ(Scalar("select State from Borrowinfo where Code='B2'"), "未还");
}

TEST_F(BookDesk, returnWithAnEmptyReaderBoxLoadsTheBorrowerAndMarksTheLine) {
    Lend("Borrowinfo", "B1", "R1", 2);
    Lend("Borrowinfo", "B2", "R1", 2);
    Key(VK_F11);
    EXPECT_EQ(desk->ActiveControl(), desk->EditBCode);
    Scan("B2");
    EXPECT_EQ(desk->EditRCode->Text(), "R1");
    EXPECT_EQ(desk->EditRName->Text(), "张三");
    EXPECT_EQ(desk->AdoqData->RecordCount(), 2);
    EXPECT_EQ(Line("B2", "State"), "新还");
    EXPECT_EQ(Line("B1", "State"), "未还");
    EXPECT_EQ(desk->EditQty->Text(), "1");
}

TEST_F(BookDesk, returningAReservedBookListsJustItsReservationsEarliestFirst) {
    Lend("Borrowinfo", "B1", "R1", 2);
    Lend("Borrowinfo", "B2", "R1", 2);
    Reserve("Borrowinfo", "B2", "R'Q", -1);
    Reserve("Borrowinfo", "B2", "R2", -4);
    Reserve("Borrowinfo", "B3", "R2", -6);
    Key(VK_F11);
    Info("张三还书成功,本次还书2本！");
    std::vector<std::string> rows;
    script_->ExpectForm("FrmBookDest", mrOk, {}, [&](TCustomForm* f) {
        auto* list = dynamic_cast<TFrmBookDest*>(f);
        ASSERT_NE(list, nullptr);
        for (list->AdoqDest->First(); !list->AdoqDest->Eof(); list->AdoqDest->Next())
            rows.push_back(list->AdoqDest->FieldByName("Code")->AsString() + "/" +
                           list->AdoqDest->FieldByName("Rcode")->AsString() + "/" +
                           list->AdoqDest->FieldByName("ReaderName")->AsString());
    });
    Reader("R1");
    Scan("B1");
    Scan("B2");
    Key(VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(rows, (std::vector<std::string>{"B2/R2/李四", "B2/R'Q/奥'康纳"}));
}

struct SuspendedRow {
    const char* name;
    Word modeKey;
    bool loads;
};

class BookDeskSuspended : public BookDesk, public ::testing::WithParamInterface<SuspendedRow> {};

TEST_P(BookDeskSuspended, readerLoadsOnlyInReturnMode) {
    Lend("Borrowinfo", "B1", "R3", 2);
    Key(GetParam().modeKey);
    if (!GetParam().loads) Info("此读者已经被停用!");
    Reader("R3");
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(desk->EditRName->Text(), GetParam().loads ? "王五" : "");
    EXPECT_EQ(desk->EditRCode->Text(), GetParam().loads ? "R3" : "");
    EXPECT_EQ(desk->AdoqData->RecordCount(), GetParam().loads ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, BookDeskSuspended,
                         ::testing::Values(SuspendedRow{"borrow", VK_F9, false}, SuspendedRow{"renew", VK_F10, false},
                                           SuspendedRow{"returnMode", VK_F11, true}),
                         RowName());

struct DblClickRow {
    const char* name;
    bool ifFine;
    bool ifExcced;
    const char* fund;
};

class BookDeskDoubleClick : public BookDesk, public ::testing::WithParamInterface<DblClickRow> {};

TEST_P(BookDeskDoubleClick, returnByDoubleClickUsesFineSetting) {
    IfFine = GetParam().ifFine;
    IfExcced = GetParam().ifExcced;
    Lend("Borrowinfo", "B1", "R1", -3);
    Key(VK_F11);
    Reader("R1");
    desk->DBGrid1DblClick(desk->DBGrid1);
    EXPECT_EQ(Line("B1", "State"), "新还");
    EXPECT_EQ(Line("B1", "ExceedDay"), "3");
    EXPECT_EQ(CurrToStr(desk->AdoqData->FieldByName("ExceedFund")->AsCurrency()), GetParam().fund);
    EXPECT_EQ(desk->EditQty->Text(), "1");
}

INSTANTIATE_TEST_SUITE_P(Rows, BookDeskDoubleClick,
                         ::testing::Values(DblClickRow{"finesOnWarningsOff", true, false, "0.6"},
                                           DblClickRow{"finesOffWarningsOn", false, true, "0"}),
                         RowName());

TEST_F(BookDesk, itemCodeBeforeAnyReaderAsksForTheReader) {
    Info("请先输入读者编号!");
    Scan("B1");
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(desk->EditBCode->Text(), "");
}

TEST_F(BookDesk, enterInAnEmptyItemBoxSavesAndRefusesWithoutReader) {
    Info("请输入读者编号,否则不能存盘!");
    SendKey(desk->EditBCode, VK_RETURN);
    EXPECT_TRUE(script_->Unused().empty());
}

TEST_F(BookDesk, closingWithALoadedReaderAsksAndNoKeepsTheWindow) {
    Lend("Borrowinfo", "B1", "R1", 2);
    Reader("R1");
    script_->ExpectMessage("数据未存盘，是否退出？", IDNO, "提示！");
    Key(VK_ESCAPE);
    ProcessEvents();
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_TRUE(desk->Visible());
}

} // namespace

namespace {

TEST_F(BookDesk, rendersWithAReaderAndThreeLines) {
    Lend("Borrowinfo", "B4", "R1", 5);
    Reader("R1");
    Scan("B1");
    Scan("B2");
    desk->SetBounds(0, 0, 900, 560);
    ProcessEvents();
    EXPECT_EQ(desk->AdoqData->RecordCount(), 3);
    EXPECT_TRUE(SaveFormPng(desk, BUILD_DIR "/test-output/screens/circ-book-desk.png"));
}

} // namespace

namespace {

TEST_F(BookDesk, f5LooksUpTheReaderAndTheBookByKeyboard) {
    script_->ExpectForm("FrmFindReader", mrOk, {},
                        [](TCustomForm* f) { dynamic_cast<TFrmFindCode*>(f)->ChosenCode = "R2"; });
    script_->ExpectForm("FrmFindBook", mrOk, {},
                        [](TCustomForm* f) { dynamic_cast<TFrmFindCode*>(f)->ChosenCode = "B4"; });
    SendKey(desk->EditRCode, VK_F5);
    EXPECT_EQ(desk->EditRName->Text(), "李四");
    SendKey(desk->EditBCode, VK_F5);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Line("B4", "State"), "新借");
    EXPECT_EQ(desk->EditQty->Text(), "1");
}

} // namespace

namespace {

struct DueDateRow {
    const char* name;
    const char* picked; // nullptr: the picker is closed with Esc
    const char* stored;
};

class BookDeskDueDate : public BookDesk, public ::testing::WithParamInterface<DueDateRow> {};

TEST_P(BookDeskDueDate, doubleClickChangesTheDueDateOfANewLoan) {
    const DueDateRow& r = GetParam();
    std::string preset;
    script_->ExpectForm("FrmFindHuanDate", r.picked ? mrOk : mrCancel, {}, [&](TCustomForm* f) {
        auto* picker = dynamic_cast<TFrmFindHuanDate*>(f);
        preset = picker->ChosenDate;
        if (r.picked)
            picker->ChosenDate = r.picked;
        else
            SendKeyToFocus(picker, VK_ESCAPE);
    });
    Info("张三借书成功,本次借出1本！");
    Reader("R1");
    Scan("B1");
    desk->DBGrid1DblClick(desk->DBGrid1);
    EXPECT_EQ(preset, "2025-04-09");
    SendKeyToFocus(desk, VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Scalar("select ReturnDate from Borrowinfo where Code='B1'"), r.stored);
}

INSTANTIATE_TEST_SUITE_P(Rows, BookDeskDueDate,
                         ::testing::Values(DueDateRow{"picked", "2025-04-01", "2025-04-01"},
                                           DueDateRow{"escape", nullptr, "2025-04-09"}),
                         RowName());

struct EmptySaveRow {
    const char* name;
    Word modeKey;
    const char* message;
    const char* readerAfter; // BookQty/Times
};

class BookDeskNothingToSave : public BookDesk, public ::testing::WithParamInterface<EmptySaveRow> {};

TEST_P(BookDeskNothingToSave, billOfLoadedLoansOnlyWritesNothing) {
    Lend("Borrowinfo", "B1", "R1", 5);
    Key(GetParam().modeKey);
    Info(GetParam().message);
    Reader("R1");
    Key(VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Scalar("select State||'/'||RenewTimes||'/'||ReturnDate from Borrowinfo"), "未还/0/2025-03-15");
    EXPECT_EQ(Count("select count(*) from Borrowinfo"), 1);
    EXPECT_EQ(Scalar("select BookQty||'/'||Times from Readerinfo where Code='R1'"), GetParam().readerAfter);
}

INSTANTIATE_TEST_SUITE_P(Rows, BookDeskNothingToSave,
                         ::testing::Values(EmptySaveRow{"borrow", VK_F9, "请输入借书明细资料,否则不能存盘!", "1/0"},
                                           EmptySaveRow{"renew", VK_F10, "张三续借成功,本次续借0本！", "1/0"},
                                           EmptySaveRow{"returnMode", VK_F11, "张三还书成功,本次还书0本！", "1/0"}),
                         RowName());

TEST_F(BookDesk, scanningTheSameCodeTwiceAddsOneLine) {
    Reader("R1");
    Scan("B1");
    Scan("b1");
    EXPECT_EQ(desk->AdoqData->RecordCount(), 1);
    EXPECT_EQ(desk->EditQty->Text(), "1");
    EXPECT_EQ(desk->EditBCode->Text(), "");
}

struct RefusalRow {
    const char* name;
    const char* code;
    const char* message;
};

class BookDeskRefusal : public BookDesk, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(BookDeskRefusal, refusesTheCodeWithItsMessage) {
    Info(GetParam().message);
    Reader("R1");
    Scan(GetParam().code);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_TRUE(desk->AdoqData->IsEmpty());
    EXPECT_EQ(desk->EditBCode->Text(), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, BookDeskRefusal,
                         ::testing::Values(RefusalRow{"unknownCode", "X9", "无此编号图书,请重新输入!"},
                                           RefusalRow{"restrictedForTheReadersType", "B5", "此读者被限制借出此书!"},
                                           RefusalRow{"writtenOff", "B6", "此书已经报废,不能借出!"}),
                         RowName());

} // namespace

namespace {

TEST_F(BookDesk, f6ListsTheReadersReservationsAndF7ShowsTheContactCard) {
    Reserve("Borrowinfo", "B1", "R1", -1);
    Reserve("Borrowinfo", "B2", "R2", -2);
    std::vector<std::string> codes;
    script_->ExpectForm("FrmBookDest", mrOk, {}, [&](TCustomForm* f) {
        auto* list = dynamic_cast<TFrmBookDest*>(f);
        for (list->AdoqDest->First(); !list->AdoqDest->Eof(); list->AdoqDest->Next())
            codes.push_back(list->AdoqDest->FieldByName("Code")->AsString());
    });
    std::string phones;
    script_->ExpectForm("FrmReaderDetail", mrOk, {}, [&](TCustomForm* f) {
        phones = f->FindComponent("Memo1") ? dynamic_cast<TMemo*>(f->FindComponent("Memo1"))->Text() : "";
    });
    Reader("R1");
    Key(VK_F6);
    Key(VK_F7);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(codes, (std::vector<std::string>{"B1"}));
    EXPECT_NE(phones.find("电话(日):010-1"), std::string::npos);
    EXPECT_NE(phones.find("手机:139"), std::string::npos);
}

} // namespace

namespace {

struct RenewClickRow {
    const char* name;
    bool reservedByOther;
    const char* message; // nullptr: the line is renewed
};

class BookDeskRenewClick : public BookDesk, public ::testing::WithParamInterface<RenewClickRow> {};

TEST_P(BookDeskRenewClick, doubleClickRenewsUnlessAnotherReaderWaits) {
    Lend("Borrowinfo", "B1", "R1", 5);
    if (GetParam().reservedByOther) Reserve("Borrowinfo", "B1", "R2", -1);
    Key(VK_F10);
    Reader("R1");
    if (GetParam().message) Info(GetParam().message);
    try {
        desk->DBGrid1DblClick(desk->DBGrid1);
    } catch (const EAbort&) {}
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Line("B1", "State"), GetParam().message ? "未还" : "续借");
    EXPECT_EQ(Line("B1", "ReturnDate"), GetParam().message ? "2025-03-15" : "2025-04-09");
    EXPECT_EQ(desk->EditQty->Text(), GetParam().message ? "0" : "1");
}

INSTANTIATE_TEST_SUITE_P(Rows, BookDeskRenewClick,
                         ::testing::Values(RenewClickRow{"free", false, nullptr},
                                           RenewClickRow{"reservedByOther", true, "此书已经被预约,不能续借!"}),
                         RowName());

} // namespace
