// The combo box: key items (typing seeks an entry and never writes text, a
// value that is no key is kept), completion in text mode, stepping, the
// not-in-list event before the write, and the drop-down list opened,
// moved and closed from the keyboard and the mouse.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "gridlib/edits/DBCtrlsEh.h"
#include "ExtCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "db/ListDataSet.h"

namespace {

class ComboBoxTest : public ::testing::Test {
protected:
    TSeamScript script;
    TForm form{nullptr};
    TDBComboBoxEh* combo = nullptr;
    TEdit* other = nullptr;
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        form.SetBounds(100, 100, 420, 300);
        combo = new TDBComboBoxEh(&form);
        combo->SetName("ComboSex");
        combo->SetParent(&form);
        combo->SetBounds(10, 10, 120, 21);
        other = new TEdit(&form);
        other->SetName("Other");
        other->SetParent(&form);
        other->SetBounds(200, 10, 120, 21);
        ShowAndActivate(&form);
    }
    void keyItems(std::initializer_list<const char*> texts, std::initializer_list<const char*> keys) {
        for (const char* t : texts) combo->Items()->Add(t);
        for (const char* k : keys) combo->KeyItems()->Add(k);
    }
    void leave() {
        other->SetFocus();
        ProcessEvents();
    }
};

TEST_F(ComboBoxTest, typingAChineseCharacterSelectsItsKeyItem) {
    keyItems({"男", "女"}, {"男", "女"});
    ASSERT_TRUE(combo->KeyItemsMode());
    combo->SetFocus();
    SendText(combo, "女");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->GetText(), "女");
    EXPECT_EQ(combo->GetValue().AsString(), "女");
    // A character that continues no entry is ignored; the text never changes by typing.
    SendText(combo, "x");
    EXPECT_EQ(combo->GetText(), "女");
    SendKey(combo, VK_DELETE);
    EXPECT_TRUE(combo->GetValue().IsNull());
    EXPECT_EQ(combo->GetText(), "");
    leave();
    EXPECT_TRUE(combo->DataLink()->OwnValue().IsNull());
}

TEST_F(ComboBoxTest, keysAndTextsDifferAndTheKeyIsTheValue) {
    keyItems({"在编", "离职", "退休"}, {"1", "2", "3"});
    combo->SetValue(Variant("2"));
    EXPECT_EQ(combo->GetText(), "离职");
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetText("退休");
    EXPECT_EQ(combo->GetValue().AsString(), "3");
    combo->SetText("无此项"); // a text that is no entry changes nothing
    EXPECT_EQ(combo->GetValue().AsString(), "3");
    // A value that is no key shows nothing and is kept.
    combo->SetValue(Variant("9"));
    EXPECT_EQ(combo->GetText(), "");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->GetValue().AsString(), "9");
}

TEST_F(ComboBoxTest, aBoundKeyFieldShowsItsEntryAndWritesTheKey) {
    auto* ds = new TListDataSet(&form);
    ds->FieldDefs().Add("ReaderSex", ftString, 2);
    ds->AddRow({Variant("女")});
    ds->AddRow({Variant("X")});
    ds->Open();
    auto* src = new TDataSource(&form);
    src->SetDataSet(ds);
    keyItems({"男", "女"}, {"男", "女"});
    combo->SetDataSource(src);
    combo->SetDataField("ReaderSex");
    EXPECT_EQ(combo->GetText(), "女");
    combo->SetFocus();
    SendKey(combo, VK_UP);
    EXPECT_EQ(combo->GetText(), "男");
    leave();
    EXPECT_EQ(ds->FieldByName("ReaderSex")->AsString(), "男");
    ds->Next();
    EXPECT_EQ(combo->GetText(), "");
    EXPECT_EQ(combo->GetValue().AsString(), "X");
}

