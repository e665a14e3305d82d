// The number box, unbound and bound, driven with real keys in an offscreen
// form: typing digits under DecimalPlaces 0 and 4, Value/Text, clamping,
// display and edit formats, money rounding, the field link writing the
// field, and the error texts of text that is no number.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "gridlib/edits/DBCtrlsEh.h"
#include "Clipbrd.h"
#include "ExtCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "db/ListDataSet.h"

namespace {

class NumberEditTest : public ::testing::Test {
protected:
    TSeamScript script;
    TForm form{nullptr};
    TDBNumberEditEh* edit = nullptr;
    TEdit* other = nullptr;
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        edit = new TDBNumberEditEh(&form);
        edit->SetName("EditQty");
        edit->SetParent(&form);
        edit->SetBounds(10, 10, 120, 21);
        other = new TEdit(&form);
        other->SetName("Other");
        other->SetParent(&form);
        other->SetBounds(10, 40, 120, 21);
        ShowAndActivate(&form);
    }
    // Types into the box, then leaves it (the value is written on exit).
    void typeAndLeave(const std::string& text) {
        edit->SetFocus();
        SendText(edit, text);
        other->SetFocus();
        ProcessEvents();
    }
};

TEST_F(NumberEditTest, newBoxIsEmptyAndNull) {
    EXPECT_EQ(edit->GetText(), "");
    EXPECT_TRUE(edit->GetValue().IsNull());
    EXPECT_TRUE(edit->DataLink()->DataIndependent());
    EXPECT_EQ(edit->Alignment(), taRightJustify);
}

// The box once stored its alignment without the edit showing it: numbers
// stood left.
TEST_F(NumberEditTest, shownTextFollowsTheAlignment) {
    EXPECT_EQ(edit->TCustomEdit::Alignment(), taRightJustify);
    edit->SetAlignment(taCenter);
    EXPECT_EQ(edit->TCustomEdit::Alignment(), taCenter);
    edit->SetAlignment(taLeftJustify);
    EXPECT_EQ(edit->TCustomEdit::Alignment(), taLeftJustify);
}

TEST_F(NumberEditTest, valueIsADoubleAndNullEmpties) {
    edit->SetDecimalPlaces(0);
    edit->SetValue(3);
    EXPECT_EQ(edit->GetValue().Type(), varDouble);
    EXPECT_EQ(edit->GetValue().AsDouble(), 3.0);
    EXPECT_EQ(edit->GetText(), "3");
    edit->SetValue(edit->GetValue().AsDouble() + 1);
    EXPECT_EQ(edit->GetText(), "4");
    EXPECT_EQ(edit->DataLink()->OwnValue().AsDouble(), 4.0);
    edit->SetValue(Null());
    EXPECT_EQ(edit->GetText(), "");
    EXPECT_TRUE(edit->GetValue().IsNull());
}

TEST_F(NumberEditTest, textSetsTheNumberAndEmptyTextMeansNull) {
    edit->SetText("12.5");
    EXPECT_EQ(edit->GetValue().AsDouble(), 12.5);
    EXPECT_EQ(edit->GetText(), "12.5");
    edit->SetText("");
    EXPECT_TRUE(edit->GetValue().IsNull());
}

