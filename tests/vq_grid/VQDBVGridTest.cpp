// The record grid in a real form over six books: rows from the fields,
// the record-move gates of DBGridMode, row stepping, deleting, the exit
// check, the button rows and Boolean rows, all through the window system.
#include "GridFixture.h"

#include "vq/grid/VQDBVGrid.h"

#include <QWidget>

namespace {

class VQDBVGridTest : public VQDBGridTest {
protected:
    void SetUp() override {
        VQDBGridTest::SetUp();
        // The data grid of the fixture stays out of the way.
        grid->SetVisible(false);
        vgrid = new TVQDBVGrid(form);
        vgrid->SetName("DBVGrid1");
        vgrid->SetParent(form);
        vgrid->SetBounds(10, 10, 300, 200);
        table->FieldByName("Code")->SetDisplayLabel("编号");
        table->FieldByName("Name")->SetDisplayLabel("书名");
        table->FieldByName("Copies")->SetDisplayLabel("册数");
        table->FieldByName("Amount")->SetDisplayLabel("金额");
        table->FieldByName("OnLoan")->SetDisplayLabel("在借");
    }
    void OpenV() {
        vgrid->SetDataSource(src);
        ShowAndActivate(form);
        vgrid->SetFocus();
        ProcessEvents();
    }
    TPoint VCentre(int col, int row) {
        const TRect r = vgrid->CellRect(col, row);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    std::string Name() { return table->FieldByName("Name")->AsString(); }

    TVQDBVGrid* vgrid = nullptr;
};

TEST_F(VQDBVGridTest, fiveFieldsGiveFiveRowsUnderTheirLabelsAndAHiddenIndicatorRow) {
    OpenV();
    ASSERT_EQ(vgrid->Columns()->Count(), 5);
    EXPECT_EQ(vgrid->Columns()->State(), vcsDefault);
    EXPECT_EQ(vgrid->RowCount(), 6);
    EXPECT_EQ(vgrid->RowHeights(0), 0);
    EXPECT_EQ(vgrid->ColCount(), 2);
    EXPECT_EQ(vgrid->ColWidths(1), 120);
    std::vector<std::string> titles;
    for (int i = 0; i < 5; ++i) titles.push_back(vgrid->Columns()->GetColumn(i)->Title()->GetCaption());
    EXPECT_EQ(titles, (std::vector<std::string>{"编号", "书名", "册数", "金额", "在借"}));
    EXPECT_EQ(vgrid->GetSelectedIndex(), 0);
    EXPECT_EQ(vgrid->GetSelectedField(), table->FieldByName("Code"));
    EXPECT_GE(vgrid->DefaultRowHeight(), 20);
    EXPECT_THROW(vgrid->Columns()->GetColumn(5), EListError);
}

// The title column keeps the width the form gave it, also after a layout
// (a rebuild used to put it back to 100).
TEST_F(VQDBVGridTest, titleColumnKeepsTitlesWidthAcrossLayouts) {
    vgrid->SetTitlesWidth(60);
    OpenV();
    EXPECT_EQ(vgrid->ColWidths(0), 60);
    vgrid->SetOptions(vgrid->Options() + TDBVGridOptions{TDBVGridOption::dgAlwaysShowSelection});
    EXPECT_EQ(vgrid->ColWidths(0), 60);
    vgrid->SetTitlesWidth(90);
    EXPECT_EQ(vgrid->ColWidths(0), 90);
}

TEST_F(VQDBVGridTest, rowsAddedInCodeReplaceTheGeneratedOnesAndWidthsAreNeverMinusOne) {
    TVColumn* c = vgrid->Columns()->Add();
    c->SetFieldName("Name");
    c->Title()->SetCaption("题名");
    TVColumn* d = vgrid->Columns()->Add();
    d->SetFieldName("Copies");
    OpenV();
    EXPECT_EQ(vgrid->Columns()->State(), vcsCustomized);
    EXPECT_EQ(vgrid->RowCount(), 3);
    EXPECT_EQ(c->Title()->GetCaption(), "题名");
    EXPECT_EQ(table->FieldByName("Name")->DisplayLabel(), "书名"); // the title keeps it
    EXPECT_EQ(d->Title()->GetCaption(), "册数");
    EXPECT_GT(c->GetWidth(), 0);
    c->SetWidth(77);
    EXPECT_EQ(c->GetWidth(), 77);
}

TEST_F(VQDBVGridTest, generatedRowReadOnlyGoesIntoTheFieldAndTheRowKeepsNothing) {
    OpenV();
    TVColumn* c = vgrid->Columns()->GetColumn(1);
    c->SetReadOnly(true);
    EXPECT_TRUE(table->FieldByName("Name")->ReadOnly());
    EXPECT_FALSE(c->AssignedValues().Contains(cvReadOnly));
    c->Title()->SetCaption("正题名");
    EXPECT_EQ(table->FieldByName("Name")->DisplayLabel(), "正题名");
}

// Row keys: Up/Down walk the rows; Left/Right, Enter and Tab past the ends
// change the record only as DBGridMode allows; PgDn always does.
TEST_F(VQDBVGridTest, emptyModeKeepsTheRecordButPageDownMoves) {
    vgrid->SetDBGridMode({});
    OpenV();
    SendKey(vgrid, VK_RIGHT);
    EXPECT_EQ(table->RecNo(), 1);
    SendKey(vgrid, VK_DOWN);
    EXPECT_EQ(vgrid->GetSelectedIndex(), 1);
    SendKey(vgrid, VK_LEFT);
    EXPECT_EQ(table->RecNo(), 1);
    for (int i = 0; i < 6; ++i) SendKey(vgrid, VK_DOWN);
    EXPECT_EQ(vgrid->GetSelectedIndex(), 4);
    EXPECT_EQ(table->RecNo(), 1);
    SendKey(vgrid, VK_NEXT);
    EXPECT_EQ(table->RecNo(), 2);
    SendKey(vgrid, VK_PRIOR);
    EXPECT_EQ(table->RecNo(), 1);
    // Ctrl keys move without the gates: Home and End to the ends of the
    // data; Right stays, the buffer holding the current record alone.
    SendKey(vgrid, VK_END, {ssCtrl});
    EXPECT_EQ(table->RecNo(), 6);
    SendKey(vgrid, VK_RIGHT, {ssCtrl});
    EXPECT_EQ(table->RecNo(), 6);
    SendKey(vgrid, VK_HOME, {ssCtrl});
    EXPECT_EQ(table->RecNo(), 1);
    SendKey(vgrid, VK_DOWN, {ssCtrl});
    EXPECT_EQ(vgrid->GetSelectedIndex(), 4);
    SendKey(vgrid, VK_UP, {ssCtrl});
    EXPECT_EQ(vgrid->GetSelectedIndex(), 0);
}

TEST_F(VQDBVGridTest, enterInTheLastRowWrapsOnTheSameRecordOrGoesOnWithAppend) {
    struct Case {
        TDBGridMode mode;
        int recNo;
    };
    for (const Case& k : {Case{{}, 1}, Case{{dmAppend}, 2}}) {
        table->First();
        vgrid->SetDBGridMode(k.mode);
        OpenV();
        vgrid->SetSelectedIndex(4);
        ASSERT_EQ(vgrid->GetSelectedIndex(), 4);
        SendKey(vgrid, VK_RETURN);
        EXPECT_EQ(vgrid->GetSelectedIndex(), 0);
        EXPECT_EQ(table->RecNo(), k.recNo);
        SendKey(vgrid, VK_ESCAPE);
    }
}

TEST_F(VQDBVGridTest, rightOnTheLastRecordAppendsWithAppend) {
    OpenV();
    table->Last();
    SendKey(vgrid, VK_RIGHT);
    EXPECT_EQ(table->State(), dsInsert);
    // Left leaves the untouched new record and it goes.
    SendKey(vgrid, VK_LEFT);
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->RecordCount(), 6);
}

// Enter in the open editor of the last row: the record moves on only with
// dmNext; without it the stepping wraps on the same record.
TEST_F(VQDBVGridTest, withTheEditorOpenTheRecordMovesOnlyWithNext) {
    vgrid->Columns()->Add()->SetFieldName("Code");
    vgrid->Columns()->Add()->SetFieldName("Name");
    struct Case {
        TDBGridMode mode;
        int recNo;
    };
    for (const Case& k : {Case{{dmAppend}, 1}, Case{{dmNext}, 2}}) {
        table->First();
        vgrid->SetDBGridMode(k.mode);
        OpenV();
        vgrid->SetSelectedIndex(1);
        SendKey(vgrid, VK_F2);
        ASSERT_TRUE(vgrid->EditorMode());
        SendKeyToFocus(vgrid, VK_RETURN);
        EXPECT_EQ(table->RecNo(), k.recNo);
        EXPECT_EQ(vgrid->GetSelectedIndex(), 0);
    }
}

TEST_F(VQDBVGridTest, typedTextReachesTheFieldOnEnter) {
    OpenV();
    vgrid->SetSelectedIndex(1);
    SendKey(vgrid, VK_F2);
    ASSERT_TRUE(vgrid->EditorMode());
    SendKeyToFocus(vgrid, 'A', {ssCtrl});
    SendTextToFocus(vgrid, "金瓶梅");
    SendKeyToFocus(vgrid, VK_RETURN);
    EXPECT_EQ(Name(), "金瓶梅");
    EXPECT_EQ(vgrid->GetSelectedIndex(), 2);
    table->Post();
    table->First();
    EXPECT_EQ(Name(), "金瓶梅");
}

TEST_F(VQDBVGridTest, ctrlDeleteNeedsDeleteModeAndAsksInEnglish) {
    vgrid->SetDBGridMode({});
    OpenV();
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    SendKey(vgrid, VK_DELETE, {ssCtrl});
    EXPECT_EQ(table->RecordCount(), 6);
    EXPECT_TRUE(script.Shown().empty());
    SendKey(vgrid, VK_DELETE); // no plain Delete key
    EXPECT_EQ(table->RecordCount(), 6);

    vgrid->SetDBGridMode({dmDelete});
    script.ExpectMessage("Delete record?", IDCANCEL);
    SendKey(vgrid, VK_DELETE, {ssCtrl});
    EXPECT_EQ(table->RecordCount(), 6);
    script.ExpectMessage("Delete record?", IDOK);
    SendKey(vgrid, VK_DELETE, {ssCtrl});
    EXPECT_EQ(table->RecordCount(), 5);
    EXPECT_EQ(Name(), "水浒传");
}

TEST_F(VQDBVGridTest, selectedRecordsGoTogetherAfterThePluralQuestion) {
    vgrid->SetOptions(vgrid->Options() + TDBVGridOptions{TDBVGridOption::dgMultiSelect});
    OpenV();
    SendKey(vgrid, VK_RIGHT, {ssShift});
    SendKey(vgrid, VK_RIGHT, {ssShift});
    EXPECT_EQ(vgrid->SelectedRows()->Count(), 3);
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectMessage("Delete all selected records?", IDOK);
    SendKey(vgrid, VK_DELETE, {ssCtrl});
    EXPECT_EQ(table->RecordCount(), 3);
    table->First();
    EXPECT_EQ(Name(), "西游记");
}

TEST_F(VQDBVGridTest, aRefusingExitHandlerKeepsTheRow) {
    OpenV();
    int asked = 0;
    vgrid->OnColExit = [&](TObject*, bool& can) {
        ++asked;
        can = false;
    };
    SendKey(vgrid, VK_DOWN);
    SendKey(vgrid, VK_RETURN);
    const TPoint p = VCentre(1, 3);
    SendClick(vgrid, p.X, p.Y);
    EXPECT_EQ(vgrid->GetSelectedIndex(), 0);
    EXPECT_GE(asked, 3);
}

TEST_F(VQDBVGridTest, downInAnEllipsisRowOpensTheInputHelp) {
    TVColumn* c = vgrid->Columns()->Add();
    c->SetFieldName("Code");
    c->SetButtonStyle(TVQColumnButtonStyle::cbsEllipsis);
    vgrid->Columns()->Add()->SetFieldName("Name");
    OpenV();
    int clicks = 0;
    vgrid->OnEditButtonClick = [&](TObject*) { ++clicks; };
    SendKey(vgrid, VK_F2);
    ASSERT_TRUE(vgrid->EditorMode());
    SendKeyToFocus(vgrid, VK_DOWN);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(vgrid->GetSelectedIndex(), 0);
    SendKeyToFocus(vgrid, VK_ADD);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(table->FieldByName("Code")->AsString(), "B001"); // no "+" typed
}

TEST_F(VQDBVGridTest, booleanRowTogglesWithSpaceAndTakesNoText) {
    OpenV();
    vgrid->SetSelectedIndex(4);
    ASSERT_TRUE(table->FieldByName("OnLoan")->AsBoolean());
    SendKey(vgrid, VK_SPACE);
    EXPECT_FALSE(table->FieldByName("OnLoan")->AsBoolean());
    SendText(vgrid, "x1");
    EXPECT_FALSE(table->FieldByName("OnLoan")->AsBoolean());
    EXPECT_FALSE(vgrid->EditorMode());
    const TPoint p = VCentre(1, 5);
    SendClick(vgrid, p.X, p.Y);
    EXPECT_TRUE(table->FieldByName("OnLoan")->AsBoolean());
}

TEST_F(VQDBVGridTest, clicksOnTitlesAndCellsReachTheWindow) {
    OpenV();
    std::string title, cell;
    vgrid->OnTitleClick = [&](TVColumn* c) { title = c->FieldName(); };
    vgrid->OnCellClick = [&](TVColumn* c) { cell = c->FieldName(); };
    TPoint p = VCentre(0, 2);
    SendClick(vgrid, p.X, p.Y);
    EXPECT_EQ(title, "Name");
    p = VCentre(1, 3);
    SendClick(vgrid, p.X, p.Y);
    EXPECT_EQ(cell, "Copies");
    EXPECT_EQ(vgrid->GetSelectedIndex(), 2);
}

TEST_F(VQDBVGridTest, screenshotOfTheRecordGrid) {
    OpenV();
    table->SetRecNo(3);
    vgrid->SetSelectedIndex(1);
    ProcessEvents();
    const std::string path = ScreensDir() + "/vqdbvgrid-record.png";
    ASSERT_TRUE(SaveFormPng(form, path));
}

} // namespace
