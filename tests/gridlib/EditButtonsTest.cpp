// The buttons of the data-aware edits: the up/down button's auto-repeat
// driven tick by tick, the row of buttons at the edit's right edge, and
// the number box stepping through an up-down main button.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "ExtCtrls.h"
#include "Menus.h"
#include "TestKit.h"
#include "gridlib/edits/DBCtrlsEh.h"

namespace {

// Exposes the mouse handlers so that a test can hold the button down.
class HeldButton : public TEditButtonControlEh {
public:
    using TEditButtonControlEh::MouseDown;
    using TEditButtonControlEh::MouseMove;
    using TEditButtonControlEh::MouseUp;
    using TEditButtonControlEh::TEditButtonControlEh;
};

class EditButtonsTest : public ::testing::Test {
protected:
    TSeamScript script;
    TForm form{nullptr};
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        ShowAndActivate(&form);
    }
};

TEST_F(EditButtonsTest, holdingTheUpperHalfRepeatsAfter400ThenEvery100) {
    HeldButton b(&form);
    b.SetParent(&form);
    b.SetBounds(0, 0, 17, 20);
    b.SetButtonStyle(ebsUpDownEh);
    std::vector<bool> downs;
    b.OnDown = [&](TObject*, bool top, bool&, bool&) { downs.push_back(top); };
    int clicks = 0;
    b.OnClick = [&](TObject*) { ++clicks; };
    b.MouseDown(mbLeft, {}, 8, 3);
    EXPECT_EQ(downs, (std::vector<bool>{true}));
    EXPECT_EQ(b.PressedPart(), 1);
    ASSERT_TRUE(b.RepeatTimer()->Enabled());
    EXPECT_EQ(b.RepeatTimer()->Interval(), 400);
    b.RepeatTimerTick();
    EXPECT_EQ(b.RepeatTimer()->Interval(), 100);
    b.RepeatTimerTick();
    EXPECT_EQ(downs.size(), 3u);
    // Onto the lower half while holding: the repeats pause.
    b.MouseMove({ssLeft}, 8, 17);
    b.RepeatTimerTick();
    EXPECT_EQ(downs.size(), 3u);
    // Released there: no click, the timer stops.
    b.MouseUp(mbLeft, {}, 8, 17);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(b.RepeatTimer()->Enabled());
}

TEST_F(EditButtonsTest, handlerClearingAutoRepeatGetsNoRepeats) {
    HeldButton b(&form);
    b.SetParent(&form);
    b.SetBounds(0, 0, 17, 20);
    b.SetButtonStyle(ebsUpDownEh);
    b.OnDown = [&](TObject*, bool, bool& autoRepeat, bool&) { autoRepeat = false; };
    b.MouseDown(mbLeft, {}, 8, 15);
    EXPECT_EQ(b.PressedPart(), 2);
    EXPECT_TRUE(b.RepeatTimer() == nullptr || !b.RepeatTimer()->Enabled());
}

struct LayoutRow {
    const char* name;
    bool flat;
    int mainWidth;
    int expectedMainWidth; // -1: the process-wide flat width
};
class ButtonLayoutTest : public EditButtonsTest, public ::testing::WithParamInterface<LayoutRow> {};
TEST_P(ButtonLayoutTest, mainButtonThenAdditionalOnesInOrderAtTheRightEdge) {
    LayoutRow r = GetParam();
    auto* e = new TDBNumberEditEh(&form);
    if (r.expectedMainWidth < 0) r.expectedMainWidth = FlatEditButtonWidth;
    e->SetParent(&form);
    e->SetBounds(10, 10, 150, 21);
    e->SetFlat(r.flat);
    e->EditButton()->SetWidth(r.mainWidth);
    e->EditButton()->SetVisible(true);
    e->EditButtons()->Add()->SetWidth(12);
    e->EditButtons()->Add()->SetWidth(14);
    ASSERT_EQ(e->ButtonControlCount(), 3);
    int sep = r.flat ? 1 : 0;
    EXPECT_EQ(e->ButtonControl(0)->Width(), r.expectedMainWidth);
    EXPECT_EQ(e->ButtonControl(2)->Left() + 14, e->ClientWidth());
    EXPECT_EQ(e->ButtonControl(1)->Left() + 12 + sep, e->ButtonControl(2)->Left());
    EXPECT_EQ(e->ButtonControl(0)->Left() + r.expectedMainWidth + sep, e->ButtonControl(1)->Left());
    EXPECT_EQ(e->ButtonsWidth(), r.expectedMainWidth + 12 + 14 + 3 * sep);
}
INSTANTIATE_TEST_SUITE_P(Rows, ButtonLayoutTest,
                         ::testing::Values(LayoutRow{"flatAutomaticWidth", true, 0, -1},
                                           LayoutRow{"raisedAutomaticWidth", false, 0, kScrollArrowWidth},
                                           LayoutRow{"ownWidth", false, 20, 20}),
                         RowName());

