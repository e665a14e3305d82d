// The library's month calendar, clicked and typed at, and its date pad.
#include "vq/controls/VqCalendar.h"

#include "Forms.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"

#include <gtest/gtest.h>

namespace {

class Calendar : public ::testing::Test {
protected:
    TForm form{nullptr};
    TVQCalendar* cal = new TVQCalendar(&form);
    int accepted = 0;
    void SetUp() override {
        form.SetBounds(100, 100, 420, 220);
        cal->SetName("Calendar1");
        cal->SetParent(&form);
        cal->SetBounds(10, 10, 155, 141);
        cal->OnAccept = [this](TObject*) { ++accepted; };
        cal->CalDate()->SetDateTime(EncodeDate(2005, 5, 10)); // May 2005 ends on cell 37
    }
    void clickCell(int cell) {
        const TRect r = cal->CellRect(cell);
        SendClick(cal, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        ProcessEvents();
    }
};

TEST_F(Calendar, defaultSizeGivesCellHeight16AndUnit7) {
    EXPECT_EQ(cal->CellHeight(), 16);
    EXPECT_EQ(cal->UnitWidth(), 7);
    EXPECT_EQ(cal->CellAt(cal->CellRect(9).Left + 1, cal->CellRect(9).Top + 1), 9);
}

TEST_F(Calendar, greyedNextMonthCellDoesNothingWithoutOptions) {
    ShowAndActivate(&form);
    clickCell(40);
    EXPECT_EQ(cal->CalDate()->AsDateTime(), EncodeDate(2005, 5, 10));
    EXPECT_EQ(accepted, 0);
}

TEST_F(Calendar, monthSwitchShowsTheNextMonth) {
    cal->SetOptions({coMonthSwitch});
    ShowAndActivate(&form);
    clickCell(40);
    EXPECT_EQ(cal->CalDate()->Month(), 6);
    EXPECT_EQ(accepted, 0);
}

TEST_F(Calendar, fullDisplaySelectsTheDayAndAccepts) {
    cal->SetOptions({coFullDisplay});
    ShowAndActivate(&form);
    clickCell(40); // 3 June
    EXPECT_EQ(cal->CalDate()->AsDateTime(), EncodeDate(2005, 6, 3));
    EXPECT_EQ(accepted, 1);
}

TEST_F(Calendar, ctrlPageDownIsAYearLater) {
    cal->CalDate()->SetDateTime(EncodeDate(2004, 2, 29));
    ShowAndActivate(&form);
    SendKey(cal, VK_NEXT, {ssCtrl});
    EXPECT_EQ(cal->CalDate()->AsDateTime(), EncodeDate(2005, 2, 28));
    SendKey(cal, VK_RIGHT);
    EXPECT_EQ(cal->CalDate()->AsDateTime(), EncodeDate(2005, 3, 1));
}

TEST_F(Calendar, hoverFrameOnlyWithTheFrameStyle) {
    ShowAndActivate(&form);
    const TRect r = cal->CellRect(12);
    SendMouseMove(cal, r.Left + 3, r.Top + 3);
    EXPECT_EQ(cal->HoverCell(), 12);
    cal->SetHilightStyle(hsColor);
    const TRect q = cal->CellRect(13);
    SendMouseMove(cal, q.Left + 3, q.Top + 3);
    EXPECT_EQ(cal->HoverCell(), 0);
}

TEST_F(Calendar, datePadAcceptsWithEnterAndGivesTheFocusBack) {
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(10, 160, 100, 21);
    auto* pad = new TVQDatePad(&form);
    pad->SetName("DatePad");
    pad->SetParent(&form);
    pad->SetCaller(edit);
    pad->CalDate()->SetDateTime(EncodeDate(2005, 5, 10));
    pad->SetOptions({coShowToday, coShowWeeks});
    std::string picked;
    pad->OnAccept = [&](TObject*) { picked = pad->CalDate()->AsText(); };
    ShowAndActivate(&form);
    cal->Hide();
    pad->Popup(170, -160);
    ProcessEvents();
    ASSERT_TRUE(pad->Visible());
    SendKey(pad, VK_DOWN);
    const std::string dir = BUILD_DIR "/test-output/screens/";
    ForceDirectories(dir);
    cal->Show();
    EXPECT_TRUE(SaveFormPng(&form, dir + "vq-calendar-and-date-pad.png"));
    SendKey(pad, VK_RETURN);
    ProcessEvents();
    EXPECT_EQ(picked, "2005-5-17");
    EXPECT_FALSE(pad->Visible());
    EXPECT_TRUE(edit->Focused());
}

} // namespace
