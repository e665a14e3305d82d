// The data grid over a real data set in an offscreen form: the grid and the
// data set cursor follow each other, columns and titles, editing through
// the in-place editor into the field, delete confirmation through the
// dialog seam, and a million-record data set shown without walking it.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "DBGrids.h"
#include "GridTestSupport.h"
#include "Metafile.h"
#include "TestKit.h"
#include "Canvas_p.h"

#include <QListWidget>

namespace {

class DBGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Title();
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 400, 300);
        ds = new TVectorDataSet(form);
        std::vector<std::pair<std::string, std::string>> rows;
        for (int i = 1; i <= 30; ++i) rows.push_back({Format("C%.2d", i), Format("书%d", i)});
        ds->Fill(rows);
        src = new TDataSource(form);
        src->SetDataSet(ds);
        grid = new TDBGrid(form);
        grid->SetName("DBGrid1");
        grid->SetParent(form);
        grid->SetBounds(0, 0, 300, 200);
    }
    void TearDown() override { delete form; }

    void Open() {
        ds->Open();
        grid->SetDataSource(src);
        ShowAndActivate(form);
        grid->SetFocus();
        ProcessEvents();
    }
    // Centre of the data cell showing window row `row` of column `col`.
    TPoint DataCell(int col, int row) {
        TRect r = grid->CellRect(col + 1, row + 1);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    std::vector<std::string> PaintedTexts() {
        std::vector<TMetafileRecord> records;
        CanvasSetRecorder(grid->Canvas(), &records);
        grid->Repaint();
        CanvasSetRecorder(grid->Canvas(), nullptr);
        std::vector<std::string> texts;
        for (const auto& r : records)
            if (r.Kind == mrText && r.Text != "*") texts.push_back(r.Text);
        return texts;
    }

    TForm* form = nullptr;
    TVectorDataSet* ds = nullptr;
    TDataSource* src = nullptr;
    TDBGrid* grid = nullptr;
};

TEST_F(DBGridTest, defaultColumnsComeFromTheFields) {
    Open();
    ASSERT_EQ(grid->Columns()->Count(), 2);
    EXPECT_EQ(grid->Columns()->Items(0)->Title()->Caption(), "Code");
    EXPECT_EQ(grid->ColCount(), 3);
    EXPECT_EQ(grid->ColWidths(0), 11);
    EXPECT_EQ(grid->DataLink()->BufferCount(), grid->VisibleDataRowCount());
    EXPECT_EQ(grid->RowCount(), 1 + grid->VisibleDataRowCount());
}

TEST_F(DBGridTest, gridFollowsTheDataSetCursor) {
    Open();
    ds->Next();
    ds->Next();
    EXPECT_EQ(grid->Row(), 3);
    ds->Last();
    EXPECT_EQ(grid->Row(), grid->RowCount() - 1);
    EXPECT_EQ(grid->GetScrollPos(sbVertical), 29);
    const auto texts = PaintedTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[texts.size() - 2], "C30");
    EXPECT_EQ(texts.back(), "书30");
}

struct KeyRow {
    const char* name;
    Word key;
    TShiftState shift;
    int recNo; // 0: one page (the visible rows) below record 5
};

class DBGridKeys : public DBGridTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(DBGridKeys, keyMovesTheDataSet) {
    Open();
    ds->SetRecNo(5);
    SendKey(grid, GetParam().key, GetParam().shift);
    const int expected = GetParam().recNo ? GetParam().recNo : 5 + grid->VisibleDataRowCount();
    EXPECT_EQ(ds->RecNo(), expected);
    EXPECT_EQ(grid->Row(), 1 + grid->DataLink()->ActiveRecord());
}

INSTANTIATE_TEST_SUITE_P(Keys, DBGridKeys,
                         ::testing::Values(KeyRow{"down", VK_DOWN, {}, 6}, KeyRow{"up", VK_UP, {}, 4},
                                           KeyRow{"ctrlEnd", VK_END, {ssCtrl}, 30},
                                           KeyRow{"ctrlHome", VK_HOME, {ssCtrl}, 1}, KeyRow{"pageDown", VK_NEXT, {}, 0},
                                           KeyRow{"rightStaysOnRecord", VK_RIGHT, {}, 5}),
                         RowName());

