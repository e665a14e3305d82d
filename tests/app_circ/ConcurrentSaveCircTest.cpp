// Two desks on two connections: what one desk's scan checked, another desk
// changes before the save (a renewal, a loan to the same reader, a
// write-off, a suspension). The save re-checks under its write lock, the
// loser gets the conflict message naming the item, and nothing of its bill
// is written. Also money saved under a locale with a decimal comma.
#include <gtest/gtest.h>

#include "ADODB.h"
#include "CircFixture.h"
#include "StdCtrls.h"
#include "app/Circulation.h"
#include "app/uBorrowBill.h"
#include "app/uDMData.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "support/TestNames.h"

#include <functional>

namespace {

TBill billOf(const std::string& reader, std::initializer_list<TBillLine> lines) {
    TBill bill;
    bill.Reader = reader;
    bill.ReaderName = "读者";
    bill.Operator = "x";
    bill.BusinessDate = Day(0);
    bill.Lines = lines;
    return bill;
}

TBillLine loanLine(const std::string& code) {
    return TBillLine{code, CircWord::NewLoan, Day(0), Day(30), TDateTime(), 0, Currency()};
}

TBillLine renewLine(const std::string& code) {
    return TBillLine{code, CircWord::Renewed, Day(0), Day(30), Day(0), 0, Currency()};
}

class TwoDesks : public CircFixture {
protected:
    void SetUp() override {
        CircFixture::SetUp();
        other.SetConnectionString(ConnectionStringFor(dbFile_));
        other.Open();
    }
    void TearDown() override {
        other.Close();
        CircFixture::TearDown();
    }
    // The message of the conflict a save raises ("" when it saves).
    std::string conflictOf(const std::function<void()>& save) {
        try {
            save();
        } catch (const ELoanConflict& e) {
            EXPECT_FALSE(Conn()->InTransaction());
            return e.Message;
        }
        return "";
    }
    // Everything a lending or renewal save may change, to compare before
    // and after a refused save.
    std::string state() {
        return Scalar(
            "select group_concat(x, ';') from (select Code||'/'||Rcode||'/'||State||'/'||ifnull(RenewTimes,0) "
            "as x from Borrowinfo union all select Code||'/'||ifnull(IsOut,'')||'/'||ifnull(Times,0)||'/'||"
            "ifnull(Borrowman,'') from Bookinfo union all select Code||'/'||BookQty||'/'||Times||'/'||"
            "ifnull(BorrowDate,'') from Readerinfo)");
    }
    TADOConnection other;
};

TEST_F(TwoDesks, renewalLimitIsCheckedAgainstTheRenewalsOfTheOtherDesk) {
    Lend("Borrowinfo", "B1", "R1", 10); // 学生: one renewal allowed
    int renewTimes = -1;
    ASSERT_EQ(CheckRenew(Conn(), TItemKind::Book, "B1", "R1", Day(0), 1, renewTimes), TRenewVerdict::Renew);
    ASSERT_EQ(CheckRenew(&other, TItemKind::Book, "B1", "R1", Day(0), 1, renewTimes), TRenewVerdict::Renew);
    SaveRenewBill(&other, billOf("R1", {renewLine("B1")}));
    const std::string before = state();
    EXPECT_EQ(conflictOf([&] { SaveRenewBill(Conn(), billOf("R1", {renewLine("B1")})); }),
              "此书(B1)已经达到续借次数,本次存盘已全部取消！");
    EXPECT_EQ(state(), before);
    EXPECT_EQ(Scalar("select RenewTimes from Borrowinfo where Code='B1' and State='未还'"), "1");
    EXPECT_EQ(Scalar("select Times from Bookinfo where Code='B1'"), "1");
}

TEST_F(TwoDesks, aReturnedLoanIsStillReportedAsReturnedToTheRenewingDesk) {
    Lend("Borrowinfo", "B1", "R1", 10);
    SaveReturnBill(&other,
                   billOf("R1", {TBillLine{"B1", CircWord::NewReturn, Day(-20), Day(0), TDateTime(), 0, Currency()}}));
    EXPECT_EQ(conflictOf([&] { SaveRenewBill(Conn(), billOf("R1", {renewLine("B1")})); }),
              "此书(B1)已经归还,本次存盘已全部取消！");
}

// What the other desk does between this desk's scan of B1 (and B2) for
// the reader and this desk's save.
struct LendingRace {
    const char* name;
    const char* reader;
    std::function<void(TwoDesks*, TADOConnection*)> meanwhile;
    const char* message;
};

class TwoDesksLending : public TwoDesks, public ::testing::WithParamInterface<LendingRace> {};

TEST_P(TwoDesksLending, theLaterSaveIsRefusedNamingTheItemAndWritesNothing) {
    const LendingRace& r = GetParam();
    Exec("update ReaderType set CeQty=2 where Code='学生'");
    for (const char* code : {"B2", "B1"}) {
        TBorrowScan scan;
        scan.Code = code;
        scan.Reader = r.reader;
        scan.LoanCount = code[1] == '2' ? 0 : 1;
        scan.LoanLimit = 2;
        TItemInfo item;
        ASSERT_EQ(CheckBorrow(Conn(), TItemKind::Book, scan, item), TBorrowVerdict::Lend) << code;
    }
    r.meanwhile(this, &other);
    const std::string before = state();
    EXPECT_EQ(conflictOf([&] {
                  SaveBorrowBill(Conn(), billOf(r.reader, {loanLine("B2"), loanLine("B1")}));
              }),
              r.message);
    EXPECT_EQ(state(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TwoDesksLending,
    ::testing::Values(
        LendingRace{"readerLoanLimit", "R2",
                    [](TwoDesks*, TADOConnection* c) { SaveBorrowBill(c, billOf("R2", {loanLine("B3")})); },
                    "此书(B1)超出此读者的借书数量,本次存盘已全部取消！"},
        LendingRace{"writtenOffItem", "R2",
                    [](TwoDesks*, TADOConnection* c) {
                        c->Execute("update Bookinfo set IsOut=? where Code=?", {CircWord::WrittenOff, "B1"});
                    },
                    "此书(B1)已经报废,本次存盘已全部取消！"},
        LendingRace{"suspendedReader", "R2",
                    [](TwoDesks*, TADOConnection* c) {
                        c->Execute("update Readerinfo set Isstop=? where Code=?", {true, "R2"});
                    },
                    "此书(B2)的读者已经被停用,本次存盘已全部取消！"},
        LendingRace{"itemLentToAnother", "R2",
                    [](TwoDesks*, TADOConnection* c) { SaveBorrowBill(c, billOf("R1", {loanLine("B1")})); },
                    "此书(B1)已经被借出,本次存盘已全部取消！"}),
    RowName());

TEST_F(TwoDesks, aWrittenOffItemKeepsItsMarkWhenTheDeskSaves) {
    auto* desk = new TFrmBorrowBill(Application);
    ShowAndActivate(desk);
    SendText(desk->EditRCode, "R1");
    SendKey(desk->EditRCode, VK_RETURN);
    SendText(desk->EditBCode, "B1");
    SendKey(desk->EditBCode, VK_RETURN);
    other.Execute("update Bookinfo set IsOut='报废' where Code='B1'");
    script_->ExpectMessage("此书(B1)已经报废,本次存盘已全部取消！", IDOK, "信息");
    SendKeyToFocus(desk, VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Scalar("select IsOut from Bookinfo where Code='B1'"), "报废");
    EXPECT_EQ(Count("select count(*) from Borrowinfo"), 0);
    EXPECT_EQ(desk->EditQty->Text(), "1");
    delete desk;
}

// A fine formatted through the locale would have read "0,8" and broken the
// statement; bound, it is the amount whatever the separator.
TEST_F(TwoDesks, fineIsSavedExactlyUnderADecimalComma) {
    Lend("Borrowinfo", "B1", "R1", -4);
    const TFormatSettings saved = FormatSettings;
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    try {
        SaveReturnBill(Conn(), billOf("R1", {TBillLine{"B1", CircWord::NewReturn, Day(-34), Day(0), TDateTime(), 4,
                                                       Currency::FromRaw(8000)}}));
    } catch (...) {
        FormatSettings = saved;
        throw;
    }
    FormatSettings = saved;
    EXPECT_EQ(Scalar("select quote(ExceedFund)||'/'||ExceedDay from Borrowinfo where Code='B1'"), "0.8/4.0");
    TRowLookup back(Conn(), "select ExceedFund from Borrowinfo where Code=?", {"B1"});
    EXPECT_EQ(back["ExceedFund"]->AsCurrency(), Currency::FromRaw(8000));
}

} // namespace
