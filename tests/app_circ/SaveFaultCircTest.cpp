// Saves that fail: a statement that fails in the middle of a save, and two
// desks on two connections lending the same item.
#include <gtest/gtest.h>

#include "ADODB.h"
#include "StdCtrls.h"
#include "CircFixture.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "app/uBorrowBill.h"
#include "app/uDMData.h"

namespace {

class SaveFault : public DeskFixture<TFrmBorrowBill> {
protected:
    void SetUp() override {
        DeskFixture::SetUp();
        Reader("R1");
    }
};

TEST_F(SaveFault, aFailedStatementRollsBackTheWholeSaveAndKeepsTheBill) {
    Exec("create trigger FailReaderUpdate before update of BookQty on Readerinfo when new.BookQty > 1 "
         "begin select raise(abort, 'injected'); end");
    Scan("B1");
    Scan("B2");
    script_->ExpectMessage("存盘失败！", IDOK, "信息");
    SendKeyToFocus(desk, VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Count("select count(*) from Borrowinfo"), 0);
    EXPECT_EQ(Scalar("select ifnull(IsOut,'')||'/'||Times from Bookinfo where Code='B1'"), "/0");
    EXPECT_EQ(Scalar("select BookQty||'/'||Times from Readerinfo where Code='R1'"), "0/0");
    EXPECT_EQ(desk->AdoqData->RecordCount(), 2);
    EXPECT_EQ(desk->EditQty->Text(), "2");
    EXPECT_EQ(desk->EditRCode->Text(), "R1");
}

TEST_F(SaveFault, twoDesksLendingTheSameItemStoreExactlyOneLoan) {
    Scan("B2");
    Scan("B1");
    // The other desk, on a connection of its own, lends B1 meanwhile.
    TADOConnection other;
    other.SetConnectionString(ConnectionStringFor(dbFile_));
    other.Open();
    TBill bill;
    bill.Reader = "R2";
    bill.ReaderName = "李四";
    bill.Operator = "x";
    bill.BusinessDate = Day(0);
    bill.Lines.push_back(TBillLine{"B1", "新借", Day(0), Day(30), TDateTime(), 0, Currency()});
    SaveBorrowBill(&other, bill);

    script_->ExpectMessage("此书(B1)已经被借出,本次存盘已全部取消！", IDOK, "信息");
    SendKeyToFocus(desk, VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Scalar("select group_concat(Rcode) from Borrowinfo where Code='B1' and State='未还'"), "R2");
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Code='B2'"), 0);
    EXPECT_EQ(Scalar("select BookQty from Readerinfo where Code='R1'"), "0");
    EXPECT_EQ(desk->AdoqData->RecordCount(), 2);
}

TEST_F(SaveFault, aSecondSaveOfTheSameLoanIsRefusedByTheFunctionItself) {
    TBill bill;
    bill.Reader = "R1";
    bill.ReaderName = "张三";
    bill.BusinessDate = Day(0);
    bill.Lines.push_back(TBillLine{"B3", "新借", Day(0), Day(30), TDateTime(), 0, Currency()});
    SaveBorrowBill(Conn(), bill);
    EXPECT_THROW(SaveBorrowBill(Conn(), bill), ELoanConflict);
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Code='B3' and State='未还'"), 1);
    EXPECT_EQ(Scalar("select BookQty||'/'||Times from Readerinfo where Code='R1'"), "1/1");
    EXPECT_FALSE(Conn()->InTransaction());
}

} // namespace
