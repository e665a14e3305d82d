// The date edit: the mask and order from the locale's short date format,
// two-digit years, stepping the part under the caret, completing a partly
// typed date on leaving, writes that keep the field's time of day, and the
// calendar dropped down from the keyboard and the button.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "gridlib/edits/DBCtrlsEh.h"
#include "ExtCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "db/ListDataSet.h"

#include <cmath>

namespace {

using TEdit_ = TCustomDBDateTimeEditEh;

TDateTime D(int y, int m, int d) { return EncodeDate(Word(y), Word(m), Word(d)); }

// --------------------------------------------------------------- rules --

TEST(DateEditRules, twoDigitYearsFallIntoTheWindowAroundThisYear) {
    struct Row {
        int typed, current, expected;
    } rows[] = {{66, 2026, 1966}, {65, 2026, 2065}, {0, 2026, 2000}, {99, 2026, 1999},
                {39, 2000, 2039}, {40, 2000, 1940}, {1999, 2026, 1999}, {100, 2026, 100}};
    for (const Row& r : rows)
        EXPECT_EQ(TEdit_::ExpandTwoDigitYear(r.typed, r.current), r.expected) << r.typed << " in " << r.current;
}

TEST(DateEditRules, orderFormatAndMaskFollowTheLocaleFormat) {
    struct Row {
        const char* locale;
        TDateOrderEh order;
        bool four;
        const char* format;
        const char* mask;
    } rows[] = {
        {"yyyy-MM-dd", doYMD, true, "YYYY-MM-DD", "!9999-99-99;1; "},
        {"yy-MM-dd", doYMD, false, "YY-MM-DD", "!99-99-99;1; "},
        {"dd/MM/yyyy", doDMY, true, "DD-MM-YYYY", "!99-99-9999;1; "},
        {"M/d/yy", doMDY, false, "MM-DD-YY", "!99-99-99;1; "},
        {"hh:nn", doDMY, false, "DD-MM-YY", "!99-99-99;1; "},
    };
    for (const Row& r : rows) {
        TDateOrderEh o = TEdit_::DateOrderOf(r.locale);
        EXPECT_EQ(o, r.order) << r.locale;
        EXPECT_EQ(TEdit_::DateFormatFor(o, r.four, '-'), r.format) << r.locale;
        EXPECT_EQ(TEdit_::DateMaskFor(o, r.four, '-'), r.mask) << r.locale;
    }
}

TEST(DateEditRules, steppingWrapsThePartUnderTheCaret) {
    struct Row {
        const char* text;
        const char* format;
        int start; // 1-based caret position
        bool up;
        const char* stepped;
        int partStart, partLen;
    } rows[] = {
        {"2026-12-31", "YYYY-MM-DD", 9, true, "2026-12-01", 9, 2},   // day 31 wraps to 1
        {"2026-12-01", "YYYY-MM-DD", 10, false, "2026-12-31", 9, 2}, // and back to 31
        {"2026-12-05", "YYYY-MM-DD", 6, true, "2026-01-05", 6, 2},   // month 12 wraps to 1
        {"2026-01-05", "YYYY-MM-DD", 5, false, "2026-12-05", 6, 2},  // on the separator: the next part
        {"2026-01-05", "YYYY-MM-DD", 1, true, "2027-01-05", 1, 4},
        {"2026-  -05", "YYYY-MM-DD", 6, true, "2026-01-05", 6, 2},   // a blank part counts as 0
        {"23:59:00", "HH:NN:SS", 1, true, "00:59:00", 1, 2},
        {"23:00:00", "HH:NN:SS", 4, false, "23:59:00", 4, 2},
        {"05-03-26", "DD-MM-YY", 7, true, "05-03-27", 7, 2},
    };
    for (const Row& r : rows) {
        std::string out;
        int start = r.start, len = 0;
        ASSERT_TRUE(TEdit_::StepDatePart(r.text, r.format, r.up, out, len, start, '-', ':')) << r.text;
        EXPECT_EQ(out, r.stepped) << r.text << " at " << r.start;
        EXPECT_EQ(start, r.partStart) << r.text;
        EXPECT_EQ(len, r.partLen) << r.text;
    }
}

TEST(DateEditRules, textToValueWithAndWithoutCompletion) {
    TDateTime today = D(2026, 12, 10);
    struct Row {
        const char* text;
        bool fix;
        double expected; // 0: Null
        const char* textAfter;
    } rows[] = {
        {"2026-02-14", false, double(D(2026, 2, 14)), "2026-02-14"},
        {"2026-02-  ", false, 0, "2026-02-  "},           // incomplete: Null while typing
        {"2026-02-  ", true, double(D(2026, 2, 10)), "2026-02-10"}, // blank day from today
        {"    -  -  ", true, 0, "    -  -  "},           // all blank stays Null
        {"2026-02-30", false, 0, "2026-02-30"},           // impossible: Null until fixed
        {"2026-02-30", true, double(D(2026, 2, 28)), "2026-02-28"},
        {"2024-02-30", true, double(D(2024, 2, 29)), "2024-02-29"},
        {"2026-13-05", true, double(D(2026, 12, 5)), "2026-12-05"},
        {"",           true, 0, ""},
    };
    for (const Row& r : rows) {
        std::string t = r.text;
        Variant v = TEdit_::TextToDateValue("YYYY-MM-DD", t, false, r.fix, today);
        if (r.expected == 0)
            EXPECT_TRUE(v.IsNull()) << r.text;
        else
            EXPECT_EQ(double(v.AsDateTime()), r.expected) << r.text;
        EXPECT_EQ(t, r.textAfter) << r.text;
    }
    std::string bad = "2026-02-30";
    try {
        TEdit_::TextToDateValue("YYYY-MM-DD", bad, true, false, today);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Invalid argument to date encode");
    }
}

// ---------------------------------------------------------- the window --

class DateEditTest : public ::testing::Test {
protected:
    TSeamScript script;
    TForm form{nullptr};
    TDBDateTimeEditEh* edit = nullptr;
    TEdit* other = nullptr;
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        form.SetBounds(100, 100, 420, 300);
        edit = new TDBDateTimeEditEh(&form);
        edit->SetName("EditDate");
        edit->SetParent(&form);
        edit->SetBounds(10, 10, 140, 21);
        other = new TEdit(&form);
        other->SetName("Other");
        other->SetParent(&form);
        other->SetBounds(200, 10, 120, 21);
        ShowAndActivate(&form);
    }
    void leave() {
        other->SetFocus();
        ProcessEvents();
    }
};

