// The number pad's arithmetic and keys, and the candidate list's lines.
#include "vq/controls/VqPads.h"

#include "Forms.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "support/TestNames.h"

#include <gtest/gtest.h>

namespace {

struct PadRow {
    const char* name;
    const char* start; // the edit's number when the pad opens ("" none)
    const char* keys;  // '\b' backspace, '\r' Enter
    const char* display;
    bool accepted;
};

class NumPadKeys : public ::testing::TestWithParam<PadRow> {};

TEST_P(NumPadKeys, showsTheResult) {
    const PadRow& r = GetParam();
    TVQNumPad pad(nullptr);
    bool accepted = false;
    pad.OnAccept = [&](TObject*) { accepted = true; };
    if (*r.start) {
        pad.SetValue(StrToFloat(r.start));
        pad.Popup(100, 0);
    }
    for (const char* k = r.keys; *k; ++k) pad.ProcessKey(char32_t(uint8_t(*k)));
    EXPECT_EQ(pad.DisplayText(), r.display);
    EXPECT_EQ(accepted, r.accepted);
    pad.Hide();
}

INSTANTIATE_TEST_SUITE_P(Rows, NumPadKeys,
                         ::testing::Values(PadRow{"addAndAccept", "", "12+3\r", "15", true},
                                           PadRow{"divideByZeroIsAnError", "", "1/0=", "Error", false},
                                           PadRow{"errorIgnoresAllButC", "", "1/0=5+", "Error", false},
                                           PadRow{"clearLeavesTheError", "", "1/0=C7", "7", false},
                                           PadRow{"percentOfTheOperand", "", "50+10%", "55", false},
                                           PadRow{"backspaceOnMinusSevenGivesZero", "", "7_\b", "0", false},
                                           PadRow{"backspaceRemovesLastDigit", "", "12\b", "1", false},
                                           PadRow{"backspaceAfterOpeningStartsFromZero", "12", "\b", "0", false},
                                           PadRow{"secondSeparatorIgnored", "", "2..5+0=", "2.5", false},
                                           PadRow{"signChange", "", "3_", "-3", false},
                                           PadRow{"multiplyThenPercent", "", "200*5%", "10", false}),
                         RowName());

TEST(NumPad, valueFormatDropsTrailingZerosAndSeparator) {
    TVQNumPad pad(nullptr);
    pad.SetValue(15);
    EXPECT_EQ(pad.DisplayText(), "15");
    pad.SetValue(0.125);
    EXPECT_EQ(pad.DisplayText(), "0.125");
    pad.SetValue(-2.5);
    EXPECT_EQ(pad.DisplayText(), "-2.5");
}

TEST(NumPad, keysUnderThePointer) {
    EXPECT_EQ(TVQNumPad::KeyAt(3, 3), 0);
    EXPECT_EQ(TVQNumPad::KeyAt(75, 90), 18) << "the cell right of = counts as =";
    EXPECT_EQ(TVQNumPad::KeyAt(83, 3), TVQNumPad::NoKey);
    EXPECT_EQ(TVQNumPad::KeyChar(17), U'\b');
}

class PadForm : public ::testing::Test {
protected:
    TForm form{nullptr};
    TEdit* edit = new TEdit(&form);
    void SetUp() override {
        form.SetBounds(100, 100, 320, 260);
        edit->SetName("EditPrice");
        edit->SetParent(&form);
        edit->SetBounds(20, 20, 120, 21);
    }
    static void save(TCustomForm* f, const std::string& name) {
        const std::string dir = BUILD_DIR "/test-output/screens/";
        ForceDirectories(dir);
        EXPECT_TRUE(SaveFormPng(f, dir + name));
    }
};

TEST_F(PadForm, typedKeysReachThePadAndEnterWritesTheEdit) {
    auto* pad = new TVQNumPad(edit);
    pad->SetName("NumPad");
    pad->SetParent(&form);
    pad->OnValueChange = [&](TObject*) { edit->SetText(pad->DisplayText()); };
    ShowAndActivate(&form);
    pad->Popup(edit->Left() + edit->Width() - 1, edit->Top() + edit->Height());
    ProcessEvents();
    EXPECT_EQ(pad->Left() + pad->Width() - 1, edit->Left() + edit->Width() - 1);
    SendText(pad, "12+3");
    save(&form, "vq-number-pad.png");
    SendKey(pad, VK_RETURN);
    ProcessEvents();
    EXPECT_EQ(edit->Text(), "15");
    EXPECT_FALSE(pad->Visible());
}

TEST_F(PadForm, candidateListShowsAtMostEightLinesAndHidesWhenEmpty) {
    auto* ime = new TVqIMEPad(&form);
    ime->SetName("ImePad");
    ime->SetParent(&form);
    ime->SetCaption("拼音");
    ShowAndActivate(&form);
    ime->Popup(20, 42);
    EXPECT_FALSE(ime->Visible());
    for (int i = 0; i < 12; ++i) ime->Items()->Add("图书馆" + std::to_string(i));
    ime->SetItemIndex(2);
    ime->Popup(20, 42);
    ProcessEvents();
    EXPECT_TRUE(ime->Visible());
    EXPECT_EQ(ime->LineCount(), 8);
    save(&form, "vq-ime-pad.png");
    SendMouseMove(ime, 20, 3 * 20 + 5);
    EXPECT_EQ(ime->ItemIndex(), 3);
    SendClick(ime, 20, 3 * 20 + 5);
    ProcessEvents();
    EXPECT_FALSE(ime->Visible());
}

} // namespace
