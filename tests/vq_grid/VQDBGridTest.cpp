// The in-house data grid in a real form over the in-memory table: columns
// and headings, the title menu and the find box through the window system,
// what the keys select and delete, and what a cell paints.
#include "GridFixture.h"

#include "StdCtrls.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

namespace {

TEST_F(VQDBGridTest, generatedColumnsFollowTheFieldsAndLookupsIgnoreCase) {
    Open();
    ASSERT_EQ(grid->Columns()->Count(), 5);
    EXPECT_EQ(grid->Columns()->State(), vcsDefault);
    EXPECT_EQ(grid->FindColumnByFieldName("NAME"), grid->Columns()->GetColumn(1));
    EXPECT_EQ(grid->FindColumnByFieldName("Title"), nullptr);
    grid->Columns()->GetColumn(2)->Title()->SetCaption("册数");
    EXPECT_EQ(table->FieldByName("Copies")->DisplayLabel(), "册数"); // generated: into the field
    EXPECT_EQ(grid->FindColumnByCaption("册数"), grid->Columns()->GetColumn(2));
    EXPECT_EQ(grid->DefaultRowHeight(), 30);
    EXPECT_EQ(grid->ColWidths(0), 20);
}

TEST_F(VQDBGridTest, columnBasicsHiddenWidthPickListAndReadOnly) {
    AddColumn("Code", "编号");
    AddColumn("Name", "书名");
    Open();
    TVQColumn* c = grid->Columns()->GetColumn(0);
    EXPECT_NE(c->GetPickList(), nullptr);
    EXPECT_TRUE(c->GetPickList()->empty());
    c->SetVisible(false);
    EXPECT_EQ(c->GetWidth(), -1);
    EXPECT_EQ(grid->ExportSource().Columns.size(), 1u);
    EXPECT_THROW(grid->Columns()->GetColumn(2), EListError);
    c->SetReadOnly(true);
    EXPECT_TRUE(c->ReadOnly());
    EXPECT_FALSE(table->FieldByName("Code")->ReadOnly()); // stored: the column keeps it
}

// "_" in captions: adjacent columns sharing a first word go under one
// heading; three words give three levels.
TEST_F(VQDBGridTest, captionsWithUnderscoreBuildMultiLevelHeadings) {
    AddColumn("Code", "编号");
    AddColumn("Copies", "馆藏_数量_册数");
    AddColumn("Amount", "馆藏_数量_金额");
    AddColumn("OnLoan", "馆藏_在借");
    AddColumn("Name", "书名");
    Open();
    const TVQHeadNode& root = grid->HeadingRoot();
    ASSERT_EQ(root.Children.size(), 3u);
    EXPECT_EQ(root.Children[0]->Caption, "编号");
    const TVQHeadNode& store = *root.Children[1];
    EXPECT_EQ(store.Caption, "馆藏");
    EXPECT_EQ(store.First, 1);
    EXPECT_EQ(store.Last, 3);
    EXPECT_EQ(store.Width, 80 * 3 + 2);
    ASSERT_EQ(store.Children.size(), 2u);
    EXPECT_EQ(store.Children[0]->Caption, "数量");
    ASSERT_EQ(store.Children[0]->Children.size(), 2u);
    EXPECT_EQ(store.Children[0]->Children[0]->Caption, "册数");
    EXPECT_EQ(store.Children[0]->Children[1]->Caption, "金额");
    EXPECT_EQ(store.Children[1]->Caption, "在借");
    // Three levels: the leaf under two headings is as high as the title
    // row less both headings; a lone caption fills the whole row.
    const int row = grid->RowHeights(0);
    EXPECT_EQ(root.Children[0]->Height, row + 1);
    EXPECT_EQ(store.Height + store.Children[0]->Height + store.Children[0]->Children[0]->Height, row + 1);
    EXPECT_GT(row, 3 * 12);
}

TEST_F(VQDBGridTest, rightClickOnATitleOpensTheTitleMenuButNotOnACell) {
    Open();
    const TPoint cell = CellCentre(2, 2);
    SendClick(grid, cell.X, cell.Y, mbRight);
    EXPECT_FALSE(MenuOpen());
    RightClickTitle(2);
    ASSERT_EQ(OpenMenuCaptions(),
              (std::vector<std::string>{"输入及显示控制", "数据转入转出", "数据定位", "全部选定", "清除所选",
                                        "保存设置", "恢复设置", "数据输出", "数据图表"}));
    QWidget* m = QApplication::activePopupWidget();
    const std::string dir = std::string(BUILD_DIR) + "/test-output/screens";
    std::filesystem::create_directories(dir);
    m->grab().save(QString::fromStdString(dir + "/vqdbgrid-title-menu.png"));
    int saved = 0;
    grid->OnSaveTitleClick = [&](TObject*) { ++saved; };
    ClickMenuItem("保存设置");
    EXPECT_EQ(saved, 1);
}

TEST_F(VQDBGridTest, titleClickAndDoubleClickReachTheWindow) {
    Open();
    std::string title;
    int doubles = 0;
    grid->OnTitleClick = [&](TVQColumn* c) { title = c->FieldName(); };
    grid->OnDblClick = [&](TObject*) { ++doubles; };
    const TPoint t = CellCentre(2, 0);
    SendClick(grid, t.X, t.Y);
    EXPECT_EQ(title, "Name");
    const TPoint c = CellCentre(2, 3);
    SendDoubleClick(grid, c.X, c.Y);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(table->RecNo(), 3);
}

TEST_F(VQDBGridTest, findBoxLocatesByPrefixEscReturnsEnterKeeps) {
    Open();
    grid->SetSelectedIndex(1);
    table->SetRecNo(2);
    SendKey(grid, 'F', {ssCtrl});
    TFindEdit* box = grid->FindBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->Visible());
    EXPECT_TRUE(box->Focused());
    EXPECT_EQ(box->Color(), clInfoBk);
    SendTextToFocus(box, "西");
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "西游记");
    // Backspace and Delete stay in the box: no record goes.
    SendKeyToFocus(box, VK_BACK);
    SendKeyToFocus(box, VK_DELETE);
    EXPECT_EQ(table->RecordCount(), 6);
    SendTextToFocus(box, "儒");
    EXPECT_EQ(table->RecNo(), 5);
    const std::string dir = std::string(BUILD_DIR) + "/test-output/screens";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(SaveFormPng(form, dir + "/vqdbgrid-find-box.png"));
    SendKeyToFocus(box, VK_ESCAPE);
    EXPECT_FALSE(box->Visible());
    EXPECT_EQ(table->RecNo(), 2);
    EXPECT_TRUE(grid->Focused());

    SendKey(grid, 'F', {ssCtrl});
    SendTextToFocus(box, "聊");
    SendKeyToFocus(box, VK_RETURN);
    EXPECT_FALSE(box->Visible());
    EXPECT_EQ(table->RecNo(), 6);
}