TEST_F(DateEditTest, typedDigitsGiveTheDateAndIncompleteTextIsNull) {
    edit->SetFocus();
    SendText(edit, "202612");
    EXPECT_TRUE(edit->GetValue().IsNull());
    SendText(edit, "10");
    ASSERT_FALSE(edit->GetValue().IsNull());
    EXPECT_EQ(double(edit->GetValue().AsDateTime()), double(D(2026, 12, 10)));
    EXPECT_EQ(edit->EditText(), "2026-12-10");
}

TEST_F(DateEditTest, leavingCompletesABlankDayFromToday) {
    edit->SetFocus();
    SendText(edit, "202602");
    leave();
    Word y, m, d;
    DecodeDate(Date(), y, m, d);
    int day = std::min<int>(d, 28);
    EXPECT_EQ(double(edit->GetValue().AsDateTime()), double(D(2026, 2, day)));
    EXPECT_EQ(edit->EditText(), Format("2026-02-%.2d", day));
}

TEST_F(DateEditTest, upAndDownStepThePartUnderTheCaret) {
    edit->SetValue(Variant(D(2026, 12, 31)));
    edit->SetFocus();
    edit->SetSelStart(9); // in the day
    SendKey(edit, VK_UP);
    EXPECT_EQ(edit->EditText(), "2026-12-01");
    EXPECT_EQ(edit->SelStart(), 8);
    EXPECT_EQ(edit->SelLength(), 2);
    SendKey(edit, VK_DOWN);
    SendKey(edit, VK_DOWN);
    EXPECT_EQ(edit->EditText(), "2026-12-30");
    EXPECT_EQ(double(edit->GetValue().AsDateTime()), double(D(2026, 12, 30)));
    edit->SetSelStart(6); // the month
    SendKey(edit, VK_UP);
    EXPECT_EQ(edit->EditText(), "2026-01-30");
}