TEST_F(NumberEditTest, textThatIsNoNumberRaisesTheConversionText) {
    edit->SetValue(7);
    try {
        edit->SetText("abc");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(edit->GetValue().AsDouble(), 7.0);
    EXPECT_EQ(edit->GetText(), "7");
}

TEST_F(NumberEditTest, nonNumericValueRaisesTheVariantText) {
    try {
        edit->SetValue(Variant("x1"));
        FAIL() << "no error";
    } catch (const EVariantError& e) {
        EXPECT_EQ(e.Message, "Invalid variant type conversion");
    }
}

struct TypingRow {
    const char* name;
    unsigned decimals;
    const char* typed;
    const char* shownWhileFocused;
    double value;
};

class NumberTypingTest : public NumberEditTest, public ::testing::WithParamInterface<TypingRow> {};

TEST_P(NumberTypingTest, typedKeysGiveTheNumber) {
    const TypingRow& r = GetParam();
    edit->SetDecimalPlaces(r.decimals);
    edit->SetFocus();
    SendText(edit, r.typed);
    EXPECT_EQ(edit->GetText(), r.shownWhileFocused);
    other->SetFocus();
    ProcessEvents();
    EXPECT_EQ(edit->GetValue().AsDouble(), r.value);
    EXPECT_EQ(edit->DataLink()->OwnValue().AsDouble(), r.value);
}

INSTANTIATE_TEST_SUITE_P(Rows, NumberTypingTest,
                         ::testing::Values(TypingRow{"digitsWithNoDecimals", 0, "123", "123", 123},
                                           TypingRow{"decimalDigitRefusedUnderZeroPlaces", 0, "12.5", "12.", 12},
                                           TypingRow{"fourDecimalsAccepted", 4, "0.2575", "0.2575", 0.2575},
                                           TypingRow{"fifthDecimalRefused", 4, "1.23456", "1.2345", 1.2345},
                                           TypingRow{"lettersRefused", 2, "4a5b", "45", 45},
                                           TypingRow{"leadingMinusRefusedInEmptyBox", 2, "-3", "3", 3},
                                           TypingRow{"commaBecomesTheDecimalPoint", 2, "3,5", "3.5", 3.5}),
                         RowName());

TEST_F(NumberEditTest, minusTypedBeforeADigitGivesANegativeNumber) {
    edit->SetFocus();
    SendText(edit, "5");
    SendKey(edit, VK_HOME);
    SendText(edit, "-");
    EXPECT_EQ(edit->GetText(), "-5");
    other->SetFocus();
    EXPECT_EQ(edit->GetValue().AsDouble(), -5.0);
}

TEST_F(NumberEditTest, positiveRangeRefusesTheMinusSign) {
    edit->SetMaxValue(100);
    edit->SetFocus();
    SendText(edit, "5");
    SendKey(edit, VK_HOME);
    SendText(edit, "-");
    EXPECT_EQ(edit->GetText(), "5");
}

TEST_F(NumberEditTest, typedValueBelowTheMinimumIsStoredAsTheMinimum) {
    edit->SetMinValue(10);
    typeAndLeave("5");
    EXPECT_EQ(edit->GetValue().AsDouble(), 10.0);
    EXPECT_EQ(edit->GetText(), "10");
}

struct ClampRow {
    const char* name;
    double min, max, x, expected;
};
class ClampTest : public NumberEditTest, public ::testing::WithParamInterface<ClampRow> {};
TEST_P(ClampTest, clampsByTheExplicitLimits) {
    const ClampRow& r = GetParam();
    if (r.min != 0) edit->SetMinValue(r.min);
    if (r.max != 0) edit->SetMaxValue(r.max);
    EXPECT_EQ(edit->ClampValue(r.x), r.expected);
}
INSTANTIATE_TEST_SUITE_P(Rows, ClampTest,
                         ::testing::Values(ClampRow{"noLimits", 0, 0, -7, -7}, ClampRow{"belowRange", 1, 9, 0, 1},
                                           ClampRow{"aboveRange", 1, 9, 12, 9},
                                           ClampRow{"onlyLowerWhenMaxZero", 10, 0, 50, 50},
                                           ClampRow{"onlyLowerBelow", 10, 0, 5, 10},
                                           ClampRow{"onlyUpperWhenMinZero", 0, 5, 8, 5},
                                           ClampRow{"crossedLimitsIgnored", 9, 3, 100, 100}),
                         RowName());

TEST_F(NumberEditTest, arrowKeysStepByIncrementAndEmptyStepsToIncrement) {
    edit->SetDecimalPlaces(0);
    SendKey(edit, VK_DOWN);
    EXPECT_EQ(edit->GetValue().AsDouble(), 1.0);
    SendKey(edit, VK_UP);
    SendKey(edit, VK_UP);
    EXPECT_EQ(edit->GetValue().AsDouble(), 3.0);
    other->SetFocus();
    EXPECT_EQ(edit->DataLink()->OwnValue().AsDouble(), 3.0);
    edit->SetIncrement(0);
    SendKey(edit, VK_UP);
    EXPECT_EQ(edit->GetValue().AsDouble(), 3.0);
}

TEST_F(NumberEditTest, groupedDisplayFormatGroupsWhileTypingAndShowsDecimalsAfter) {
    edit->SetDisplayFormat("#,##0.00");
    EXPECT_EQ(edit->EditFormat(), "#,##0.00");
    edit->SetFocus();
    SendText(edit, "1234");
    EXPECT_EQ(edit->GetText(), "1,234");
    EXPECT_EQ(edit->SelStart(), 5);
    other->SetFocus();
    ProcessEvents();
    EXPECT_EQ(edit->GetText(), "1,234.00");
    EXPECT_EQ(edit->GetValue().AsDouble(), 1234.0);
}

TEST_F(NumberEditTest, changeHandlerSeesThePreviousValue) {
    std::vector<std::string> seen;
    edit->OnChange = [&](TObject*) { seen.push_back(VarToStr(edit->GetValue())); };
    edit->SetFocus();
    SendText(edit, "12");
    EXPECT_EQ(seen, (std::vector<std::string>{"", "1"}));
}

TEST_F(NumberEditTest, pastedLettersLeaveThePreviousText) {
    edit->SetFocus();
    SendText(edit, "42");
    edit->SelectAll();
    edit->SetSelText("");
    SendText(edit, "42");
    Clipboard()->SetAsText("x9");
    edit->Perform(WM_PASTE);
    EXPECT_EQ(edit->GetText(), "42");
    EXPECT_EQ(edit->GetValue().AsDouble(), 42.0);
}

// Money keeps four decimals with ties to even before it is formatted.
struct MoneyRow {
    const char* name;
    double x;
    const char* shown;
};
class MoneyTest : public NumberEditTest, public ::testing::WithParamInterface<MoneyRow> {};
TEST_P(MoneyTest, moneyTextRoundsTiesToEven) {
    // The box shows its display text when it does not have the focus.
    other->SetFocus();
    ProcessEvents();
    edit->SetCurrency(true);
    edit->SetValue(GetParam().x);
    EXPECT_EQ(edit->GetText(), GetParam().shown);
}
INSTANTIATE_TEST_SUITE_P(Rows, MoneyTest,
                         ::testing::Values(MoneyRow{"plain", 0.8, "￥0.80"}, MoneyRow{"grouped", 1234.5, "￥1,234.50"},
                                           MoneyRow{"tieDownToEven", 0.00125, "￥0.00"}),
                         RowName());

TEST_F(NumberEditTest, moneyEditFormatUsesTheLocaleDecimals) {
    edit->SetCurrency(true);
    EXPECT_EQ(edit->EditFormat(), ",#.00");
}

struct FormatRow {
    const char* name;
    const char* display;
    const char* edit;
};
class EditFormatTest : public ::testing::TestWithParam<FormatRow> {};
TEST_P(EditFormatTest, keepsOnlyTheDigitPartOfTheFirstSection) {
    EXPECT_EQ(TCustomDBNumberEditEh::DeriveEditFormat(GetParam().display), GetParam().edit);
}
INSTANTIATE_TEST_SUITE_P(Rows, EditFormatTest,
                         ::testing::Values(FormatRow{"empty", "", ""}, FormatRow{"grouped", "#,##0.00", "#,##0.00"},
                                           FormatRow{"quotedWordDropped", "0.00'元'", "0.00"},
                                           FormatRow{"secondSectionDropped", "0.0;(0.0)", "0.0"},
                                           FormatRow{"exponentDropped", "0.00E+00", "0.00"}),
                         RowName());

// ------------------------------------------------------------ bound --

class BoundNumberEditTest : public NumberEditTest {
protected:
    TListDataSet ds{nullptr};
    TDataSource* src = nullptr;
    void SetUp() override {
        NumberEditTest::SetUp();
        ds.FieldDefs().Add("PerFine", ftFloat);
        ds.FieldDefs().Add("Days", ftInteger);
        ds.AddRow({0.2, 3});
        src = new TDataSource(&form);
        src->SetDataSet(&ds);
        ds.Open();
        edit->SetDecimalPlaces(4);
        edit->SetDataSource(src);
        edit->SetDataField("PerFine");
    }
    void TearDown() override { ds.Close(); }
};

TEST_F(BoundNumberEditTest, showsTheFieldAndTypingWritesItOnExit) {
    EXPECT_FALSE(edit->DataLink()->DataIndependent());
    EXPECT_EQ(edit->GetText(), "0.2");
    edit->SetFocus();
    ProcessEvents();
    edit->SelectAll();
    SendText(edit, "0.35");
    other->SetFocus();
    ProcessEvents();
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_EQ(ds.FieldByName("PerFine")->AsFloat(), 0.35);
    ds.Post();
    EXPECT_EQ(ds.rows[0].vals[0].AsDouble(), 0.35);
}

TEST_F(BoundNumberEditTest, valueAssignmentPutsTheDataSetIntoEditAndAssignsTheField) {
    ASSERT_EQ(ds.State(), dsBrowse);
    edit->SetValue(0.5);
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_EQ(ds.FieldByName("PerFine")->AsFloat(), 0.5);
    edit->SetValue(Null());
    EXPECT_TRUE(ds.FieldByName("PerFine")->IsNull());
}

TEST_F(BoundNumberEditTest, unbindingStartsFromNull) {
    edit->SetDataField("");
    edit->SetDataSource(nullptr);
    EXPECT_TRUE(edit->DataLink()->DataIndependent());
    EXPECT_TRUE(edit->GetValue().IsNull());
    EXPECT_EQ(edit->GetText(), "");
}

TEST_F(BoundNumberEditTest, missingFieldNamesTheControl) {
    try {
        edit->SetDataField("Nope");
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "EditQty: Field 'Nope' not found");
    }
}