TEST_F(DBGridTest, clickingARowMovesTheDataSetAndReportsTheColumn) {
    Open();
    std::string clicked;
    grid->OnCellClick = [&](TColumn* c) { clicked = c->FieldName(); };
    const TPoint p = DataCell(1, 3);
    Press(grid, p.X, p.Y);
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    EXPECT_EQ(grid->SelectedField()->FieldName(), "Name");
    EXPECT_EQ(clicked, "Name");
}

TEST_F(DBGridTest, titleClickReportsTheColumn) {
    Open();
    std::string clicked;
    grid->OnTitleClick = [&](TColumn* c) { clicked = c->Title()->Caption(); };
    const TRect t = grid->CellRect(2, 0);
    Press(grid, (t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2);
    EXPECT_EQ(clicked, "Name");
}

TEST_F(DBGridTest, customColumnsWithCentredTitlesAndAHiddenColumn) {
    grid->SetOptions(TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgRowSelect});
    grid->SetReadOnly(true);
    TColumn* code = grid->Columns()->Add();
    code->SetFieldName("Code");
    code->Title()->SetCaption("图书编号");
    code->Title()->SetAlignment(taCenter);
    code->SetWidth(80);
    TColumn* name = grid->Columns()->Add();
    name->SetFieldName("Name");
    name->Title()->SetCaption("图书名称");
    Open();
    EXPECT_EQ(grid->ColWidths(1), 80);
    name->SetVisible(false);
    EXPECT_EQ(grid->ColWidths(2), -1);
    const auto texts = PaintedTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0], "图书编号");
    EXPECT_EQ(texts[1], "C01");
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "书1"), 0);
}

TEST_F(DBGridTest, typingInACellWritesTheFieldAndMovingOnPosts) {
    Open();
    grid->SetSelectedIndex(1);
    SendText(grid, "X");
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
    EXPECT_EQ(ds->State(), dsEdit);
    SendText(grid->InplaceEditor(), "Y");
    SendKey(grid->InplaceEditor(), VK_DOWN);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->RecNo(), 2);
    EXPECT_EQ(ds->Stored(0, 1), "XY");
    EXPECT_EQ(ds->Stored(1, 1), "书2");
}

TEST_F(DBGridTest, escapeInTheEditorCancelsTheEdit) {
    Open();
    grid->SetSelectedIndex(1);
    SendText(grid, "X");
    SendKey(grid->InplaceEditor(), VK_ESCAPE);
    SendKey(grid, VK_ESCAPE);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->Stored(0, 1), "书1");
}

TEST_F(DBGridTest, readOnlyGridIgnoresTyping) {
    grid->SetReadOnly(true);
    Open();
    SendText(grid, "X");
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_TRUE(grid->InplaceEditor() == nullptr || !grid->InplaceEditor()->Visible());
}

TEST_F(DBGridTest, enterInARowSelectGridReachesOnKeyPress) {
    grid->SetOptions(TDBGridOptions{dgTitles, dgIndicator, dgColLines, dgRowLines, dgRowSelect});
    grid->SetReadOnly(true);
    Open();
    std::u32string pressed;
    grid->OnKeyPress = [&](TObject*, char32_t& k) { pressed += k; };
    int dbl = 0;
    grid->OnDblClick = [&](TObject*) { ++dbl; };
    SendKey(grid, VK_RETURN);
    EXPECT_EQ(pressed, U"\r");
    const TPoint p = DataCell(0, 2);
    SendDoubleClick(grid, p.X, p.Y);
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(ds->RecNo(), 3);
}

struct DeleteRow {
    const char* name;
    int answer;
    int count;
    const char* firstCode;
};

class DBGridDelete : public DBGridTest, public ::testing::WithParamInterface<DeleteRow> {};

TEST_P(DBGridDelete, ctrlDeleteAsksFirst) {
    Open();
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectMessage("Delete record?", GetParam().answer);
    SendKey(grid, VK_DELETE, {ssCtrl});
    EXPECT_EQ(script.Texts(), std::vector<std::string>{"Delete record?"});
    EXPECT_EQ(ds->Count(), GetParam().count);
    EXPECT_EQ(ds->Stored(0, 0), GetParam().firstCode);
}

