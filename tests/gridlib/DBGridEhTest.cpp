// The data grid as the query windows use it: columns added at run time,
// field names bound without regard to case, captions, widths, footers with
// sums, the layout batched while the grid is disabled, keys and clicks
// through the window system, and selection.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "Clipbrd.h"
#include "Dialogs.h"
#include "DialogSeam.h"
#include "Metafile.h"
#include "TestKit.h"
#include "gridlib/GridFixture.h"

namespace {

TEST(DBGridEhColumns, setFieldNameAdoptsTheFieldsSpelling) {
    GridForm f(3);
    TColumnEh* c = f.grid->Columns()->Add();
    c->SetFieldName("bookqty");
    EXPECT_EQ(c->FieldName(), "BookQty");
    ASSERT_NE(c->Field(), nullptr);
    EXPECT_EQ(c->Field()->FieldName(), "BookQty");
}

TEST(DBGridEhColumns, unknownFieldNameLeavesColumnUnbound) {
    GridForm f(3);
    TColumnEh* c = f.grid->Columns()->Add();
    EXPECT_NO_THROW(c->SetFieldName("Nothing"));
    EXPECT_EQ(c->FieldName(), "Nothing");
    EXPECT_EQ(c->Field(), nullptr);
    EXPECT_EQ(c->Title()->Caption(), "Nothing");
}

TEST(DBGridEhColumns, getColumnOutsideRangeRaisesListError) {
    GridForm f(3);
    f.grid->Columns()->Add()->SetFieldName("Code");
    EXPECT_NO_THROW(f.grid->Columns()->GetColumn(0));
    EXPECT_THROW(f.grid->Columns()->GetColumn(1), EListError);
    EXPECT_THROW(f.grid->Columns()->GetColumn(-1), EListError);
}

TEST(DBGridEhColumns, captionFallsBackToDisplayNameThenFieldName) {
    GridForm f(3);
    TColumnEh* c = f.grid->Columns()->Add();
    c->SetFieldName("BookName");
    EXPECT_EQ(c->Title()->Caption(), "BookName");
    f.ds->FieldByName("BookName")->SetDisplayLabel("书名");
    EXPECT_EQ(c->Title()->Caption(), "书名");
    c->Title()->SetCaption("名称");
    EXPECT_EQ(c->Title()->GetCaption(), "名称");
}

TEST(DBGridEhColumns, widthIsClippedToMinAndMax) {
    GridForm f(3);
    TColumnEh* c = f.grid->Columns()->Add();
    c->SetFieldName("Code");
    c->SetMinWidth(40);
    c->SetMaxWidth(100);
    c->SetWidth(300);
    EXPECT_EQ(c->GetWidth(), 100);
    c->SetWidth(10);
    EXPECT_EQ(c->GetWidth(), 40);
    // Min wins over a smaller Max.
    c->SetMaxWidth(30);
    c->SetWidth(35);
    EXPECT_EQ(c->GetWidth(), 40);
}

TEST(DBGridEhColumns, equalWriteReportsOneChange) {
    GridForm f(3);
    TColumnEh* c = f.grid->Columns()->Add();
    c->SetFieldName("Code");
    const int before = f.grid->LayoutCount();
    c->SetColor(clRed);
    c->SetColor(clRed);
    EXPECT_EQ(f.grid->LayoutCount(), before + 1);
}

// Sort marks: one column at a time unless the grid numbers several; the
// numbers close up when one goes, change only by exchange, and a title click
// steps the mark (Ctrl keeps the others and steps past Up to none).
TEST(DBGridEhColumns, sortMarksNumberTheMarkedColumnsAndCloseUp) {
    GridForm f(5);
    f.queryColumns();
    TDBGridColumnsEh* cols = f.grid->Columns();
    auto indexes = [&] {
        std::vector<int> v;
        for (int i = 0; i < cols->Count(); ++i) v.push_back(cols->Items(i)->Title()->SortIndex());
        return v;
    };
    cols->Items(0)->Title()->SetSortMarker(smDownEh);
    cols->Items(1)->Title()->SetSortMarker(smUpEh);
    EXPECT_EQ(cols->Items(0)->Title()->SortMarker(), smNoneEh) << "one column at a time";
    EXPECT_EQ(indexes(), (std::vector<int>{0, 1, 0, 0}));

    f.grid->SetOptionsEh(f.grid->OptionsEh() << dghMultiSortMarking);
    cols->Items(0)->Title()->SetSortMarker(smDownEh);
    cols->Items(3)->Title()->SetSortMarker(smDownEh);
    EXPECT_EQ(indexes(), (std::vector<int>{2, 1, 0, 3}));
    cols->Items(1)->Title()->SetSortMarker(smNoneEh);
    EXPECT_EQ(indexes(), (std::vector<int>{1, 0, 0, 2}));
    cols->Items(3)->Title()->SetSortIndex(1);
    EXPECT_EQ(indexes(), (std::vector<int>{2, 0, 0, 1}));
    cols->Items(3)->Title()->SetSortIndex(3); // no column holds 3
    EXPECT_EQ(indexes(), (std::vector<int>{2, 0, 0, 1}));
    delete cols->Items(3);
    EXPECT_EQ(indexes(), (std::vector<int>{1, 0, 0}));

    // Title clicks: plain ones cycle Down, Up, Down; Ctrl keeps the others
    // and goes Down, Up, none.
    f.grid->SetOptionsEh(f.grid->OptionsEh() << dghAutoSortMarking);
    for (int i = 0; i < cols->Count(); ++i) cols->Items(i)->Title()->SetTitleButton(true);
    ShowAndActivate(&f.form);
    auto click = [&](int col, TShiftState shift = {}) {
        const TRect t = f.grid->CellRect(f.grid->IndicatorOffset() + col, 0);
        SendMouseDown(f.grid, t.Left + 10, t.Top + 5, mbLeft, shift);
        SendMouseUp(f.grid, t.Left + 10, t.Top + 5, mbLeft, shift);
        return cols->Items(col)->Title()->SortMarker();
    };
    EXPECT_EQ(click(1), smDownEh);
    EXPECT_EQ(indexes(), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(click(1), smUpEh);
    EXPECT_EQ(click(1), smDownEh);
    const TShiftState ctrl{ssCtrl};
    EXPECT_EQ(click(2, ctrl), smDownEh);
    EXPECT_EQ(click(2, ctrl), smUpEh);
    EXPECT_EQ(indexes(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(click(2, ctrl), smNoneEh);
    EXPECT_EQ(indexes(), (std::vector<int>{0, 1, 0}));
}

// The title keeps 16 pixels for the marker, more for the number when two or
// more columns are marked, and gives up the marker, then the number, when
// the column is too narrow.
TEST(DBGridEhColumns, sortMarkerWidthGivesUpTheMarkerThenTheNumber) {
    GridForm f(5);
    f.queryColumns();
    f.grid->SetOptionsEh(f.grid->OptionsEh() << dghMultiSortMarking);
    TColumnTitleEh* wide = f.grid->Columns()->Items(1)->Title();
    TColumnTitleEh* narrow = f.grid->Columns()->Items(0)->Title();
    f.grid->Columns()->Items(0)->SetWidth(16);
    EXPECT_EQ(wide->SortMarkerWidth(), 0);
    narrow->SetSortMarker(smDownEh);
    EXPECT_EQ(narrow->SortMarkerWidth(), 2) << "16 > 12: the marker goes";
    wide->SetSortMarker(smUpEh);
    const int two = f.grid->SortIndexTextWidth(f.grid->Columns()->Items(1), 2);
    const int one = f.grid->SortIndexTextWidth(f.grid->Columns()->Items(0), 1);
    ASSERT_GT(two, 0);
    EXPECT_EQ(wide->SortMarkerWidth(), 16 + two);
    EXPECT_EQ(narrow->SortMarkerWidth(), 2 + one) << "the marker goes, the number stays";
    f.grid->Columns()->Items(0)->SetWidth(8);
    EXPECT_EQ(narrow->SortMarkerWidth(), 0) << "then the number";
}

TEST(DBGridEhLayout, rebuildWhileDisabledLaysOutOnce) {
    GridForm f(3);
    const int before = f.grid->LayoutCount();
    f.queryColumns();
    EXPECT_EQ(f.grid->LayoutCount(), before + 1);
    EXPECT_EQ(f.grid->ColCount(), 5);
}

TEST(DBGridEhLayout, twentySettersInOneBracketLayOutOnce) {
    GridForm f(3);
    const int before = f.grid->LayoutCount();
    f.grid->BeginLayout();
    for (int i = 0; i < 10; ++i) {
        f.grid->SetTitleHeight(i);
        f.grid->SetRowLines(i % 2);
    }
    f.grid->EndLayout();
    EXPECT_EQ(f.grid->LayoutCount(), before + 1);
}

TEST(DBGridEhLayout, noFieldsNoColumnsGivesOneEmptyColumn) {
    TForm form(nullptr);
    auto* grid = new TDBGridEh(&form);
    grid->SetParent(&form);
    EXPECT_EQ(grid->ColCount(), 2);
    EXPECT_EQ(grid->RowCount(), 2);
}

TEST(DBGridEhLayout, defaultColumnsFollowVisibleFields) {
    GridForm f(3);
    EXPECT_EQ(f.grid->Columns()->Count(), 4);
    EXPECT_FALSE(f.grid->Columns()->HasStoredColumns());
    f.grid->Columns()->Add()->SetFieldName("Code");
    EXPECT_EQ(f.grid->Columns()->Count(), 1);
    EXPECT_TRUE(f.grid->Columns()->HasStoredColumns());
}

TEST(DBGridEhLayout, footersStandAtTheBottom) {
    GridForm f(3);
    f.queryColumns();
    const int footer = f.grid->FirstFooterRow();
    ASSERT_EQ(footer, f.grid->RowCount() - 1);
    const TRect r = f.grid->CellRect(1, footer);
    EXPECT_GT(r.Bottom, f.grid->ClientRect().Height() - 3);
}

TEST(DBGridEhOptions, rowSelectStripsEditing) {
    GridForm f(3);
    TDBGridOptions o = f.grid->Options();
    o << dgRowSelect << dgAlwaysShowEditor;
    f.grid->SetOptions(o);
    EXPECT_FALSE(f.grid->Options().Contains(dgEditing));
    EXPECT_FALSE(f.grid->Options().Contains(dgAlwaysShowEditor));
}

TEST(DBGridEhOptions, defaultsAreThoseStored) {
    TForm form(nullptr);
    TDBGridEh grid(&form);
    const TDBGridOptions o{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                           dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
    EXPECT_EQ(grid.Options(), o);
    EXPECT_EQ(grid.OptionsEh(), (TDBGridEhOptions{dghFixed3D, dghHighlightFocus, dghClearSelection}));
    EXPECT_TRUE(grid.AllowedOperations().Contains(alopAppendEh));
    EXPECT_TRUE(grid.EditActions().Empty());
}

TEST(DBGridEhFooters, sumFootersShowTheSums) {
    GridForm f(4);
    f.queryColumns();
    // Quantities 1..4, prices 1.25 each step.
    EXPECT_EQ(f.grid->GetFooterValue(0, f.grid->Columns()->Items(2)), "10");
    EXPECT_EQ(f.grid->GetFooterValue(0, f.grid->Columns()->Items(3)), "￥12.50");
    EXPECT_EQ(f.grid->GetFooterValue(0, f.grid->Columns()->Items(0)), "合计");
    f.ds->Append();
    f.ds->FieldByName("BookQty")->SetAsInteger(5);
    f.ds->Post();
    EXPECT_EQ(f.grid->GetFooterValue(0, f.grid->Columns()->Items(2)), "15");
}

TEST(DBGridEhFooters, switchingValueTypeFreesAndRemakesTheSumItem) {
    GridForm f(2);
    f.queryColumns();
    TColumnFooterEh* footer = f.grid->Columns()->Items(2)->Footer();
    const int items = f.grid->SumList()->SumCollection()->Count();
    footer->SetValueType(fvtStaticText);
    EXPECT_EQ(footer->SumItem(), nullptr);
    EXPECT_EQ(f.grid->SumList()->SumCollection()->Count(), items - 1);
    footer->SetValueType(fvtSum);
    EXPECT_EQ(f.grid->GetFooterValue(0, f.grid->Columns()->Items(2)), "3");
}

TEST(DBGridEhFooters, missingFieldsShowZeroOrNothing) {
    GridForm f(2);
    f.queryColumns();
    TColumnEh* c = f.grid->Columns()->Add();
    c->SetFieldName("Nothing");
    c->Footer()->SetValueType(fvtSum);
    EXPECT_EQ(f.grid->GetFooterValue(0, c), "0");
    c->Footer()->SetValueType(fvtFieldValue);
    c->Footer()->SetFieldName("Nothing");
    EXPECT_EQ(f.grid->GetFooterValue(0, c), "");
}

TEST(DBGridEhFooters, countAndAverage) {
    GridForm f(4);
    f.queryColumns();
    TColumnEh* c = f.grid->Columns()->Items(2);
    c->Footer()->SetValueType(fvtAvg);
    // (1+2+3+4)/4 = 2.5 rounds half to even.
    EXPECT_EQ(f.grid->GetFooterValue(0, c), "2");
    c->Footer()->SetValueType(fvtCount);
    EXPECT_EQ(f.grid->GetFooterValue(0, c), "4");
}

// The painted grid, recorded: titles, cell texts and footers where a
// person expects them.
TEST(DBGridEhPaint, recordsTitlesCellsAndFooters) {
    GridForm f(3);
    f.queryColumns();
    ShowAndActivate(&f.form);
    TMetafile mf;
    {
        TMetafileCanvas mc(&mf);
        f.grid->PaintTo(&mc);
        std::vector<std::string> texts;
        for (auto* r : mc.TextRecords()) texts.push_back(r->Text);
        for (const char* t : {"图书编号", "名称", "B001", "图书3", "合计", "6", "￥7.50"})
            EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end())
                << t << " in " << ::testing::PrintToString(texts);
    }
}

TEST(DBGridEhKeys, downMovesTheRecordAndEscapeReachesOnKeyDown) {
    GridForm f(5);
    f.queryColumns();
    int escapes = 0;
    f.grid->OnKeyDown = [&](TObject*, Word& k, TShiftState) {
        if (k == VK_ESCAPE) ++escapes;
    };
    ShowAndActivate(&f.form);
    SendKey(f.grid, VK_DOWN);
    SendKey(f.grid, VK_DOWN);
    EXPECT_EQ(f.ds->RecNo(), 3);
    SendKey(f.grid, VK_END, TShiftState{ssCtrl});
    EXPECT_EQ(f.ds->RecNo(), 5);
    SendKey(f.grid, VK_ESCAPE);
    EXPECT_EQ(escapes, 1);
}

TEST(DBGridEhKeys, readOnlyGridDoesNotAppendOnDown) {
    GridForm f(2);
    f.queryColumns();
    f.grid->SetAllowedOperations({});
    f.grid->SetReadOnly(true);
    ShowAndActivate(&f.form);
    SendKey(f.grid, VK_DOWN);
    SendKey(f.grid, VK_DOWN);
    EXPECT_EQ(f.ds->State(), dsBrowse);
    EXPECT_EQ(f.ds->RecordCount(), 2);
}

// Whole rows have no current column: Left and Right bring the columns off
// screen into view and leave the record where it is, stopping at either end.
TEST(DBGridEhKeys, withRowSelectLeftAndRightScrollTheViewAColumn) {
    GridForm f(5, 220);
    f.queryColumns();
    f.grid->SetOptions(f.grid->Options() << dgRowSelect);
    ShowAndActivate(&f.form);
    SendKey(f.grid, VK_DOWN);
    const int first = f.grid->LeftCol();
    ASSERT_EQ(first, f.grid->FixedCols());
    SendKey(f.grid, VK_RIGHT);
    EXPECT_EQ(f.grid->LeftCol(), first + 1);
    EXPECT_EQ(f.ds->RecNo(), 2);
    for (int i = 0; i < 6; ++i) SendKey(f.grid, VK_RIGHT);
    const int last = f.grid->LeftCol();
    EXPECT_EQ(last + f.grid->VisibleColCount(), f.grid->ColCount()) << "stops at the last column";
    EXPECT_GT(last, first + 1);
    SendKey(f.grid, VK_LEFT);
    EXPECT_EQ(f.grid->LeftCol(), last - 1);
    for (int i = 0; i < 6; ++i) SendKey(f.grid, VK_LEFT);
    EXPECT_EQ(f.grid->LeftCol(), first) << "stops at the first scrolling column";
    EXPECT_EQ(f.ds->RecNo(), 2);
}

TEST(DBGridEhMouse, titleClickNamesTheColumnAndDataClickMoves) {
    GridForm f(5);
    f.queryColumns();
    TColumnEh* clicked = nullptr;
    f.grid->OnTitleClick = [&](TColumnEh* c) { clicked = c; };
    ShowAndActivate(&f.form);
    TRect title = f.grid->CellRect(3, 0);
    SendClick(f.grid, title.Left + 10, title.Top + 5);
    EXPECT_EQ(clicked, f.grid->Columns()->Items(2));
    TRect row3 = f.grid->CellRect(2, 3);
    SendClick(f.grid, row3.Left + 10, row3.Top + 5);
    EXPECT_EQ(f.ds->RecNo(), 3);
}

TEST(DBGridEhSelection, shiftClickSelectsTheRangeFromTheAnchor) {
    GridForm f(6);
    f.queryColumns();
    TDBGridOptions o = f.grid->Options();
    o << dgMultiSelect;
    f.grid->SetOptions(o);
    ShowAndActivate(&f.form);
    // Records are selected on the indicator; Shift on a data cell stretches
    // a rectangle instead.
    auto clickRow = [&](int rec, TShiftState s) {
        TRect r = f.grid->CellRect(0, rec);
        SendMouseDown(f.grid, r.Left + 5, r.Top + 5, mbLeft, s);
        SendMouseUp(f.grid, r.Left + 5, r.Top + 5, mbLeft, s);
    };
    clickRow(2, {});
    clickRow(5, TShiftState{ssShift});
    EXPECT_EQ(f.grid->SelectedRows()->Count(), 4);
    clickRow(3, TShiftState{ssShift});
    EXPECT_EQ(f.grid->SelectedRows()->Count(), 2);
    EXPECT_EQ(f.grid->Selection()->Kind(), gstRecordBookmarks);
}

// With whole rows selected, Shift+Ctrl+End and Shift+Ctrl+Home select every
// record from the current one to the last or first, in the order shown,
// past many thousands of rows.
TEST(DBGridEhSelection, shiftCtrlEndAndHomeSelectToTheEndsInShownOrder) {
    GridForm f(9000);
    TDBGridOptions o = f.grid->Options();
    o << dgMultiSelect << dgRowSelect;
    f.grid->SetOptions(o);
    ShowAndActivate(&f.form);
    struct Case {
        int from;
        Word key;
        int count, first, last; // record numbers of the selection's ends
    } cases[] = {
        {2, VK_END, 8999, 2, 9000},
        {4500, VK_HOME, 4500, 1, 4500},
        {9000, VK_END, 1, 9000, 9000},
    };
    for (const Case& c : cases) {
        // Arrive by a plain key, which starts no range.
        f.grid->Selection()->Clear();
        f.ds->SetRecNo(c.from == 9000 ? 8999 : c.from + 1);
        SendKey(f.grid, c.from == 9000 ? VK_DOWN : VK_UP);
        ASSERT_EQ(f.ds->RecNo(), c.from);
        SendKey(f.grid, c.key, TShiftState{ssShift, ssCtrl});
        TBookmarkListEh* rows = f.grid->SelectedRows();
        ASSERT_EQ(rows->Count(), c.count) << c.from;
        const TBookmark now = f.ds->GetBookmark();
        f.ds->GotoBookmark((*rows)[0]);
        EXPECT_EQ(f.ds->RecNo(), c.first) << c.from;
        f.ds->GotoBookmark((*rows)[rows->Count() - 1]);
        EXPECT_EQ(f.ds->RecNo(), c.last) << c.from;
        f.ds->GotoBookmark((*rows)[rows->Count() / 2]);
        EXPECT_EQ(f.ds->RecNo(), c.first + (rows->Count() / 2)) << c.from;
        f.ds->GotoBookmark(now);
        EXPECT_EQ(f.ds->RecNo(), c.key == VK_END ? 9000 : 1) << c.from;
    }
}

TEST(DBGridEhSelection, ctrlClickOnLastSelectedColumnLeavesNone) {
    GridForm f(3);
    f.queryColumns();
    TDBGridOptions o = f.grid->Options();
    o << dgMultiSelect;
    f.grid->SetOptions(o);
    ShowAndActivate(&f.form);
    // The strip at the foot of the title selects columns.
    TRect t = f.grid->CellRect(2, 0);
    SendMouseDown(f.grid, t.Left + 5, t.Bottom - 3, mbLeft, TShiftState{ssCtrl});
    SendMouseUp(f.grid, t.Left + 5, t.Bottom - 3, mbLeft, TShiftState{ssCtrl});
    EXPECT_EQ(f.grid->Selection()->Kind(), gstColumns);
    SendMouseDown(f.grid, t.Left + 5, t.Bottom - 3, mbLeft, TShiftState{ssCtrl});
    SendMouseUp(f.grid, t.Left + 5, t.Bottom - 3, mbLeft, TShiftState{ssCtrl});
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
}

// Deleting everything after Ctrl+A once went ahead without a question.
TEST(DBGridEhSelection, deletingWholeGridAsksFirst) {
    GridForm f(4);
    f.queryColumns();
    TDBGridOptions o = f.grid->Options();
    o << dgMultiSelect;
    f.grid->SetOptions(o);
    f.grid->SetEditActions({geaSelectAllEh, geaDeleteEh});
    ShowAndActivate(&f.form);
    SendKey(f.grid, 'A', TShiftState{ssCtrl});
    EXPECT_EQ(f.grid->Selection()->Kind(), gstAll);
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectMessage("Delete all selected records?", mrCancel);
    SendKey(f.grid, VK_DELETE, TShiftState{ssCtrl});
    EXPECT_EQ(f.ds->RecordCount(), 4);
    SendKey(f.grid, 'A', TShiftState{ssCtrl});
    script.ExpectMessage("Delete all selected records?", mrOk);
    SendKey(f.grid, VK_DELETE, TShiftState{ssCtrl});
    EXPECT_EQ(f.ds->RecordCount(), 0);
}

TEST(DBGridEhMultiTitle, neighboursUnderDifferentUpperCellsNeverRaise) {
    GridForm f(2);
    f.grid->SetUseMultiTitle(true);
    f.grid->SetEnabled(false);
    const char* captions[] = {"X|A|p", "A|q", "A|r", "库存|数量"};
    const char* fields[] = {"Code", "BookName", "BookQty", "BookSum"};
    for (int i = 0; i < 4; ++i) {
        TColumnEh* c = f.grid->Columns()->Add();
        c->SetFieldName(fields[i]);
        c->Title()->SetCaption(captions[i]);
    }
    EXPECT_NO_THROW(f.grid->SetEnabled(true));
    THeadTreeNode* root = f.grid->HeadTree();
    ASSERT_EQ(root->Children().size(), 3u);
    EXPECT_EQ(root->Children()[0]->Text, "X");
    EXPECT_EQ(root->Children()[1]->Text, "A");
    EXPECT_EQ(root->Children()[1]->Children().size(), 2u);
    EXPECT_EQ(f.grid->LeafFieldArr(1)->Host, f.grid->LeafFieldArr(2)->Host);
}

} // namespace

namespace {

// The layout editor's way: type into a cell, move to another record, and
// the record is posted.
TEST(DBGridEhEditing, typedTextIsPostedOnRowChange) {
    GridForm f(3);
    f.grid->SetEnabled(false);
    for (const char* name : {"Code", "BookName", "BookQty"}) f.grid->Columns()->Add()->SetFieldName(name);
    f.grid->SetEnabled(true);
    ShowAndActivate(&f.form);
    TRect r = f.grid->CellRect(3, 1);
    SendClick(f.grid, r.Left + 5, r.Top + 5);
    SendText(f.grid, "42");
    EXPECT_EQ(f.ds->State(), dsEdit);
    SendKey(f.grid, VK_DOWN);
    EXPECT_EQ(f.ds->State(), dsBrowse);
    f.ds->First();
    EXPECT_EQ(f.ds->FieldByName("BookQty")->AsInteger(), 42);
}

TEST(DBGridEhEditing, checkBoxColumnStepsWithSpaceAndWritesKeys) {
    GridForm f(2);
    f.grid->SetEnabled(false);
    TColumnEh* c = f.grid->Columns()->Add();
    c->SetFieldName("Code");
    c->SetCheckboxes(true);
    c->KeyList()->Add("Y;y;1");
    c->KeyList()->Add("N");
    f.grid->SetEnabled(true);
    f.ds->Edit();
    f.ds->FieldByName("Code")->SetAsString("1");
    f.ds->Post();
    EXPECT_EQ(c->CheckboxState(), 1);
    ShowAndActivate(&f.form);
    SendKey(f.grid, VK_SPACE);
    EXPECT_EQ(f.ds->FieldByName("Code")->AsString(), "N");
    SendKey(f.grid, VK_SPACE);
    EXPECT_EQ(f.ds->FieldByName("Code")->AsString(), "Y");
}

struct KeyListRow {
    const char* name;
    Variant value;
    int notInKeyListIndex;
    const char* shown;
};

class DBGridEhKeyList : public ::testing::TestWithParam<KeyListRow> {};

TEST_P(DBGridEhKeyList, showsThePickTextOfTheKey) {
    GridForm f(1);
    TColumnEh* c = f.grid->Columns()->Add();
    c->SetFieldName("BookQty");
    c->KeyList()->Add("1");
    c->KeyList()->Add("0");
    c->PickList()->Add("是");
    c->PickList()->Add("否");
    c->SetNotInKeyListIndex(GetParam().notInKeyListIndex);
    f.ds->Edit();
    f.ds->FieldByName("BookQty")->SetValue(GetParam().value);
    f.ds->Post();
    EXPECT_EQ(c->DisplayText(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Rows, DBGridEhKeyList,
                         ::testing::Values(KeyListRow{"secondKey", Variant(0), -1, "否"},
                                           KeyListRow{"unknownKey", Variant(5), -1, ""},
                                           KeyListRow{"unknownKeyShowsNotInListText", Variant(5), 1, "否"}),
                         RowName());

TEST(DBGridEhStepping, nullStepsToZeroAndNumbersByIncrement) {
    GridForm f(1);
    TColumnEh* c = f.grid->Columns()->Add();
    c->SetFieldName("BookQty");
    f.ds->Edit();
    f.ds->FieldByName("BookQty")->Clear();
    c->SetNextFieldValue(1);
    EXPECT_EQ(f.ds->FieldByName("BookQty")->AsInteger(), 0);
    f.ds->FieldByName("BookQty")->SetAsInteger(5);
    c->SetIncrement(2);
    c->SetNextFieldValue(1);
    EXPECT_EQ(f.ds->FieldByName("BookQty")->AsInteger(), 7);
}

TEST(DBGridEhStepping, updateDataHandlerCanKeepTheField) {
    GridForm f(1);
    TColumnEh* c = f.grid->Columns()->Add();
    c->SetFieldName("BookQty");
    c->OnUpdateData = [](TObject*, std::string&, Variant&, bool&, bool& handled) { handled = true; };
    f.ds->Edit();
    c->SetNextFieldValue(1);
    EXPECT_EQ(f.ds->FieldByName("BookQty")->AsInteger(), 1);
}

TEST(DBGridEhIncSearch, typedPrefixFindsTheRecordIgnoringCase) {
    GridForm f(30);
    f.grid->SetEnabled(false);
    for (const char* name : {"Code", "BookName"}) f.grid->Columns()->Add()->SetFieldName(name);
    f.grid->SetEnabled(true);
    f.grid->SetOptionsEh(f.grid->OptionsEh() + TDBGridEhOptions{dghIncSearch, dghPreferIncSearch});
    ShowAndActivate(&f.form);
    SendText(f.grid, "b02");
    EXPECT_EQ(f.ds->RecNo(), 20);
    EXPECT_TRUE(f.grid->IncSearching());
    // A character that continues no code is not added.
    SendText(f.grid, "x");
    EXPECT_EQ(f.grid->IncSearchText(), "B02"); // the record's own letter case
    SendKey(f.grid, VK_DOWN, TShiftState{ssCtrl});
    EXPECT_EQ(f.ds->RecNo(), 21);
    SendKey(f.grid, VK_ESCAPE);
    EXPECT_FALSE(f.grid->IncSearching());
}

// Typing in a column that cannot be edited seeks a record even where the
// grid does not prefer the search; Backspace takes back whole characters and
// leaves the record. In an editable column the typing goes to the editor.
TEST(DBGridEhIncSearch, aReadOnlyColumnSearchesAndBackspaceTakesBackACharacter) {
    GridForm f(40);
    f.grid->SetEnabled(false);
    for (const char* name : {"Code", "BookName"}) f.grid->Columns()->Add()->SetFieldName(name);
    f.grid->Columns()->Items(1)->SetReadOnly(true);
    f.grid->SetEnabled(true);
    f.grid->SetOptionsEh(f.grid->OptionsEh() + TDBGridEhOptions{dghIncSearch});
    ShowAndActivate(&f.form);
    SendKey(f.grid, VK_RIGHT);
    SendText(f.grid, "图书25");
    ASSERT_TRUE(f.grid->IncSearching());
    EXPECT_EQ(f.ds->RecNo(), 25);
    SendKey(f.grid, VK_BACK);
    EXPECT_EQ(f.grid->IncSearchText(), "图书2");
    EXPECT_EQ(f.ds->RecNo(), 25);
    SendKey(f.grid, VK_BACK);
    SendText(f.grid, "3");
    EXPECT_EQ(f.grid->IncSearchText(), "图书3");
    EXPECT_EQ(f.ds->RecNo(), 3);
    // A paste adds the clipboard's text to the search.
    Clipboard()->SetAsText("0");
    SendKey(f.grid, 'V', TShiftState{ssCtrl});
    EXPECT_EQ(f.ds->RecNo(), 30);
    SendKey(f.grid, VK_BACK);
    Clipboard()->SetAsText("1");
    SendKey(f.grid, VK_INSERT, TShiftState{ssShift});
    EXPECT_EQ(f.grid->IncSearchText(), "图书31");
    EXPECT_EQ(f.ds->RecNo(), 31);
    SendKey(f.grid, VK_ESCAPE);
    SendKey(f.grid, VK_LEFT);
    SendText(f.grid, "Z");
    EXPECT_FALSE(f.grid->IncSearching());
    EXPECT_TRUE(f.grid->EditorMode());
    EXPECT_EQ(f.ds->RecNo(), 31);
}

} // namespace