TEST_F(BoundNumberEditTest, updateDataHandlerSettingValueDoesNotRecurseAndHandledKeepsTheField) {
    int calls = 0;
    edit->OnUpdateData = [&](TObject*, bool& handled) {
        ++calls;
        edit->SetValue(9);
        handled = true;
    };
    edit->SetValue(1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(edit->GetValue().AsDouble(), 9.0);
    EXPECT_EQ(ds.FieldByName("PerFine")->AsFloat(), 0.2);
}

// ------------------------------------------------------------ buttons --

TEST(EditButtonSettings, numGlyphsIsClampedToOneToFour) {
    TEditButtonEh b;
    b.SetNumGlyphs(7);
    EXPECT_EQ(b.NumGlyphs(), 4);
    b.SetNumGlyphs(0);
    EXPECT_EQ(b.NumGlyphs(), 1);
    TVisibleEditButtonEh v;
    EXPECT_TRUE(v.Visible());
    EXPECT_EQ(v.ShortCut, 32808);
}

TEST(ButtonFaceCache, sameKeySharesOneBitmapUntilFlushed) {
    FlushButtonFaceCache();
    TBitmap a, b;
    a.SetSize(40, 20);
    b.SetSize(40, 20);
    PaintEditButtonFace(a.Canvas(), Rect(0, 0, 16, 16), clWindow, fkCheckBoxEh, 0, false, false, true, 1);
    PaintEditButtonFace(b.Canvas(), Rect(20, 0, 36, 16), clWindow, fkCheckBoxEh, 0, false, false, true, 1);
    EXPECT_EQ(ButtonFaceCache().Count(), 1);
    FlushButtonFaceCache();
    EXPECT_EQ(ButtonFaceCache().Count(), 0);
    PaintEditButtonFace(a.Canvas(), Rect(0, 0, 16, 16), clWindow, fkCheckBoxEh, 0, false, false, true, 1);
    EXPECT_EQ(ButtonFaceCache().Count(), 1);
}

TEST(ButtonFaceCache, oddHeightUpDownShowsAParentColouredSeparatorRow) {
    TBitmap bmp;
    bmp.SetSize(17, 21);
    PaintEditButtonFace(bmp.Canvas(), Rect(0, 0, 17, 21), clRed, fkUpDownEh, 0, false, true, true, 0);
    EXPECT_EQ(bmp.Canvas()->Pixels(8, 10), clRed);
    TBitmap even;
    even.SetSize(17, 20);
    even.Canvas()->Brush()->SetColor(clWhite);
    even.Canvas()->FillRect(Rect(0, 0, 17, 20));
    PaintEditButtonFace(even.Canvas(), Rect(0, 0, 17, 20), clRed, fkUpDownEh, 0, false, true, true, 0);
    for (int y = 0; y < 20; ++y) EXPECT_NE(even.Canvas()->Pixels(8, y), clRed) << y;
}

TEST(ButtonFaceCache, emptySizePaintsNothingAndDoesNotRaise) {
    TBitmap bmp;
    bmp.SetSize(4, 4);
    EXPECT_NO_THROW(PaintEditButtonFace(bmp.Canvas(), Rect(2, 2, 0, 0), clRed, fkEllipsisEh, 1, true, false, true, 0));
}

TEST_F(NumberEditTest, upDownButtonRepeatsWhileHeldAndStopsWhenAutoRepeatIsCleared) {
    TEditButtonControlEh button(&form);
    button.SetParent(&form);
    button.SetBounds(200, 10, 17, 20);
    button.SetButtonStyle(ebsUpDownEh);
    int downs = 0;
    bool lastTop = false;
    button.OnDown = [&](TObject*, bool top, bool& autoRepeat, bool&) {
        ++downs;
        lastTop = top;
        if (downs == 3) autoRepeat = false;
    };
    SendClick(&button, 8, 3); // press and release: one OnDown
    EXPECT_EQ(downs, 1);
    EXPECT_TRUE(lastTop);
    EXPECT_FALSE(button.RepeatTimer()->Enabled());
}

} // namespace