INSTANTIATE_TEST_SUITE_P(Answers, DBGridDelete,
                         ::testing::Values(DeleteRow{"cancelKeepsTheRecord", IDCANCEL, 30, "C01"},
                                           DeleteRow{"okDeletesIt", IDOK, 29, "C02"}),
                         RowName());

TEST_F(DBGridTest, millionRecordsShowWithoutWalkingTheDataSet) {
    ds->Generate(1000000);
    Open();
    ds->Last();
    EXPECT_EQ(ds->RecNo(), 1000000);
    EXPECT_EQ(grid->Row(), grid->RowCount() - 1);
    EXPECT_EQ(grid->GetScrollPos(sbVertical), 999999);
    auto texts = PaintedTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[texts.size() - 2], "B0999999");
    SendKey(grid, VK_HOME, {ssCtrl});
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_EQ(grid->Row(), 1);
}

} // namespace

namespace {

TEST_F(DBGridTest, editorTextNeverReachesTheRecordClickedNext) {
    Open();
    grid->SetSelectedIndex(1);
    SendText(grid, "Q");
    const TPoint p = DataCell(1, 3);
    Press(grid, p.X, p.Y);
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(ds->Stored(0, 1), "Q");
    EXPECT_EQ(ds->Stored(3, 1), "书4");
    EXPECT_EQ(ds->State(), dsBrowse);
}

TEST_F(DBGridTest, closingTheFormWhileTheEditorHasTheFocusIsSafe) {
    Open();
    grid->SetSelectedIndex(1);
    SendText(grid, "Q");
    ASSERT_TRUE(grid->InplaceEditor()->Focused());
    delete form;
    form = nullptr;
}

TEST_F(DBGridTest, drawColumnCellRunsForEveryVisibleDataCell) {
    Open();
    std::vector<std::string> seen;
    grid->OnDrawColumnCell = [&](TObject*, const TRect&, int dataCol, TColumn* column, TGridDrawState) {
        seen.push_back(Format("%d:", dataCol) + column->Field()->AsString());
    };
    grid->Repaint();
    ASSERT_EQ(int(seen.size()), 2 * grid->VisibleDataRowCount());
    EXPECT_EQ(seen[0], "0:C01");
    EXPECT_EQ(seen[1], "1:书1");
    EXPECT_EQ(seen[2], "0:C02");
}

TEST_F(DBGridTest, rendersToAPicture) {
    grid->SetFixedColor(RGB(157, 231, 255));
    grid->Columns()->Add()->SetFieldName("Code");
    TColumn* name = grid->Columns()->Add();
    name->SetFieldName("Name");
    name->Title()->SetCaption("图书名称");
    name->Title()->SetAlignment(taCenter);
    Open();
    ds->SetRecNo(3);
    EXPECT_TRUE(SaveFormPng(form, BUILD_DIR "/test-output/screens/platform-dbgrid.png"));
}

} // namespace

namespace {

TEST_F(DBGridTest, tabWalksTheColumnsThenTheNextRecord) {
    Open();
    std::vector<std::string> events;
    grid->OnColExit = [&](TObject*) { events.push_back("exit " + grid->SelectedField()->FieldName()); };
    grid->OnColEnter = [&](TObject*) { events.push_back("enter " + grid->SelectedField()->FieldName()); };
    SendKey(grid, VK_TAB);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    EXPECT_EQ(ds->RecNo(), 1);
    SendKey(grid, VK_TAB);
    EXPECT_EQ(grid->SelectedIndex(), 0);
    EXPECT_EQ(ds->RecNo(), 2);
    EXPECT_EQ(events, (std::vector<std::string>{"exit Code", "enter Name", "exit Name", "enter Code"}));
}

} // namespace

namespace {

TEST_F(DBGridTest, downFromTheLastRecordAppendsAndTypingPostsIt) {
    Open();
    SendKey(grid, VK_END, {ssCtrl});
    SendKey(grid, VK_DOWN);
    EXPECT_EQ(ds->State(), dsInsert);
    SendKey(grid, VK_DOWN);
    EXPECT_EQ(ds->State(), dsInsert);
    SendText(grid, "N");
    SendKey(grid->InplaceEditor(), VK_UP);
    EXPECT_EQ(ds->State(), dsBrowse);
    ASSERT_EQ(ds->Count(), 31);
    EXPECT_EQ(ds->Stored(30, 0), "N");
}

TEST_F(DBGridTest, leavingAnUntouchedNewRecordDropsIt) {
    Open();
    SendKey(grid, VK_END, {ssCtrl});
    SendKey(grid, VK_DOWN);
    SendKey(grid, VK_UP);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->Count(), 30);
    EXPECT_EQ(ds->RecNo(), 30);
}

} // namespace

