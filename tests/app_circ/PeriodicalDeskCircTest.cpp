// The periodical desk end to end: its own tables and reader counters, and
// no renewal mode.
#include <gtest/gtest.h>

#include "ADODB.h"
#include "Buttons.h"
#include "StdCtrls.h"
#include "CircFixture.h"
#include "app/uBorrowBill1.h"
#include "app/uMagzDest.h"
#include "app/uGlobal.h"

namespace {

using MagzDesk = DeskFixture<TFrmBorrowBill1>;

TEST_F(MagzDesk, loanRaisesThePeriodicalCountersOnly) {
    script_->ExpectMessage("张三借书成功,本次借出1本！", IDOK, "信息");
    Reader("R1");
    EXPECT_EQ(desk->EditCeQty->Text(), "2");
    Scan("M1");
    SendKeyToFocus(desk, VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Scalar("select BookQty||'/'||Times||'/'||BookQty1||'/'||Times1||'/'||BorrowDate from Readerinfo where "
                     "Code='R1'"),
              "0/0/1/1/2025-03-10");
    EXPECT_EQ(Count("select count(*) from Borrowinfo1 where Code='M1' and State='未还' and ReturnDate='2025-03-17'"),
              1);
    EXPECT_EQ(Count("select count(*) from Borrowinfo"), 0);
    EXPECT_EQ(Scalar("select IsOut||'/'||Times from Magzinfo where Code='M1'"), "外借/1");
}

TEST_F(MagzDesk, returnTwoDaysLateChargesTheTenthPerDay) {
    Lend("Borrowinfo1", "M2", "R1", -2);
    SendKeyToFocus(desk, VK_F11);
    script_->ExpectMessage("张三还书成功,本次还书1本！", IDOK, "信息");
    Reader("R1");
    Scan("M2");
    SendKeyToFocus(desk, VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Scalar("select ExceedFund from Borrowinfo1 where Code='M2'"), "0.2");
    EXPECT_EQ(Scalar("select BookQty1||'/'||Overdue1||'/'||Overdue from Readerinfo where Code='R1'"), "0/1/0");
}

TEST_F(MagzDesk, f10ChangesNothing) {
    SendKeyToFocus(desk, VK_F10);
    EXPECT_EQ(desk->BillTableCode, "Borrowinfo1");
    EXPECT_TRUE(desk->Rb1->Checked());
    EXPECT_EQ(desk->BtSave->Caption(), "确定借书(F2/Enter)");
    EXPECT_FALSE(desk->Rb2->Visible());
    EXPECT_EQ(desk->LbBCode->Caption(), "期刊编号 (条形码):");
    SendKeyToFocus(desk, VK_F11);
    EXPECT_EQ(desk->BillTableCode, "Returninfo1");
    EXPECT_EQ(desk->BtSave->Caption(), "确定还书(F2/ENTER)");
}

} // namespace

namespace {

TEST_F(MagzDesk, itemCodeBeforeAnyReaderAsksForTheReader) {
    script_->ExpectMessage("请先输入读者编号!", IDOK, "信息");
    Scan("M1");
    EXPECT_TRUE(script_->Unused().empty());
}

} // namespace

namespace {

TEST_F(MagzDesk, returningAReservedIssueListsItsReservationsWithYearAndIssue) {
    Lend("Borrowinfo1", "M1", "R1", 3);
    Reserve("Borrowinfo1", "M1", "R2", -1);
    SendKeyToFocus(desk, VK_F11);
    script_->ExpectMessage("张三还书成功,本次还书1本！", IDOK, "信息");
    std::string row;
    script_->ExpectForm("FrmMagzDest", mrOk, {}, [&](TCustomForm* f) {
        auto* list = dynamic_cast<TFrmMagzDest*>(f);
        ASSERT_NE(list, nullptr);
        row = list->AdoqDest->FieldByName("Code")->AsString() + "/" + list->AdoqDest->FieldByName("Rcode")->AsString() +
              "/" + list->AdoqDest->FieldByName("Orderyear")->AsString() + "/" +
              list->AdoqDest->FieldByName("PeriodNo")->AsString() + "/" + IntToStr(list->AdoqDest->RecordCount());
    });
    Scan("M1");
    SendKeyToFocus(desk, VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(row, "M1/R2/2025/3/1");
    EXPECT_EQ(Scalar("select State||'/'||cast(ExceedDay as integer)||'/'||ExceedFund from Borrowinfo1 where Code='M1'"),
              "已还/0/0");
}

} // namespace