// The box writes in the grid's title font, colour included.
TEST_F(VQDBGridTest, findBoxTextIsInTheTitleFontsColour) {
    grid->TitleFont()->SetColor(clRed);
    Open();
    grid->SetSelectedIndex(1);
    SendKey(grid, 'F', {ssCtrl});
    TFindEdit* box = grid->FindBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Font()->Color(), clRed);
    SendTextToFocus(box, "西游");
    const std::string path = std::string(BUILD_DIR) + "/test-output/screens/vqdbgrid-find-box-red.png";
    ASSERT_TRUE(SaveFormPng(form, path));
    const QImage img(QString::fromStdString(path));
    int red = 0;
    for (int y = box->Top(); y < box->Top() + box->Height(); ++y)
        for (int x = box->Left(); x < box->Left() + box->Width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            red += c.red() > 180 && c.green() < 80 && c.blue() < 80;
        }
    EXPECT_GT(red, 10) << "typed text drawn in red";
    SendKeyToFocus(box, VK_ESCAPE);
}

TEST_F(VQDBGridTest, findBoxOnAnEmptyTableBeepsAndStaysClosed) {
    table->EmptyTable();
    Open();
    TSeamScript script;
    SendKey(grid, 'F', {ssCtrl});
    EXPECT_TRUE(grid->FindBox() == nullptr || !grid->FindBox()->Visible());
}

