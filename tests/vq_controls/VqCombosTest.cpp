// The library's combo box, the labelled edit and the date-picking dialog.
#include "vq/controls/VqCombos.h"

#include "ComCtrls.h"
#include "Forms.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "vq/VqMemTable.h"
#include "vq/controls/VqQueryDate.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

class ComboForm : public ::testing::Test {
protected:
    TForm form{nullptr};
    TVQComboBox* combo = new TVQComboBox(&form);
    TEdit* next = new TEdit(&form);
    void SetUp() override {
        form.SetBounds(100, 100, 300, 200);
        combo->SetName("CmbKind");
        combo->SetParent(&form);
        combo->SetBounds(10, 10, 120, 21);
        combo->SetStyle(csDropDown);
        combo->Items()->Add("图书");
        combo->Items()->Add("期刊");
        next->SetName("EdtNext");
        next->SetParent(&form);
        next->SetBounds(10, 40, 120, 21);
    }
};

QColor Q(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// Not 3-D the box gets the flat ring over its own frame (button face on a
// coloured box, window colour on a white one) and lines on its frame sides.
TEST_F(ComboForm, flatComboBoxGetsTheRingAndItsFrameLines) {
    auto* white = new TVQComboBox(&form);
    white->SetParent(&form);
    white->SetBounds(150, 10, 120, 24);
    white->SetColor(clWhite);
    white->SetCtl3D(false);
    white->SetFrameStyle({fsBottom});
    white->SetLineColor(clBlue);
    combo->SetBounds(10, 10, 120, 24);
    combo->SetColor(clYellow);
    ShowAndActivate(&form);
    next->SetFocus();
    const std::string dir = std::string(BUILD_DIR) + "/test-output/screens/";
    ASSERT_TRUE(SaveFormPng(&form, dir + "vq-combo-3d.png"));
    const QImage raised(QString::fromStdString(dir + "vq-combo-3d.png"));
    combo->SetCtl3D(false);
    combo->SetLineColor(clRed);
    ASSERT_TRUE(SaveFormPng(&form, dir + "vq-combo-flat.png"));
    const QImage flat(QString::fromStdString(dir + "vq-combo-flat.png"));

    // The 3-D box keeps its own frame.
    EXPECT_NE(raised.pixelColor(11, 22), Q(clBtnFace));
    // Inside the lines, the second pixel of the ring; the lines on all sides.
    EXPECT_EQ(flat.pixelColor(11, 22), Q(clBtnFace));
    EXPECT_EQ(flat.pixelColor(10, 22), Q(clRed));
    EXPECT_EQ(flat.pixelColor(60, 10), Q(clRed));
    EXPECT_EQ(flat.pixelColor(60, 33), Q(clRed));
    EXPECT_EQ(flat.pixelColor(129, 22), Q(clRed));
    // The white box: ring in the window colour, a line at the bottom only.
    EXPECT_EQ(flat.pixelColor(150, 22), Q(clWindow));
    EXPECT_EQ(flat.pixelColor(151, 11), Q(clWindow));
    EXPECT_EQ(flat.pixelColor(200, 33), Q(clBlue));
    EXPECT_EQ(flat.pixelColor(200, 10), Q(clWindow));
}

TEST_F(ComboForm, keypadPlusOpensAndClosesTheListAndIsNeverTyped) {
    ShowAndActivate(&form);
    SendKey(combo, VK_ADD);
    ProcessEvents();
    EXPECT_TRUE(combo->DroppedDown());
    combo->SetDroppedDown(false);
    ProcessEvents();
    SendText(combo, "a+b");
    EXPECT_EQ(combo->Text(), "ab");
}

TEST_F(ComboForm, enterWalksOnAndFocusShowsInfoColour) {
    ShowAndActivate(&form);
    combo->SetFocus();
    ProcessEvents();
    EXPECT_EQ(combo->Color(), clInfoBk);
    SendKey(combo, VK_RETURN);
    EXPECT_TRUE(next->Focused());
    EXPECT_NE(combo->Color(), clInfoBk);
}

TEST(VqComboImages, indexesPadWithZeroAndTextStandsAfterTheImage) {
    TVQComboBox combo(nullptr);
    EXPECT_EQ(combo.GetImageIndex(3), 0);
    combo.SetImageIndex(1, 4);
    EXPECT_EQ(combo.GetImageIndex(1), 4);
    EXPECT_EQ(combo.TextIndent(), 6);
}

TEST(VqLabelEdit, labelEndsAtTheEditsLeftTwoPixelsLower) {
    TForm form(nullptr);
    auto* edit = new TVQLabelEdit(&form);
    edit->SetParent(&form);
    edit->SetLabelCaption("书名：");
    edit->SetBounds(100, 50, 120, 21);
    EXPECT_EQ(edit->EditLabel()->Left() + edit->EditLabel()->Width(), 100);
    EXPECT_EQ(edit->EditLabel()->Top(), 52);
    EXPECT_EQ(edit->LabelColor(), TColor(0x008000));
}

class QueryDate : public ::testing::Test {
protected:
    TSeamScript script;
    TVqMemTable table{nullptr};
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        table.FieldDefs().Add("RegDate", ftString, 10);
        table.CreateTable();
        table.Open();
        table.Append();
        table.FieldByName("RegDate")->SetAsString("2001-01-01");
        table.Post();
    }
};

TEST_F(QueryDate, enterWritesTheDayAsShortDateAfterStartingAnEdit) {
    script.ExpectForm("TFrmSetQueryDate", mrNone, {}, [](TCustomForm* f) {
        auto* d = static_cast<TFrmSetQueryDate*>(f);
        EXPECT_EQ(d->Caption(), "选择日期");
        d->MonthCalendar->SetDate(EncodeDate(2006, 3, 5));
        SendKey(d->MonthCalendar, VK_RETURN);
    });
    SelectFieldDate(table.FieldByName("RegDate"), nullptr);
    ProcessEvents();
    EXPECT_EQ(table.State(), dsEdit);
    EXPECT_EQ(table.FieldByName("RegDate")->AsString(), "2006-03-05");
}

TEST_F(QueryDate, escapeLeavesTheFieldAlone) {
    script.ExpectForm("TFrmSetQueryDate", mrNone, {}, [](TCustomForm* f) {
        auto* d = static_cast<TFrmSetQueryDate*>(f);
        d->MonthCalendar->SetDate(EncodeDate(2006, 3, 5));
        SendKey(d->MonthCalendar, VK_ESCAPE);
    });
    SelectFieldDate(table.FieldByName("RegDate"), nullptr);
    ProcessEvents();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.FieldByName("RegDate")->AsString(), "2001-01-01");
}

} // namespace