TEST_F(DateEditTest, twoDigitYearLocaleExpandsOnTheWindow) {
    TFormatSettings saved = FormatSettings;
    FormatSettings.ShortDateFormat = "dd/MM/yy";
    FormatSettings.DateSeparator = '/';
    auto* e = new TDBDateTimeEditEh(&form);
    e->SetParent(&form);
    e->SetBounds(10, 60, 140, 21);
    ProcessEvents();
    e->SetFocus();
    SendText(e, "010566");
    Word y, m, d;
    DecodeDate(Date(), y, m, d);
    int expectedYear = TEdit_::ExpandTwoDigitYear(66, y);
    EXPECT_EQ(e->EditText(), "01/05/66");
    ASSERT_FALSE(e->GetValue().IsNull());
    EXPECT_EQ(double(e->GetValue().AsDateTime()), double(D(expectedYear, 5, 1)));
    other->SetFocus();
    delete e;
    FormatSettings = saved;
}

TEST_F(DateEditTest, aBoundDateKeepsTheFieldsTimeOfDay) {
    auto* ds = new TListDataSet(&form);
    ds->FieldDefs().Add("LoanTime", ftDateTime);
    ds->AddRow({Variant(TDateTime(double(D(2026, 3, 1)) + 0.4375))}); // 10:30
    ds->Open();
    auto* src = new TDataSource(&form);
    src->SetDataSet(ds);
    edit->SetDataSource(src);
    edit->SetDataField("LoanTime");
    EXPECT_EQ(edit->EditText(), "2026-03-01");
    edit->SetFocus();
    edit->SetSelStart(9);
    SendKey(edit, VK_UP);
    leave();
    EXPECT_DOUBLE_EQ(double(ds->FieldByName("LoanTime")->AsDateTime()), double(D(2026, 3, 2)) + 0.4375);
}