TEST_F(VQDBGridTest, deleteWithoutAllowDeleteDoesNothing) {
    grid->SetReadOnly(true);
    Open();
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    SendKey(grid, VK_DELETE);
    EXPECT_EQ(table->RecordCount(), 6);
    EXPECT_TRUE(script.Shown().empty());
}

TEST_F(VQDBGridTest, deleteAsksUnderQueryAndCancelKeeps) {
    grid->SetOptions(grid->Options() + TVQDBGridOptions{TVQDBGridOption::dgAllowDelete});
    Open();
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectMessage("您是否确定删除?", IDCANCEL, "询问");
    SendKey(grid, VK_DELETE);
    EXPECT_EQ(table->RecordCount(), 6);
    script.ExpectMessage("您是否确定删除?", IDOK, "询问");
    table->SetRecNo(4);
    SendKey(grid, VK_DELETE);
    EXPECT_EQ(table->RecordCount(), 5);
    table->First();
    table->MoveBy(3);
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "儒林外史");
}

// Keypad "+" selects nothing without dgMultiSelect, so Delete then removes
// only the current record.
TEST_F(VQDBGridTest, keypadPlusWithoutMultiSelectThenDeleteRemovesOnlyTheCurrentRecord) {
    grid->SetOptions(grid->Options() + TVQDBGridOptions{TVQDBGridOption::dgAllowDelete} -
                     TVQDBGridOptions{TVQDBGridOption::dgConfirmDelete});
    Open();
    SendKey(grid, VK_ADD);
    SendKey(grid, VK_DOWN);
    SendKey(grid, VK_ADD);
    EXPECT_EQ(grid->SelectedRows()->Count(), 0);
    SendKey(grid, VK_DELETE);
    EXPECT_EQ(table->RecordCount(), 5);
}

TEST_F(VQDBGridTest, multiSelectedRecordsAreDeletedTogether) {
    grid->SetOptions(grid->Options() +
                     TVQDBGridOptions{TVQDBGridOption::dgAllowDelete, TVQDBGridOption::dgMultiSelect} -
                     TVQDBGridOptions{TVQDBGridOption::dgConfirmDelete});
    Open();
    SendKey(grid, VK_DOWN);
    SendKey(grid, VK_DOWN, {ssShift});
    SendKey(grid, VK_DOWN, {ssShift});
    SendKey(grid, VK_DOWN, {ssShift});
    SendKey(grid, VK_UP, {ssShift}); // back towards the anchor unselects
    EXPECT_EQ(grid->SelectedRows()->Count(), 3);
    SendKey(grid, VK_DELETE);
    EXPECT_EQ(table->RecordCount(), 3);
    EXPECT_EQ(grid->SelectedRows()->Count(), 0);
    std::vector<std::string> left;
    for (table->First(); !table->Eof(); table->Next()) left.push_back(table->FieldByName("Name")->AsString());
    EXPECT_EQ(left, (std::vector<std::string>{"红楼梦", "儒林外史", "聊斋志异"}));
}

TEST_F(VQDBGridTest, selectAllNeedsMultiSelectAndReturnsToTheRecord) {
    Open();
    table->SetRecNo(3);
    grid->SelectAll();
    EXPECT_EQ(grid->SelectedRows()->Count(), 0);
    grid->SetOptions(grid->Options() + TVQDBGridOptions{TVQDBGridOption::dgMultiSelect});
    grid->SelectAll();
    EXPECT_EQ(grid->SelectedRows()->Count(), 6);
    EXPECT_EQ(table->RecNo(), 3);
    table->EmptyTable();
    grid->SelectedRows()->Clear();
    grid->SelectAll();
    EXPECT_EQ(grid->SelectedRows()->Count(), 0);
}