namespace {

// ---- multi-select: every selected row paints highlighted

struct PaintedCell {
    std::string text;
    bool highlighted;
};

TEST_F(DBGridTest, multiSelectPaintsEverySelectedRowHighlighted) {
    grid->SetOptions(grid->Options() << dgMultiSelect);
    Open();
    const TPoint second = DataCell(0, 1), fourth = DataCell(0, 3);
    Press(grid, second.X, second.Y);
    Press(grid, fourth.X, fourth.Y, {ssCtrl});
    ASSERT_EQ(grid->SelectedRows()->Count(), 2);
    ASSERT_EQ(ds->RecNo(), 4);
    std::vector<TMetafileRecord> records;
    CanvasSetRecorder(grid->Canvas(), &records);
    grid->Repaint();
    CanvasSetRecorder(grid->Canvas(), nullptr);
    std::vector<PaintedCell> painted;
    for (const auto& r : records)
        if (r.Kind == mrText && r.Text != "*" && painted.size() < 10)
            painted.push_back({r.Text, r.BrushColor == clHighlight && r.FontColor == clHighlightText});
    const std::vector<std::pair<std::string, bool>> expected = {
        {"Code", false}, {"Name", false}, {"C01", false}, {"书1", false}, {"C02", true},
        {"书2", true},   {"C03", false},  {"书3", false}, {"C04", true},  {"书4", true}};
    ASSERT_EQ(painted.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(painted[i].text, expected[i].first) << i;
        EXPECT_EQ(painted[i].highlighted, expected[i].second) << painted[i].text;
    }
}

// ---- the pick list of a column

struct PickRow {
    const char* name;
    std::vector<std::pair<Word, TShiftState>> keys;
    bool listOpen;
    int itemIndex;
    const char* fieldText;
    TDataSetState state;
};

class DBGridPickList : public DBGridTest, public ::testing::WithParamInterface<PickRow> {
protected:
    void OpenWithPickList() {
        grid->Columns()->Add()->SetFieldName("Code");
        TColumn* name = grid->Columns()->Add();
        name->SetFieldName("Name");
        name->PickList() = {"Alpha", "Beta", "Gamma"};
        Open();
        grid->SetSelectedIndex(1);
        SendKey(grid, VK_F2);
    }
};

TEST_P(DBGridPickList, keysDriveTheList) {
    OpenWithPickList();
    TInplaceEdit* ed = grid->InplaceEditor();
    ASSERT_NE(ed, nullptr);
    ASSERT_EQ(ed->EditStyle(), esPickList);
    for (const auto& [key, shift] : GetParam().keys) SendKey(ed, key, shift);
    EXPECT_EQ(ed->ListVisible(), GetParam().listOpen);
    EXPECT_EQ(ed->ItemIndex(), GetParam().itemIndex);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), GetParam().fieldText);
    EXPECT_EQ(ds->State(), GetParam().state);
    EXPECT_TRUE(ed->Focused());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DBGridPickList,
    ::testing::Values(
        PickRow{"altDownOpensWithNothingChosen", {{VK_DOWN, {ssAlt}}}, true, -1, "书1", dsBrowse},
        PickRow{"downWalksTheList", {{VK_DOWN, {ssAlt}}, {VK_DOWN, {}}, {VK_DOWN, {}}}, true, 1, "书1", dsBrowse},
        PickRow{"downStopsAtTheLast",
                {{VK_DOWN, {ssAlt}}, {VK_DOWN, {}}, {VK_DOWN, {}}, {VK_DOWN, {}}, {VK_DOWN, {}}},
                true,
                2,
                "书1",
                dsBrowse},
        PickRow{"enterWritesTheItem",
                {{VK_DOWN, {ssAlt}}, {VK_DOWN, {}}, {VK_DOWN, {}}, {VK_RETURN, {}}},
                false,
                -1,
                "Beta",
                dsEdit},
        PickRow{"escapeKeepsTheText", {{VK_DOWN, {ssAlt}}, {VK_DOWN, {}}, {VK_ESCAPE, {}}}, false, -1, "书1", dsBrowse},
        PickRow{"altDownAgainTakesTheItem",
                {{VK_DOWN, {ssAlt}}, {VK_DOWN, {}}, {VK_DOWN, {ssAlt}}},
                false,
                -1,
                "Alpha",
                dsEdit}),
    RowName());