TEST_F(DateEditTest, altDownDropsTheCalendarArrowsMoveItEnterAccepts) {
    edit->SetValue(Variant(D(2026, 12, 10)));
    edit->SetFocus();
    SendKey(edit, VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(edit->CalendarVisible());
    EXPECT_TRUE(edit->DroppedDown());
    EXPECT_TRUE(edit->Calendar()->Visible());
    EXPECT_EQ(double(edit->Calendar()->Date()), double(D(2026, 12, 10)));
    // The calendar opens under the edit, in screen coordinates.
    TPoint below = edit->ClientToScreen(TPoint{0, edit->Height()});
    EXPECT_EQ(edit->Calendar()->Top(), below.Y);
    SendKey(edit, VK_DOWN); // a week later, in the calendar
    SendKey(edit, VK_RIGHT);
    EXPECT_EQ(double(edit->Calendar()->Date()), double(D(2026, 12, 18)));
    EXPECT_EQ(edit->EditText(), "2026-12-10"); // the edit keeps its date meanwhile
    SendKey(edit, VK_RETURN);
    EXPECT_FALSE(edit->CalendarVisible());
    EXPECT_FALSE(edit->Calendar()->Visible());
    EXPECT_EQ(double(edit->GetValue().AsDateTime()), double(D(2026, 12, 18)));
    EXPECT_TRUE(edit->Focused());
}

TEST_F(DateEditTest, escapeAndLeavingCloseWithoutAccepting) {
    edit->SetValue(Variant(D(2026, 12, 10)));
    edit->SetFocus();
    SendKey(edit, VK_DOWN, TShiftState{ssAlt});
    SendKey(edit, VK_DOWN);
    SendKey(edit, VK_ESCAPE);
    EXPECT_FALSE(edit->CalendarVisible());
    EXPECT_EQ(double(edit->GetValue().AsDateTime()), double(D(2026, 12, 10)));
    SendKey(edit, VK_DOWN, TShiftState{ssAlt});
    SendKey(edit, VK_DOWN);
    SendClick(other);
    EXPECT_FALSE(edit->CalendarVisible());
    EXPECT_EQ(double(edit->GetValue().AsDateTime()), double(D(2026, 12, 10)));
}

TEST_F(DateEditTest, theButtonOpensAndTheNextPressClosesWithoutReopening) {
    TEditButtonControlEh* button = edit->ButtonControl(0);
    ASSERT_TRUE(button->Visible());
    EXPECT_EQ(edit->ButtonsRect().Left, edit->ClientWidth() - edit->ButtonsWidth());
    SendClick(button);
    EXPECT_TRUE(edit->CalendarVisible());
    EXPECT_TRUE(button->HeldDown());
    SendClick(button);
    EXPECT_FALSE(edit->CalendarVisible());
    EXPECT_FALSE(button->HeldDown());
    ProcessEvents();
    EXPECT_FALSE(edit->CalendarVisible()); // the closing press left it closed
    SendClick(button);
    EXPECT_TRUE(edit->CalendarVisible());
    SendKey(edit, VK_ESCAPE);
}

TEST_F(DateEditTest, aPressOnTheButtonDraggedOntoADayTakesIt) {
    edit->SetValue(Variant(D(2026, 12, 10)));
    TEditButtonControlEh* button = edit->ButtonControl(0);
    SendMouseDown(button, button->Width() / 2, button->Height() / 2);
    TPopupMonthCalendarEh* cal = edit->Calendar();
    ASSERT_TRUE(edit->CalendarVisible());
    // Through the calendar's top (its month bar) down into the days.
    SendMouseMove(cal, cal->Width() / 2, 4);
    SendMouseMove(cal, cal->Width() / 2, cal->Height() * 3 / 4);
    SendMouseUp(cal, cal->Width() / 2, cal->Height() * 3 / 4);
    EXPECT_FALSE(edit->CalendarVisible());
    EXPECT_FALSE(button->HeldDown());
    EXPECT_NE(double(cal->Date()), double(D(2026, 12, 10)));
    EXPECT_EQ(double(edit->GetValue().AsDateTime()), double(cal->Date()));
}

TEST_F(DateEditTest, aClickOnADayAccepts) {
    edit->SetValue(Variant(D(2026, 12, 10)));
    edit->SetFocus();
    SendKey(edit, VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(edit->CalendarVisible());
    // The day table fills the lower part of the calendar; a click on it
    // picks some day of the shown weeks.
    TPopupMonthCalendarEh* cal = edit->Calendar();
    SendClick(cal, cal->Width() / 2, cal->Height() * 3 / 4);
    EXPECT_FALSE(edit->CalendarVisible());
    ASSERT_FALSE(edit->GetValue().IsNull());
    EXPECT_EQ(double(edit->GetValue().AsDateTime()), double(cal->Date()));
    EXPECT_NE(double(cal->Date()), double(D(2026, 12, 10)));
}

TEST_F(DateEditTest, aCalendarChoiceInATimeEditChangesNothing) {
    edit->SetKind(dtkTimeEh);
    edit->SetValue(Variant(TDateTime(0.5)));
    EXPECT_EQ(edit->EditText(), "12:00:00");
    edit->SetFocus();
    SendKey(edit, VK_DOWN, TShiftState{ssAlt});
    SendKey(edit, VK_DOWN);
    SendKey(edit, VK_RETURN);
    EXPECT_DOUBLE_EQ(double(edit->GetValue().AsDateTime()), 0.5);
}

TEST_F(DateEditTest, screenshotWithTheCalendarOpen) {
    edit->SetValue(Variant(D(2026, 12, 10)));
    edit->SetFocus();
    SendKey(edit, VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(edit->CalendarVisible());
    ProcessEvents();
    std::string dir = std::string(BUILD_DIR) + "/test-output/screens/";
    ForceDirectories(dir);
    EXPECT_TRUE(SaveFormPng(&form, dir + "gridlib-date-edit-calendar.png"));
    SendKey(edit, VK_ESCAPE);
}

} // namespace
