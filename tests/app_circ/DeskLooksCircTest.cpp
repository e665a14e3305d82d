// What the desks show a person: prices as money, the periodical desk's
// mode buttons without a hole, the focus colour on the box that has the
// focus. Keys through the window system.
#include <gtest/gtest.h>

#include "ADODB.h"
#include "CircFixture.h"
#include "DBGrids.h"
#include "StdCtrls.h"
#include "app/uBorrowBill.h"
#include "app/uBorrowBill1.h"
#include "app/uGlobal.h"
#include "TestKit.h"

namespace {

constexpr TColor FocusColour = RGB(255, 227, 170);

template <class TDesk>
class DeskLooks : public CircFixture {
protected:
    void SetUp() override {
        CircFixture::SetUp();
        desk = new TDesk(Application);
        ShowAndActivate(desk);
    }
    void TearDown() override {
        delete desk;
        CircFixture::TearDown();
    }
    void Reader(const std::string& code) {
        SendTextToFocus(desk, code);
        SendKeyToFocus(desk, VK_RETURN);
    }
    void Scan(const std::string& code) {
        SendTextToFocus(desk, code);
        SendKeyToFocus(desk, VK_RETURN);
    }
    TDesk* desk = nullptr;
};

using BookDeskLooks = DeskLooks<TFrmBorrowBill>;
using PeriodicalDeskLooks = DeskLooks<TFrmBorrowBill1>;

// The price column showed 28 and 35.5 beside fines shown as ¥2.00.
TEST_F(BookDeskLooks, pricesShowTwoDecimals) {
    Reader("R1");
    Scan("B2");
    Scan("B1");
    ASSERT_TRUE(desk->AdoqData->Locate("code", Variant("B2"), {}));
    EXPECT_EQ(desk->AdoqData->FieldByName("Bookprice")->DisplayText(), "28.00");
    ASSERT_TRUE(desk->AdoqData->Locate("code", Variant("B1"), {}));
    EXPECT_EQ(desk->AdoqData->FieldByName("Bookprice")->DisplayText(), "35.50");
}

// The code boxes wear the focus colour while they have the focus, and only
// then.
TEST_F(BookDeskLooks, focusColourFollowsTheFocusBetweenTheCodeBoxes) {
    EXPECT_EQ(desk->ActiveControl(), desk->EditRCode);
    EXPECT_EQ(desk->EditRCode->Color(), FocusColour);
    Reader("R1");
    EXPECT_EQ(desk->ActiveControl(), desk->EditBCode);
    EXPECT_EQ(desk->EditBCode->Color(), FocusColour);
    EXPECT_EQ(desk->EditRCode->Color(), clWhite);
    SendKeyToFocus(desk, VK_UP);
    EXPECT_EQ(desk->EditRCode->Color(), FocusColour);
    EXPECT_EQ(desk->EditBCode->Color(), clWhite);
}

// An Enter after a scan was once not acted on until the next key, which
// then marked the line and saved the bill in one go. Each key press is one
// action: the scan's Enter marks the line, the next Enter saves.
TEST_F(BookDeskLooks, eachEnterIsOneActionTheScanThenTheSave) {
    Lend("Borrowinfo", "B1", "R1", 10);
    SendKeyToFocus(desk, VK_F10);
    ASSERT_TRUE(desk->Rb2->Checked());
    SendTextToFocus(desk, "B1");
    SendKeyToFocus(desk, VK_RETURN);
    EXPECT_EQ(desk->EditBCode->Text(), "");
    EXPECT_EQ(desk->EditRCode->Text(), "R1");
    ASSERT_TRUE(desk->AdoqData->Locate("code", Variant("B1"), {}));
    EXPECT_EQ(desk->AdoqData->FieldByName("State")->AsString(), "续借");
    EXPECT_EQ(Scalar("select RenewTimes from Borrowinfo where Code='B1'"), "0") << "saved by the scan's Enter";
    EXPECT_TRUE(script_->Texts().empty());
    script_->ExpectMessage("张三续借成功,本次续借1本！", IDOK, "信息");
    SendKeyToFocus(desk, VK_RETURN);
    EXPECT_EQ(Scalar("select RenewTimes from Borrowinfo where Code='B1'"), "1");
    EXPECT_TRUE(script_->Unused().empty());
}

// With no window manager nothing gave the desk the keyboard back after a
// save message: typing went nowhere and the reader was not loaded. Here
// the save message is the real message box, answered with Enter through
// its own window.
TEST_F(BookDeskLooks, afterTheRealSaveMessageTypingGoesIntoTheDeskAndLoadsTheReader) {
    Reader("R1");
    Scan("B1");
    script_.reset();
    {
        TMessageBoxAnswer enter(VK_RETURN);
        SendKeyToFocus(desk, VK_F2);
        EXPECT_EQ(enter.Text(), "张三借书成功,本次借出1本！");
    }
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Rcode='R1'"), 1);
    ASSERT_TRUE(TakesKeys(desk)) << "the desk did not get the keyboard back";
    EXPECT_EQ(desk->ActiveControl(), desk->EditRCode);
    Reader("R2");
    EXPECT_EQ(desk->EditRName->Text(), "李四");
    EXPECT_EQ(desk->ActiveControl(), desk->EditBCode);
    EXPECT_EQ(desk->EditBCode->Color(), FocusColour);
    EXPECT_EQ(desk->EditRCode->Color(), clWhite);
}

// Hiding the renewal button left a gap between 借书(F9) and 还书(F11).
TEST_F(PeriodicalDeskLooks, modeButtonsLeaveNoGapForTheMissingRenewal) {
    EXPECT_FALSE(desk->Rb2->Visible());
    EXPECT_EQ(desk->Rb3->Left(), desk->Rb2->Left());
    EXPECT_LT(desk->Rb1->Left() + desk->Rb1->Width(), desk->Rb3->Left());
}

} // namespace