TEST_F(DBGridPickList, buttonOpensTheListAndAClickedItemIsPosted) {
    OpenWithPickList();
    TInplaceEdit* ed = grid->InplaceEditor();
    const TRect b = ed->ButtonRect();
    ASSERT_FALSE(IsRectEmpty(b));
    EXPECT_EQ(b.Right, ed->Width());
    SendClick(ed, (b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
    ASSERT_TRUE(ed->ListVisible());
    auto* list = WidgetOf(form)->window()->findChild<QListWidget*>();
    ASSERT_NE(list, nullptr);
    const QPoint at = list->visualItemRect(list->item(2)).center();
    SendClickToWidget(list->viewport(), at);
    ProcessEvents();
    EXPECT_FALSE(ed->ListVisible());
    EXPECT_EQ(ed->GetText(), "Gamma");
    SendKey(ed, VK_DOWN);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->Stored(0, 1), "Gamma");
}

TEST_F(DBGridPickList, columnsWithoutAListOrWithButtonStyleNoneEditPlainly) {
    OpenWithPickList();
    grid->Columns()->Items(1)->SetButtonStyle(cbsNone);
    grid->SetSelectedIndex(0);
    grid->SetSelectedIndex(1);
    SendKey(grid, VK_F2);
    EXPECT_EQ(grid->InplaceEditor()->EditStyle(), esSimple);
    EXPECT_TRUE(IsRectEmpty(grid->InplaceEditor()->ButtonRect()));
    grid->SetSelectedIndex(0);
    SendKey(grid, VK_F2);
    EXPECT_EQ(grid->InplaceEditor()->EditStyle(), esSimple);
}

// ---- the ellipsis button

struct EllipsisRow {
    const char* name;
    bool click; // a click (at the button or in the text) instead of a key
    bool atButton;
    Word key;
    TShiftState shift;
    int fired;
};

class DBGridEllipsis : public DBGridTest, public ::testing::WithParamInterface<EllipsisRow> {};

TEST_P(DBGridEllipsis, buttonOrCtrlEnterFiresOnEditButtonClick) {
    grid->Columns()->Add()->SetFieldName("Code");
    TColumn* name = grid->Columns()->Add();
    name->SetFieldName("Name");
    name->SetButtonStyle(cbsEllipsis);
    Open();
    int fired = 0;
    grid->OnEditButtonClick = [&](TObject* sender) {
        EXPECT_EQ(sender, grid);
        ++fired;
    };
    grid->SetSelectedIndex(1);
    SendKey(grid, VK_F2);
    TInplaceEdit* ed = grid->InplaceEditor();
    ASSERT_EQ(ed->EditStyle(), esEllipsis);
    const TRect b = ed->ButtonRect();
    ASSERT_EQ(b.Width(), 16);
    if (GetParam().click) {
        const int x = GetParam().atButton ? (b.Left + b.Right) / 2 : 4;
        SendClick(ed, x, (b.Top + b.Bottom) / 2);
    } else {
        SendKey(ed, GetParam().key, GetParam().shift);
    }
    EXPECT_EQ(fired, GetParam().fired);
}

INSTANTIATE_TEST_SUITE_P(Triggers, DBGridEllipsis,
                         ::testing::Values(EllipsisRow{"clickOnTheButton", true, true, 0, {}, 1},
                                           EllipsisRow{"clickInTheText", true, false, 0, {}, 0},
                                           EllipsisRow{"ctrlEnter", false, false, VK_RETURN, {ssCtrl}, 1},
                                           EllipsisRow{"plainEnter", false, false, VK_RETURN, {}, 0},
                                           EllipsisRow{"altDown", false, false, VK_DOWN, {ssAlt}, 0}),
                         RowName());

} // namespace