namespace {

class RangeFieldTest : public NumberEditTest {
protected:
    TListDataSet ds{nullptr};
    TDataSource* src = nullptr;
    void SetUp() override {
        NumberEditTest::SetUp();
        ds.FieldDefs().Add("Days", ftInteger);
        ds.AddRow({3});
        src = new TDataSource(&form);
        src->SetDataSet(&ds);
        ds.Open();
        static_cast<TNumericField*>(ds.FieldByName("Days"))->SetMinValue(1);
        static_cast<TNumericField*>(ds.FieldByName("Days"))->SetMaxValue(10);
        edit->SetDecimalPlaces(0);
        edit->SetDataSource(src);
        edit->SetDataField("Days");
    }
    void TearDown() override { ds.Close(); }
};

TEST_F(RangeFieldTest, valueTheFieldRefusesRaisesAndTheBoxShowsTheStoredValue) {
    try {
        edit->SetValue(50);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "50 is not a valid value for field 'Days'. The allowed range is 1 to 10");
    }
    EXPECT_EQ(edit->GetText(), "3");
    EXPECT_EQ(ds.FieldByName("Days")->AsInteger(), 3);
}

TEST_F(RangeFieldTest, leavingWithANumberTheFieldRefusesShowsTheErrorAndKeepsTheFocus) {
    script.ExpectMessage("50 is not a valid value for field 'Days'. The allowed range is 1 to 10", IDOK);
    edit->SetFocus();
    ProcessEvents();
    edit->SelectAll();
    SendText(edit, "50");
    other->SetFocus();
    ProcessEvents();
    EXPECT_EQ(ds.FieldByName("Days")->AsInteger(), 3);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->GetText(), "50");
    EXPECT_TRUE(script.Unused().empty());
}

} // namespace

