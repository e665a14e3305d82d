// The data grid's cell editor through the window system: pick lists,
// button columns, Enter and Left in the editor, the hot-key hints and the
// editor's colour.
#include "GridFixture.h"

namespace {

class VQDBGridEditorTest : public VQDBGridTest {
protected:
    void OpenWithPickList(bool readOnly = false) {
        AddColumn("Code", "编号");
        AddColumn("Name", "书名", 120);
        TVQColumn* c = grid->Columns()->GetColumn(1);
        *c->GetPickList() = {"金瓶梅", "封神演义", "镜花缘"};
        if (readOnly) c->SetReadOnly(true);
        AddColumn("Copies", "册数");
        Open();
        grid->SetSelectedIndex(1);
    }
    TInplaceEdit* Editor() { return grid->InplaceEditor(); }
};

TEST_F(VQDBGridEditorTest, downOpensThePickListAndEnterWritesTheChosenItem) {
    OpenWithPickList();
    SendKey(grid, VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    EXPECT_EQ(Editor()->Color(), clInfoBk);
    SendKeyToFocus(grid, VK_DOWN);
    ASSERT_TRUE(Editor()->ListVisible());
    EXPECT_EQ(table->RecNo(), 1); // Down opened the list, not the next record
    SendKeyToFocus(grid, VK_DOWN);
    SendKeyToFocus(grid, VK_RETURN);
    EXPECT_FALSE(Editor()->ListVisible());
    table->Post();
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "金瓶梅");
}

TEST_F(VQDBGridEditorTest, keypadPlusDropsThePickListAndIsNeverTyped) {
    OpenWithPickList();
    SendKey(grid, VK_F2);
    SendKeyToFocus(grid, VK_ADD);
    EXPECT_TRUE(Editor()->ListVisible());
    SendKeyToFocus(grid, VK_ESCAPE);
    EXPECT_EQ(Editor()->GetText(), "红楼梦");
}

// A read-only column keeps no list: Down moves the record.
TEST_F(VQDBGridEditorTest, aReadOnlyColumnWithAPickListDropsNothing) {
    OpenWithPickList(true);
    SendKey(grid, VK_F2);
    SendKeyToFocus(grid, VK_DOWN);
    EXPECT_EQ(table->RecNo(), 2);
}

TEST_F(VQDBGridEditorTest, keypadPlusOnAButtonColumnClicksTheButton) {
    AddColumn("Code", "编号");
    grid->Columns()->GetColumn(0)->SetButtonStyle(TVQColumnButtonStyle::cbsEllipsis);
    AddColumn("Name", "书名");
    Open();
    int clicks = 0;
    grid->OnEditButtonClick = [&](TObject*) { ++clicks; };
    std::string hint = "-";
    grid->OnHotKeyHint = [&](TObject*, const std::string& h) { hint = h; };
    SendKey(grid, VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    EXPECT_EQ(hint, " [+键]: 功能相当于点击右边按钮(如弹出对话框选择等)");
    SendKeyToFocus(grid, VK_ADD);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Editor()->GetText(), "B001");
}

TEST_F(VQDBGridEditorTest, enterInTheEditorGoesToTheNextColumnAndWritesTheText) {
    OpenWithPickList();
    grid->SetSelectedIndex(0);
    SendKey(grid, VK_F2);
    SendKeyToFocus(grid, 'A', {ssCtrl});
    SendTextToFocus(grid, "X9");
    SendKeyToFocus(grid, VK_RETURN);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    EXPECT_EQ(table->FieldByName("Code")->AsString(), "X9");
}

TEST_F(VQDBGridEditorTest, leftInAnEmptyCellGoesToThePreviousColumn) {
    OpenWithPickList();
    grid->SetSelectedIndex(2);
    SendKey(grid, VK_F2);
    SendKeyToFocus(grid, 'A', {ssCtrl});
    SendKeyToFocus(grid, VK_BACK);
    ASSERT_EQ(Editor()->GetText(), "");
    SendKeyToFocus(grid, VK_LEFT);
    EXPECT_EQ(grid->SelectedIndex(), 1);
}

TEST_F(VQDBGridEditorTest, aPlainCellAnnouncesNoKeysAndAPickListCellItsDownKey) {
    OpenWithPickList();
    std::string hint = "-";
    grid->OnHotKeyHint = [&](TObject*, const std::string& h) { hint = h; };
    grid->SetSelectedIndex(0);
    SendKey(grid, VK_F2);
    EXPECT_EQ(hint, "");
    SendKeyToFocus(grid, VK_ESCAPE);
    grid->SetFocus();
    grid->SetSelectedIndex(1);
    SendKey(grid, VK_F2);
    EXPECT_EQ(hint, " [↓键]:弹出下拉框 ");
}

} // namespace
