// The data grid's cell editor through the window system: pick lists,
// button columns, Enter and Left in the editor, the hot-key hints and the
// editor's colour.
#include "GridFixture.h"

#include "db/ListDataSet.h"

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

// Items 11 pixels high and a 2-pixel border: rows x 11 + 4, with at most
// the column's DropDownRows rows; a font taller than 11 pixels gets whole
// lines instead of overlapping ones.
TEST_F(VQDBGridEditorTest, pickListIsItemsTimesElevenPlusFourPixelsHigh) {
    OpenWithPickList();
    TVQColumn* c = grid->Columns()->GetColumn(1);
    c->Font()->SetSize(6);
    SendKey(grid, VK_F2);
    SendKeyToFocus(grid, VK_DOWN);
    ASSERT_TRUE(Editor()->ListVisible());
    EXPECT_EQ(Editor()->ListRect().Height(), 3 * 11 + 4);
    SendKeyToFocus(grid, VK_ESCAPE);
    SendKey(grid, VK_ESCAPE);
    c->Font()->SetSize(9);
    grid->SetSelectedIndex(0);
    grid->SetSelectedIndex(1);
    SendKey(grid, VK_F2);
    SendKeyToFocus(grid, VK_DOWN);
    ASSERT_TRUE(Editor()->ListVisible());
    const int h = Editor()->ListRect().Height();
    EXPECT_GE(h, 3 * 11 + 4);
    EXPECT_EQ((h - 4) % 3, 0) << "three equal rows";
    const std::string path = ScreensDir() + "/vqdbgrid-pick-list.png";
    EXPECT_TRUE(SaveFormPng(form, path));
    SendKeyToFocus(grid, VK_ESCAPE);
    c->Font()->SetSize(6);
    c->DropDownRows = 2;
    SendKey(grid, VK_ESCAPE);
    grid->SetSelectedIndex(0);
    grid->SetSelectedIndex(1);
    SendKey(grid, VK_F2);
    SendKeyToFocus(grid, VK_DOWN);
    ASSERT_TRUE(Editor()->ListVisible());
    EXPECT_EQ(Editor()->ListRect().Height(), 2 * 11 + 4);
}

// Typing into the open list picks an item and types nothing into the cell.
TEST_F(VQDBGridEditorTest, typingIntoTheOpenListPicksTheFirstItemBeginningWithTheText) {
    AddColumn("Code", "编号");
    AddColumn("Name", "书名", 120);
    *grid->Columns()->GetColumn(1)->GetPickList() = {"金瓶梅", "封神演义", "Jing", "封面", "jinghua"};
    Open();
    grid->SetSelectedIndex(1);
    SendKey(grid, VK_F2);
    SendKeyToFocus(grid, VK_DOWN);
    ASSERT_TRUE(Editor()->ListVisible());
    struct Step {
        const char* typed;
        Word key;
        int item;
    };
    const Step steps[] = {{"封", 0, 1},  {"面", 0, 3},       {nullptr, VK_BACK, 3},
                          {"ji", 0, 2}, {"NGH", 0, 4}, {"x", 0, 4}};
    for (const Step& st : steps) {
        if (st.typed)
            SendTextToFocus(grid, st.typed);
        else
            SendKeyToFocus(grid, st.key);
        EXPECT_EQ(Editor()->ItemIndex(), st.item) << (st.typed ? st.typed : "key");
        EXPECT_EQ(Editor()->GetText(), "红楼梦");
    }
    SendKeyToFocus(grid, VK_RETURN);
    table->Post();
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "jinghua");
}

// A lookup column's list shows the lookup's names and writes the chosen
// one's key into the key field.
TEST(VQDBGridLookup, lookupListWritesTheChosenKeyIntoTheKeyField) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 420, 300);
    auto* kinds = new TListDataSet(&form);
    kinds->FieldDefs().Add("Kind", ftInteger);
    kinds->FieldDefs().Add("KindName", ftString, 20);
    kinds->AddRow({Variant(1), Variant("图书")});
    kinds->AddRow({Variant(2), Variant("期刊")});
    kinds->AddRow({Variant(3), Variant("报纸")});
    kinds->Open();
    auto* books = new TListDataSet(&form);
    auto* code = new TStringField(books);
    code->SetFieldName("Code");
    code->SetSize(10);
    code->SetDataSet(books);
    auto* kind = new TIntegerField(books);
    kind->SetFieldName("Kind");
    kind->SetDataSet(books);
    auto* name = new TStringField(books);
    name->SetFieldName("KindName");
    name->SetSize(20);
    name->SetFieldKind(fkLookup);
    name->SetKeyFields("Kind");
    name->SetLookupDataSet(kinds);
    name->SetLookupKeyFields("Kind");
    name->SetLookupResultField("KindName");
    name->SetDataSet(books);
    books->AddRow({Variant("B001"), Variant(1)});
    books->Open();
    auto* src = new TDataSource(&form);
    src->SetDataSet(books);
    auto* grid = new TVQDBGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 400, 200);
    grid->SetDataSource(src);
    ShowAndActivate(&form);
    grid->SetFocus();
    grid->SetSelectedIndex(2);
    SendKey(grid, VK_F2);
    ASSERT_EQ(grid->InplaceEditor()->EditStyle(), esPickList);
    SendKeyToFocus(grid, VK_DOWN);
    ASSERT_TRUE(grid->InplaceEditor()->ListVisible());
    EXPECT_EQ(grid->InplaceEditor()->PickList(), (std::vector<std::string>{"图书", "期刊", "报纸"}));
    EXPECT_EQ(grid->InplaceEditor()->ItemIndex(), 0) << "the current name is chosen";
    SendKeyToFocus(grid, VK_DOWN);
    SendKeyToFocus(grid, VK_DOWN);
    SendKeyToFocus(grid, VK_RETURN);
    EXPECT_FALSE(grid->InplaceEditor()->ListVisible());
    books->Post();
    EXPECT_EQ(books->FieldByName("Kind")->AsInteger(), 3);
    EXPECT_EQ(books->FieldByName("KindName")->AsString(), "报纸");
}

} // namespace