namespace {

TEST_F(NumberEditTest, leavingWithoutChangesFiresNoUpdateData) {
    int calls = 0;
    edit->SetValue(2);
    edit->OnUpdateData = [&](TObject*, bool&) { ++calls; };
    edit->SetFocus();
    ProcessEvents();
    other->SetFocus();
    ProcessEvents();
    EXPECT_EQ(calls, 0);
    edit->SetFocus();
    SendText(edit, "5");
    other->SetFocus();
    ProcessEvents();
    EXPECT_EQ(calls, 1);
}

TEST_F(NumberEditTest, readOnlyLinkNeverEntersEditMode) {
    edit->DataLink()->SetReadOnly(true);
    EXPECT_FALSE(edit->DataLink()->Edit());
    EXPECT_FALSE(edit->DataLink()->Editing());
}

TEST_F(NumberEditTest, ctrlASelectsAllText) {
    edit->SetDecimalPlaces(0);
    edit->SetValue(42);
    edit->SetFocus();
    ProcessEvents();
    edit->SetSelStart(2);
    SendKey(edit, 'A', {ssCtrl});
    EXPECT_EQ(edit->SelText(), "42");
}

// Exposes the wheel handler, which no key reaches.
class WheelBox : public TDBNumberEditEh {
public:
    using TDBNumberEditEh::DoMouseWheel;
    using TDBNumberEditEh::TDBNumberEditEh;
};

TEST_F(NumberEditTest, wheelStepsUnlessAShiftKeyIsHeld) {
    auto* box = new WheelBox(&form);
    box->SetParent(&form);
    box->SetValue(4);
    EXPECT_TRUE(box->DoMouseWheel({}, 120, TPoint{0, 0}));
    EXPECT_EQ(box->GetValue().AsDouble(), 5.0);
    EXPECT_TRUE(box->DoMouseWheel({}, -120, TPoint{0, 0}));
    EXPECT_TRUE(box->DoMouseWheel({}, -120, TPoint{0, 0}));
    EXPECT_EQ(box->GetValue().AsDouble(), 3.0);
    EXPECT_FALSE(box->DoMouseWheel({ssCtrl}, 120, TPoint{0, 0}));
    EXPECT_EQ(box->GetValue().AsDouble(), 3.0);
}

} // namespace