TEST_F(ComboBoxTest, upAndDownStepAndFromNothingReachTheEnds) {
    keyItems({"一", "二", "三"}, {"1", "2", "3"});
    combo->SetFocus();
    SendKey(combo, VK_UP);
    EXPECT_EQ(combo->ItemIndex(), 2);
    SendKey(combo, VK_UP);
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetValue(Null());
    SendKey(combo, VK_DOWN);
    EXPECT_EQ(combo->ItemIndex(), 0);
    SendKey(combo, VK_UP); // the first stays
    EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(ComboBoxTest, textModeCompletesAtTheEndOnly) {
    for (const char* s : {"Apple", "Apricot", "Banana"}) combo->Items()->Add(s);
    ASSERT_FALSE(combo->KeyItemsMode());
    combo->SetFocus();
    SendText(combo, "ap");
    EXPECT_EQ(combo->GetText(), "Apple");
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->SelStart(), 2);
    EXPECT_EQ(combo->SelLength(), 3);
    SendText(combo, "r"); // types over the selection: "apr" completes to Apricot
    EXPECT_EQ(combo->GetText(), "Apricot");
    EXPECT_EQ(combo->SelLength(), 4);
    // Inside the text, only a whole entry is taken.
    combo->SetText("Banaa");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetSelStart(4);
    combo->SetSelLength(0);
    SendText(combo, "n");
    EXPECT_EQ(combo->GetText(), "Banana");
    EXPECT_EQ(combo->ItemIndex(), 2);
    SendText(combo, "zz");
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(ComboBoxTest, notInListFiresOnLeavingBeforeTheWrite) {
    auto* ds = new TListDataSet(&form);
    ds->FieldDefs().Add("Freq", ftString, 20);
    ds->AddRow({Variant("月刊")});
    ds->Open();
    auto* src = new TDataSource(&form);
    src->SetDataSet(ds);
    for (const char* s : {"月刊", "周刊"}) combo->Items()->Add(s);
    combo->SetDataSource(src);
    combo->SetDataField("Freq");
    std::string seenText, fieldThen;
    combo->OnNotInList = [&](TObject*, const std::string& text, bool&) {
        seenText = text;
        fieldThen = ds->FieldByName("Freq")->AsString();
        combo->Items()->Add(text);
    };
    combo->SetFocus();
    combo->SelectAll();
    SendText(combo, "季刊");
    leave();
    EXPECT_EQ(seenText, "季刊");
    EXPECT_EQ(fieldThen, "月刊");
    EXPECT_EQ(ds->FieldByName("Freq")->AsString(), "季刊");
    EXPECT_EQ(combo->Items()->Count(), 3);
}

TEST_F(ComboBoxTest, theListDropsFromTheKeyboardWithWholeRowsAndEnterTakesTheEntry) {
    keyItems({"男", "女", "未知"}, {"M", "F", "U"});
    combo->SetFocus();
    SendKey(combo, VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(combo->ListVisible());
    TPopupListboxEh* list = combo->PopupList();
    EXPECT_TRUE(list->Visible());
    EXPECT_EQ(list->RowCount(), 3); // three entries with Rows 7 show three rows
    EXPECT_EQ(list->Height(), 3 * list->ItemHeight() + list->BorderHeight());
    EXPECT_EQ(list->Width(), combo->Width());
    EXPECT_EQ(list->Top(), combo->ClientToScreen(TPoint{0, combo->Height()}).Y);
    SendKey(combo, VK_DOWN);
    SendKey(combo, VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_TRUE(combo->GetValue().IsNull()); // nothing taken yet
    SendKey(combo, VK_RETURN);
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(combo->GetValue().AsString(), "F");
    SendKey(combo, VK_DOWN, TShiftState{ssAlt});
    SendKey(combo, VK_DOWN);
    SendKey(combo, VK_ESCAPE);
    EXPECT_EQ(combo->GetValue().AsString(), "F");
}

TEST_F(ComboBoxTest, aClickOnTheTextOpensAClickOnAnEntryTakesIt) {
    keyItems({"男", "女"}, {"男", "女"});
    SendClick(combo, 20, 10);
    ASSERT_TRUE(combo->ListVisible());
    SendClick(combo, 20, 10); // the second click on the text closes it
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_TRUE(combo->GetValue().IsNull());
    SendClick(combo->ButtonControl(0));
    ASSERT_TRUE(combo->ListVisible());
    TPopupListboxEh* list = combo->PopupList();
    TRect second = list->ItemRect(1);
    SendClick(list, second.Left + 5, second.Top + 3);
    EXPECT_FALSE(combo->ListVisible());
    EXPECT_EQ(combo->GetValue().AsString(), "女");
}

// A press on the button, or on the text of a key-item box, dragged into
// the list: the list follows the pointer and the release takes the entry.
TEST_F(ComboBoxTest, aPressDraggedIntoTheListTakesTheEntryItIsReleasedOn) {
    keyItems({"男", "女", "未知"}, {"M", "F", "U"});
    struct Case {
        const char* from;
        TControl* pressed;
        TPoint at;
        int entry;
        const char* value;
    } cases[] = {
        {"button", combo->ButtonControl(0), {combo->ButtonControl(0)->Width() / 2, 8}, 1, "F"},
        {"text", combo, {20, 10}, 2, "U"},
    };
    for (const Case& c : cases) {
        SendMouseDown(c.pressed, c.at.X, c.at.Y);
        ASSERT_TRUE(combo->ListVisible()) << c.from;
        TPopupListboxEh* list = combo->PopupList();
        for (int i : {0, c.entry}) {
            const TRect r = list->ItemRect(i);
            SendMouseMove(list, r.Left + 5, r.Top + r.Height() / 2);
            EXPECT_EQ(list->ItemIndex(), i) << c.from;
        }
        const TRect r = list->ItemRect(c.entry);
        SendMouseUp(list, r.Left + 5, r.Top + r.Height() / 2);
        EXPECT_FALSE(combo->ListVisible()) << c.from;
        EXPECT_EQ(combo->GetValue().AsString(), c.value) << c.from;
    }
}

TEST_F(ComboBoxTest, widestEntryWidthAndAResizeRememberedForTheNextDrop) {
    for (const char* s : {"一", "一本很长很长很长很长的书名", "二"}) combo->Items()->Add(s);
    combo->DropDownBox().Width = -1;
    combo->DropDownBox().Sizable = true;
    combo->SetFocus();
    SendKey(combo, VK_DOWN, TShiftState{ssAlt});
    TPopupListboxEh* list = combo->PopupList();
    EXPECT_GT(list->Width(), combo->Width());
    EXPECT_TRUE(list->SizeGrip()->Visible());
    EXPECT_EQ(list->SizeGrip()->Corner(), gcBottomRightEh);
    // Dragging the grip down by one and a half rows keeps whole rows.
    TSizeGripEh* grip = list->SizeGrip();
    int rows = list->RowCount(), ih = list->ItemHeight();
    SendMouseDown(grip, 5, 5);
    TPoint to = grip->ClientToScreen(TPoint{5 + 30, 5 + ih * 3 / 2});
    SendMouseMove(grip, 5 + 30, 5 + ih * 3 / 2);
    // The grip has moved with the corner: release where the pointer is.
    TPoint at = grip->ScreenToClient(to);
    SendMouseUp(grip, at.X, at.Y);
    EXPECT_EQ(list->RowCount(), rows + 1);
    EXPECT_EQ(list->Height(), list->RowCount() * ih + list->BorderHeight());
    int width = list->Width();
    SendKey(combo, VK_ESCAPE);
    EXPECT_EQ(combo->DropDownBox().Rows, rows + 1);
    EXPECT_EQ(combo->DropDownBox().Width, width);
}

} // namespace