TEST_F(VQDBGridTest, enterMovesToTheNextColumnAndPastTheLastToTheNextRecord) {
    AddColumn("Code", "编号");
    AddColumn("Name", "书名");
    grid->SetReadOnly(false);
    Open();
    grid->SetSelectedIndex(0);
    SendKey(grid, VK_RETURN);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    EXPECT_EQ(table->RecNo(), 1);
    SendKey(grid, VK_ESCAPE);
    SendKey(grid, VK_RETURN);
    EXPECT_EQ(grid->SelectedIndex(), 0);
    EXPECT_EQ(table->RecNo(), 2);
}

// Tab stepped through the cells even without dgTabs, so the keyboard could
// never leave the grid for the window's buttons.
TEST_F(VQDBGridTest, tabStepsColumnsOnlyWithDgTabsAndOtherwiseLeavesTheGrid) {
    AddColumn("Code", "编号");
    AddColumn("Name", "书名");
    auto* next = new TButton(form);
    next->SetName("BtNext");
    next->SetParent(form);
    next->SetBounds(0, 300, 80, 20);
    Open();
    grid->SetSelectedIndex(0);
    SendKey(grid, VK_TAB);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    EXPECT_TRUE(grid->Focused());
    grid->SetOptions(grid->Options() >> TVQDBGridOption::dgTabs);
    SendKey(grid, VK_TAB);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    EXPECT_TRUE(next->Focused());
}

TEST_F(VQDBGridTest, columnExitRefusalShowsItsTextAndKeepsTheColumnAndRecord) {
    Open();
    grid->SetSelectedIndex(1);
    grid->OnColExit = [](TObject*, bool& can, std::string& err) {
        can = false;
        err = "书名不能为空";
    };
    TSeamScript script;
    script.ExpectMessage("书名不能为空", IDOK, "提示");
    script.ExpectMessage("书名不能为空", IDOK, "提示");
    grid->EditorMode();
    table->Edit();
    table->FieldByName("Name")->SetAsString("改");
    SendKey(grid, VK_RIGHT);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    grid->SetEditorMode(true);
    SendKey(grid, VK_DOWN);
    EXPECT_EQ(table->RecNo(), 1);
}

TEST_F(VQDBGridTest, frozenColumnsJoinTheFixedBand) {
    Open();
    grid->SetFrozenCols(2);
    EXPECT_EQ(grid->FixedCols(), 3);
    EXPECT_EQ(grid->LeftCol(), 3);
    grid->Columns()->GetColumn(0)->SetVisible(false);
    EXPECT_EQ(grid->FixedCols(), 4);
}

TEST_F(VQDBGridTest, booleanCellsPaintCheckBoxesAndTextStyleColoursBold) {
    Open();
    grid->OnGetCellTextStyle = [](TObject*, const std::string& field, std::string& text, TColor& color) {
        if (field == "Name" && text == "水浒传") color = clRed;
    };
    const auto records = Paint();
    int boxes = 0;
    bool redBold = false;
    for (const auto& r : records) {
        if (r.Kind == mrRectangle && r.Bounds.Width() == 13 && r.Bounds.Height() == 13) ++boxes;
        if (r.Kind == mrText && r.Text == "水浒传")
            redBold = r.FontColor == clRed && r.FontStyle.Contains(fsBold) && r.BrushColor == cl3DLight;
        if (r.Kind == mrText) EXPECT_NE(r.Text, "True");
    }
    EXPECT_EQ(boxes, 6);
    EXPECT_TRUE(redBold);
}

TEST_F(VQDBGridTest, screenshotWithMultiLevelHeadings) {
    AddColumn("Code", "编号", 60);
    AddColumn("Name", "书名", 100);
    AddColumn("Copies", "馆藏_数量_册数", 60);
    AddColumn("Amount", "馆藏_数量_金额", 70);
    AddColumn("OnLoan", "馆藏_在借", 50);
    grid->SetOptions(grid->Options() + TVQDBGridOptions{TVQDBGridOption::dgMultiSelect});
    Open();
    SendKey(grid, VK_DOWN);
    SendKey(grid, VK_ADD);
    const std::string dir = std::string(BUILD_DIR) + "/test-output/screens";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(SaveFormPng(form, dir + "/vqdbgrid-headings.png"));
}

} // namespace