TEST_F(EditButtonsTest, thePressThatClosesTheMainButtonsMenuDoesNotPopItUpAgain) {
    auto* e = new TDBNumberEditEh(&form);
    e->SetParent(&form);
    e->SetBounds(10, 10, 150, 21);
    e->EditButton()->SetVisible(true);
    auto* menu = new TPopupMenu(&form);
    auto* item = new TMenuItem(menu);
    item->SetCaption("清零");
    menu->Items()->Add(item);
    e->EditButton()->DropdownMenu = menu;
    int downs = 0;
    e->OnButtonDown = [&](TObject*, bool, bool&, bool&) { ++downs; };
    TEditButtonControlEh* b = e->ButtonControl(0);
    SendClick(b);
    EXPECT_EQ(OpenMenuCaptions(), (std::vector<std::string>{"清零"}));
    SendKeyToMenu(VK_ESCAPE);
    ProcessEvents();
    EXPECT_EQ(b->PressedPart(), 0); // let up once the menu went
    SendClick(b);
    ASSERT_TRUE(MenuOpen() || !OpenMenuCaptions().empty());
    SendClick(b); // closes the menu, and only that
    ProcessEvents();
    EXPECT_FALSE(MenuOpen());
    EXPECT_EQ(downs, 2);
    SendClick(b);
    EXPECT_EQ(OpenMenuCaptions(), (std::vector<std::string>{"清零"}));
    EXPECT_EQ(downs, 3);
    SendKeyToMenu(VK_ESCAPE);
    ProcessEvents();
}

TEST_F(EditButtonsTest, flatButtonWidthIsOddAndNotWiderThanAScrollArrow) {
    int w = CalcFlatButtonWidth();
    EXPECT_EQ(w % 2, 1);
    EXPECT_LE(w, kScrollArrowWidth);
    EXPECT_GT(w, 0);
}

TEST_F(EditButtonsTest, upDownMainButtonStepsTheNumber) {
    auto* e = new TDBNumberEditEh(&form);
    e->SetParent(&form);
    e->SetBounds(10, 10, 150, 21);
    e->EditButton()->SetStyle(ebsUpDownEh);
    e->EditButton()->SetVisible(true);
    ASSERT_EQ(e->ButtonControlCount(), 1);
    e->SetValue(5);
    // The box made a plain button, not a HeldButton: casting it to one is
    // undefined, so its handlers are reached through member pointers.
    TEditButtonControlEh* b = e->ButtonControl(0);
    auto click = [b](int y) {
        (b->*&HeldButton::MouseDown)(mbLeft, {}, 2, y);
        (b->*&HeldButton::MouseUp)(mbLeft, {}, 2, y);
    };
    click(1);
    EXPECT_EQ(e->GetValue().AsDouble(), 6.0);
    click(b->Height() - 1);
    click(b->Height() - 1);
    EXPECT_EQ(e->GetValue().AsDouble(), 4.0);
}

// Esc while the typed text is modified restores the stored value and is
// not taken by the form's cancel button.
TEST_F(EditButtonsTest, escUndoesTypingWithoutPressingCancel) {
    auto* e = new TDBNumberEditEh(&form);
    e->SetParent(&form);
    e->SetBounds(10, 10, 150, 21);
    auto* cancel = new TButton(&form);
    cancel->SetParent(&form);
    cancel->SetBounds(10, 40, 60, 24);
    cancel->SetCancel(true);
    int cancels = 0;
    cancel->OnClick = [&](TObject*) { ++cancels; };
    e->SetValue(8);
    e->SetFocus();
    ProcessEvents();
    SendText(e, "9");
    ASSERT_NE(e->GetText(), "8");
    SendKey(e, VK_ESCAPE);
    EXPECT_EQ(e->GetText(), "8");
    EXPECT_EQ(e->GetValue().AsDouble(), 8.0);
    EXPECT_EQ(cancels, 0);
}

} // namespace

namespace {

TEST_F(EditButtonsTest, numberBoxesWithButtonsRenderToAPicture) {
    form.SetBounds(0, 0, 260, 120);
    auto* plain = new TDBNumberEditEh(&form);
    plain->SetParent(&form);
    plain->SetBounds(10, 10, 150, 21);
    plain->SetDecimalPlaces(0);
    plain->SetValue(3);
    auto* stepped = new TDBNumberEditEh(&form);
    stepped->SetParent(&form);
    stepped->SetBounds(10, 40, 150, 21);
    stepped->EditButton()->SetStyle(ebsUpDownEh);
    stepped->EditButton()->SetVisible(true);
    stepped->EditButtons()->Add()->SetStyle(ebsEllipsisEh);
    stepped->SetDisplayFormat("#,##0.00");
    stepped->SetValue(1234.5);
    EXPECT_EQ(stepped->GetText(), "1,234.50");
    ProcessEvents();
    EXPECT_TRUE(SaveFormPng(&form, BUILD_DIR "/test-output/screens/numbox-buttons.png"));
}

} // namespace

namespace {

TEST_F(EditButtonsTest, tallEditGetsSquareButtonsAndANormalOneFullHeightButtons) {
    auto* tall = new TDBNumberEditEh(&form);
    tall->SetParent(&form);
    tall->SetBounds(10, 10, 150, 60);
    tall->EditButton()->SetVisible(true);
    EXPECT_EQ(tall->ButtonControl(0)->Height(), kScrollArrowWidth);
    EXPECT_EQ(tall->ButtonControl(0)->Top(), 0);
    auto* normal = new TDBNumberEditEh(&form);
    normal->SetParent(&form);
    normal->SetBounds(10, 80, 150, 21);
    normal->EditButton()->SetVisible(true);
    EXPECT_EQ(normal->ButtonControl(0)->Height(), normal->ClientHeight());
}

} // namespace
