// The display-format dialog: what it shows for a code and the code it
// gives back.
#include <gtest/gtest.h>

#include "SysUtils.h"
#include "TestKit.h"
#include "report/preview/RM_FmtEdit.h"

namespace {

TEST(RMFmtForm, numberCodeShowsItsFormDecimalsAndSeparator) {
    TRMFmtForm f(nullptr);
    f.FormatCode = (1 << 24) | (1 << 16) | (2 << 8) | ',';
    ShowAndActivate(&f);
    EXPECT_EQ(f.lstCat->ItemIndex(), 1);
    EXPECT_EQ(f.lstType->ItemIndex(), 1);
    EXPECT_EQ(f.lstType->Items()->Strings(1), "1234,50");
    EXPECT_EQ(f.edtDec->Text(), "2");
    EXPECT_EQ(f.edtSpl->Text(), ",");
    EXPECT_FALSE(f.edtForamt->Enabled());
    std::string screens = std::string(BUILD_DIR) + "/test-output/screens/";
    ForceDirectories(screens);
    EXPECT_TRUE(SaveFormPng(&f, screens + "report-format-dialog.png"));
    // An empty separator is a comma; too many decimals stay in their byte.
    f.edtSpl->SetText("");
    f.edtDec->SetText("300");
    SendClick(f.btnOK);
    EXPECT_EQ(f.ModalResult(), mrOk);
    EXPECT_EQ(f.FormatCode, (1 << 24) | (1 << 16) | (255 << 8) | ',');
}

TEST(RMFmtForm, dateFirstFormGivesKindTwoFormZero) {
    TRMFmtForm f(nullptr);
    f.FormatText = "yyyy";
    ShowAndActivate(&f);
    SendKey(f.lstCat, VK_DOWN);
    SendKey(f.lstCat, VK_DOWN); // 日期
    ASSERT_EQ(f.lstCat->ItemIndex(), 2);
    EXPECT_EQ(f.lstType->Items()->Strings(0), "98.11.15");
    EXPECT_FALSE(f.edtDec->Enabled());
    SendClick(f.btnOK);
    EXPECT_EQ(f.FormatCode, (2 << 24) | ',');
    EXPECT_EQ(f.FormatText, "yyyy"); // not a custom form: the text stays
}

TEST(RMFmtForm, customTimeFormKeepsTheTypedText) {
    TRMFmtForm f(nullptr);
    f.FormatCode = (3 << 24) | (4 << 16);
    ShowAndActivate(&f);
    ASSERT_TRUE(f.edtForamt->Enabled());
    f.edtForamt->SetText("");
    SendText(f.edtForamt, "hh时nn分");
    SendClick(f.btnOK);
    EXPECT_EQ(f.FormatText, "hh时nn分");
    EXPECT_EQ(f.FormatCode >> 16, (3 << 8) | 4);
}

} // namespace
