// The library's edit as typed into: the character filter, focus walking,
// focus colour and the number pad behind its button.
#include "vq/controls/VqEdits.h"

#include "Forms.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "vq/controls/VqCalendar.h"
#include "vq/controls/VqPads.h"

#include <gtest/gtest.h>

namespace {

class VqEditForm : public ::testing::Test {
protected:
    TForm form{nullptr};
    TVQEdit* first = new TVQEdit(&form);
    TVQEdit* second = new TVQEdit(&form);
    void SetUp() override {
        form.SetBounds(100, 100, 300, 240);
        first->SetName("EdtFirstRow");
        first->SetParent(&form);
        first->SetBounds(10, 10, 120, 21);
        second->SetName("EdtRows");
        second->SetParent(&form);
        second->SetBounds(10, 40, 120, 21);
    }
};

TEST_F(VqEditForm, validCharsDropLettersAndEnterMovesOnWithoutBecomingText) {
    first->SetValidChars("1234567890");
    ShowAndActivate(&form);
    SendText(first, "1a-2b3");
    EXPECT_EQ(first->Text(), "123");
    SendKey(first, VK_RETURN);
    EXPECT_EQ(first->Text(), "123");
    EXPECT_TRUE(second->Focused());
    SendKey(second, VK_UP);
    EXPECT_TRUE(first->Focused());
}

TEST_F(VqEditForm, focusedEditIsInfoColouredAndAColourSetMeanwhileStays) {
    ShowAndActivate(&form);
    first->SetFocus();
    ProcessEvents();
    EXPECT_EQ(first->Color(), clInfoBk);
    first->SetColor(clYellow);
    EXPECT_EQ(first->Color(), clYellow);
    SendKey(first, VK_DOWN);
    EXPECT_EQ(first->Color(), clYellow);
    EXPECT_EQ(second->Color(), clInfoBk);
}

TEST_F(VqEditForm, numberButtonTwiceOpensThenClosesRestoringTheText) {
    first->SetDataType(edtNumber);
    first->SetText("12");
    ShowAndActivate(&form);
    ASSERT_FALSE(IsRectEmpty(first->Button()->ButtonRect()));
    SendClick(first->Button());
    ProcessEvents();
    ASSERT_NE(SharedNumPad(), nullptr);
    EXPECT_TRUE(SharedNumPad()->Visible());
    SendText(SharedNumPad(), "7");
    EXPECT_EQ(first->Text(), "7") << "the display follows into the edit";
    first->ButtonClick();
    ProcessEvents();
    EXPECT_FALSE(SharedNumPad()->Visible());
    EXPECT_EQ(first->Text(), "12");
}

TEST_F(VqEditForm, keypadPlusOpensThePadAndEnterAcceptsItsResult) {
    first->SetDataType(edtNumber);
    first->SetText("12");
    ShowAndActivate(&form);
    SendKey(first, VK_ADD);
    ProcessEvents();
    ASSERT_TRUE(SharedNumPad() && SharedNumPad()->Visible());
    SendText(SharedNumPad(), "+3");
    SendKey(SharedNumPad(), VK_RETURN);
    ProcessEvents();
    EXPECT_EQ(first->Text(), "15");
    EXPECT_FALSE(SharedNumPad()->Visible());
}

TEST_F(VqEditForm, readOnlyNumberEditIgnoresClickPlusAndDoubleClick) {
    first->SetDataType(edtNumber);
    first->SetReadOnly(true);
    first->SetText("5");
    ShowAndActivate(&form);
    SendClick(first->Button());
    SendKey(first, VK_ADD);
    SendDoubleClick(first);
    ProcessEvents();
    EXPECT_TRUE(!SharedNumPad() || !SharedNumPad()->Visible());
    EXPECT_EQ(first->Text(), "5");
}

TEST_F(VqEditForm, textEditWithoutGlyphHasNoButtonAreaEvenWhenEnabled) {
    first->SetEnabled(false);
    first->SetEnabled(true);
    EXPECT_TRUE(IsRectEmpty(first->Button()->ButtonRect()));
}

TEST_F(VqEditForm, sharedPadGoesWithItsOwnerAndANewOneIsMade) {
    {
        auto* owner = new TVQEdit(&form);
        owner->SetParent(&form);
        owner->SetDataType(edtNumber);
        owner->ButtonClick();
        EXPECT_NE(SharedNumPad(), nullptr);
        delete owner;
    }
    EXPECT_EQ(SharedNumPad(), nullptr);
}

} // namespace

namespace {

TEST_F(VqEditForm, dateButtonOpensThePadWhoseDayFollowsAndEnterWritesTheShortDate) {
    first->SetDataType(edtDate);
    first->SetText("");
    ShowAndActivate(&form);
    SendClick(first->Button());
    ProcessEvents();
    ASSERT_NE(SharedDatePad(), nullptr);
    ASSERT_TRUE(SharedDatePad()->Visible());
    SharedDatePad()->CalDate()->SetDateTime(EncodeDate(2006, 3, 4));
    SendKey(SharedDatePad(), VK_RIGHT);
    EXPECT_EQ(first->Text(), "2006-3-5") << "the live text while the pad is open";
    SendKey(SharedDatePad(), VK_RETURN);
    ProcessEvents();
    EXPECT_EQ(first->Text(), "2006-03-05");
    EXPECT_FALSE(SharedDatePad()->Visible());
    EXPECT_TRUE(first->Focused());
}

TEST_F(VqEditForm, escapeInTheDatePadRestoresTheEarlierText) {
    first->SetDataType(edtDate);
    first->SetText("2001-01-01");
    ShowAndActivate(&form);
    SendKey(first, VK_ADD);
    ProcessEvents();
    ASSERT_TRUE(SharedDatePad() && SharedDatePad()->Visible());
    SendKey(SharedDatePad(), VK_DOWN);
    SendKey(SharedDatePad(), VK_ESCAPE);
    ProcessEvents();
    EXPECT_EQ(first->Text(), "2001-01-01");
}

} // namespace
