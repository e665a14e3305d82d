// The data grid's in-place editor beyond plain text: the calendar of date
// cells, up/down stepping, the column's edit buttons in the editor and in
// cells that always show them, read-only forced by the cell's parameters,
// the pick list's size and place on the screen, AutoDropDown, the wheel
// while a list is open, Ctrl+F from the editor, the characters a cell
// takes, and the word-wrap editor of cells that wrap. Keys and clicks go
// through the window system.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "support/TestNames.h"

#include "ExtCtrls.h"
#include "Menus.h"
#include "Screen.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "db/ListDataSet.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "gridlib/grid/DBGridEh.h"

namespace {

const std::string kScreens = std::string(BUILD_DIR) + "/test-output/screens/";

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

// Shows the form and opens the grid's editor on column i of the current record.
TDBGridInplaceEdit* openEditor(TForm& form, TDBGridEh* grid, int i) {
    ShowAndActivate(&form);
    grid->SetFocus();
    ProcessEvents();
    grid->SetSelectedIndex(i);
    SendKeyToFocus(&form, VK_F2);
    TDBGridInplaceEdit* ed = grid->InplaceEditorEh();
    EXPECT_TRUE(ed && ed->Visible());
    return ed;
}

// Loans: a code, a date, a count and a state, in a grid over them.
struct LoanGrid {
    TForm form{nullptr};
    TListDataSet* ds = nullptr;
    TDataSource* src = nullptr;
    TDBGridEh* grid = nullptr;
    // make: the grid to use in place of a plain TDBGridEh.
    explicit LoanGrid(int left = 40, int top = 40, std::function<TDBGridEh*(TForm*)> make = nullptr) {
        form.SetBounds(left, top, 520, 260);
        ds = new TListDataSet(&form);
        ds->FieldDefs().Add("Code", ftString, 10);
        ds->FieldDefs().Add("LendDate", ftDate);
        ds->FieldDefs().Add("Qty", ftInteger);
        ds->FieldDefs().Add("State", ftString, 10);
        for (int i = 1; i <= 5; ++i)
            ds->AddRow({Variant(Format("L%.3d", i)), Variant(D(2026, 12, i)), Variant(i), Variant("在借")});
        ds->Open();
        src = new TDataSource(&form);
        src->SetDataSet(ds);
        grid = make ? make(&form) : new TDBGridEh(&form);
        grid->SetParent(&form);
        grid->SetBounds(0, 0, 500, 220);
        grid->SetDataSource(src);
        grid->SetEnabled(false);
        for (const char* name : {"Code", "LendDate", "Qty", "State"}) grid->Columns()->Add()->SetFieldName(name);
        for (int i = 0; i < 4; ++i) grid->Columns()->Items(i)->SetWidth(110);
        grid->SetEnabled(true);
    }
    TColumnEh* column(int i) { return grid->Columns()->Items(i); }
    // The state column with its three states to pick from.
    TColumnEh* stateList() {
        TColumnEh* c = column(3);
        for (const char* s : {"在借", "归还", "丢失"}) c->PickList()->Add(s);
        return c;
    }
    // Shows the form and opens the editor on column i of the first record.
    TDBGridInplaceEdit* edit(int i) { return openEditor(form, grid, i); }
    TField* field(const char* name) { return ds->FieldByName(name); }
};

TEST(GridEditorCalendar, altDownOpensTheCalendarBelowTheCellEnterTakesTheDay) {
    LoanGrid g;
    TDBGridInplaceEdit* ed = g.edit(1);
    ASSERT_EQ(ed->EditStyleEh(), iesCalendarEh);
    SendKeyToFocus(&g.form, VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(ed->DroppedDown());
    TPopupMonthCalendarEh* cal = ed->Calendar();
    ASSERT_TRUE(cal && cal->Visible());
    EXPECT_EQ(double(cal->Date()), double(D(2026, 12, 1)));
    EXPECT_EQ(cal->Top(), ed->ClientToScreen(TPoint{0, ed->Height()}).Y);
    SendKeyToFocus(&g.form, VK_RIGHT); // the arrows go to the calendar
    SendKeyToFocus(&g.form, VK_RIGHT);
    EXPECT_EQ(double(cal->Date()), double(D(2026, 12, 3)));
    EXPECT_EQ(double(g.field("LendDate")->AsDateTime()), double(D(2026, 12, 1)));
    SendKeyToFocus(&g.form, VK_RETURN);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_FALSE(cal->Visible());
    EXPECT_EQ(double(g.field("LendDate")->AsDateTime()), double(D(2026, 12, 3)));
    EXPECT_EQ(ed->GetText(), g.field("LendDate")->Text());
    // Esc closes it and leaves the date.
    SendKeyToFocus(&g.form, VK_DOWN, TShiftState{ssAlt});
    SendKeyToFocus(&g.form, VK_LEFT);
    SendKeyToFocus(&g.form, VK_ESCAPE);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_EQ(double(g.field("LendDate")->AsDateTime()), double(D(2026, 12, 3)));
}

TEST(GridEditorCalendar, theButtonOpensItAndTheNextPressClosesItUnchanged) {
    LoanGrid g;
    TDBGridInplaceEdit* ed = g.edit(1);
    const TRect b = ed->ButtonRect();
    ASSERT_FALSE(IsRectEmpty(b));
    SendClick(ed, b.Left + b.Width() / 2, b.Top + b.Height() / 2);
    ASSERT_TRUE(ed->DroppedDown());
    EXPECT_TRUE(ed->Calendar()->Visible());
    SendKeyToFocus(&g.form, VK_DOWN);
    SendClick(ed, b.Left + b.Width() / 2, b.Top + b.Height() / 2);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_EQ(double(g.field("LendDate")->AsDateTime()), double(D(2026, 12, 1)));
}

TEST(GridEditorCalendar, aDayClickedIsTaken) {
    LoanGrid g;
    TDBGridInplaceEdit* ed = g.edit(1);
    SendKeyToFocus(&g.form, VK_DOWN, TShiftState{ssAlt});
    TPopupMonthCalendarEh* cal = ed->Calendar();
    ASSERT_TRUE(cal->Visible());
    // The days fill the lower part; the middle of it is a day.
    SendClick(cal, cal->Width() / 2, cal->Height() * 2 / 3);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_EQ(double(g.field("LendDate")->AsDateTime()), double(cal->Date()));
}

TEST(GridEditorUpDown, theTopHalfAddsTheIncrementAndTheBottomHalfTakesItAway) {
    LoanGrid g;
    g.column(2)->SetButtonStyle(cbsUpDownEh);
    g.column(2)->SetIncrement(2);
    TDBGridInplaceEdit* ed = g.edit(2);
    ASSERT_EQ(ed->EditStyleEh(), iesUpDownEh);
    TEditButtonControlEh* b = ed->UpDownButton();
    ASSERT_TRUE(b && b->Visible());
    // The button stands at the editor's right edge and the text keeps off it.
    EXPECT_EQ(b->Left() + b->Width(), ed->Width());
    EXPECT_EQ(ed->ButtonAreaWidth(), b->Width());
    SendClick(b, b->Width() / 2, 2);
    EXPECT_EQ(g.field("Qty")->AsInteger(), 3);
    EXPECT_EQ(ed->GetText(), "3");
    SendClick(b, b->Width() / 2, b->Height() - 2);
    SendClick(b, b->Width() / 2, b->Height() - 2);
    EXPECT_EQ(g.field("Qty")->AsInteger(), -1);
}

TEST(GridEditorUpDown, onAPickListTheTopHalfTakesThePreviousItem) {
    LoanGrid g;
    TColumnEh* c = g.stateList();
    c->SetButtonStyle(cbsUpDownEh);
    TDBGridInplaceEdit* ed = g.edit(3);
    TEditButtonControlEh* b = ed->UpDownButton();
    ASSERT_TRUE(b);
    SendClick(b, b->Width() / 2, b->Height() - 2);
    EXPECT_EQ(g.field("State")->AsString(), "归还");
    SendClick(b, b->Width() / 2, 2);
    EXPECT_EQ(g.field("State")->AsString(), "在借");
}

struct ButtonsWidthRow {
    const char* name;
    bool flat;
    TColumnButtonStyleEh style;
    int itemWidth; // -1: no edit button
    bool itemVisible;
    int expected; // < 0: computed from the flat button width
};

class GridEditorButtonsWidth : public ::testing::TestWithParam<ButtonsWidthRow> {};

TEST_P(GridEditorButtonsWidth, countsTheOwnButtonAndEveryVisibleEditButton) {
    LoanGrid g;
    const ButtonsWidthRow& r = GetParam();
    g.grid->SetFlat(r.flat);
    TColumnEh* c = g.column(0);
    c->SetButtonStyle(r.style);
    if (r.itemWidth >= 0) {
        TEditButtonEh* b = c->EditButtons()->Add();
        b->SetWidth(r.itemWidth);
        b->SetVisible(r.itemVisible);
    }
    const int expected = r.expected >= 0 ? r.expected : 2 * (FlatEditButtonWidth + 1);
    EXPECT_EQ(c->EditButtonsWidth(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GridEditorButtonsWidth,
    ::testing::Values(ButtonsWidthRow{"plainColumnHasNone", false, cbsAutoEh, -1, true, 0},
                      ButtonsWidthRow{"ellipsis", false, cbsEllipsisEh, -1, true, 17},
                      ButtonsWidthRow{"ellipsisAndAnAutoButton", false, cbsEllipsisEh, 0, true, 34},
                      ButtonsWidthRow{"plainAndAButtonOf20", false, cbsAutoEh, 20, true, 20},
                      ButtonsWidthRow{"hiddenButtonsTakeNothing", false, cbsEllipsisEh, 20, false, 17},
                      ButtonsWidthRow{"flatButtonsTakeALineMore", true, cbsEllipsisEh, 0, true, -1}),
    RowName());

// A column with two buttons of its own: "..." (Ctrl+B) and "+".
struct ButtonsGrid : LoanGrid {
    std::vector<int> clicks;
    ButtonsGrid() {
        TColumnEh* c = column(0);
        c->SetAlwaysShowEditButton(true);
        TEditButtonEh* a = c->EditButtons()->Add();
        a->SetStyle(ebsEllipsisEh);
        a->ShortCut = 0x4000 | 'B';
        a->OnClick = [this](TObject*, bool&) { clicks.push_back(0); };
        TEditButtonEh* b = c->EditButtons()->Add();
        b->SetStyle(ebsPlusEh);
        b->OnClick = [this](TObject*, bool&) { clicks.push_back(1); };
    }
};

TEST(GridEditorEditButtons, theEditorPlacesThemAtItsRightEdgeAndTheyTakeClicksAndShortcuts) {
    ButtonsGrid g;
    TDBGridInplaceEdit* ed = g.edit(0);
    ASSERT_EQ(ed->EditButtonControlCount(), 2);
    TEditButtonControlEh* a = ed->EditButtonControl(0);
    TEditButtonControlEh* b = ed->EditButtonControl(1);
    EXPECT_EQ(b->Left() + b->Width(), ed->Width()); // the last one outermost
    EXPECT_EQ(a->Left() + a->Width(), b->Left());
    EXPECT_EQ(ed->ButtonAreaWidth(), a->Width() + b->Width());
    SendClick(b);
    SendClick(a);
    SendKeyToFocus(&g.form, 'B', TShiftState{ssCtrl});
    EXPECT_EQ(g.clicks, (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(g.field("Code")->AsString(), "L001");
}

TEST(GridEditorEditButtons, aCellThatAlwaysShowsThemPassesAPressToTheEditorsButton) {
    ButtonsGrid g;
    ShowAndActivate(&g.form);
    g.grid->SetFocus();
    // The second record's cell, not yet current: its outer button.
    const TRect r = g.grid->CellRect(1, 2);
    SendClick(g.grid, r.Right - 4, r.Top + r.Height() / 2);
    EXPECT_EQ(g.clicks, (std::vector<int>{1}));
    EXPECT_EQ(g.field("Code")->AsString(), "L002");
    ASSERT_TRUE(g.grid->InplaceEditorEh());
    EXPECT_TRUE(g.grid->InplaceEditorEh()->Visible());
}

TEST(GridEditorEditButtons, aCopiedColumnBringsItsButtonsIntoTheEditor) {
    ButtonsGrid g;
    g.column(0)->EditButtons()->Items(1)->SetWidth(21);
    TColumnEh* copy = g.column(3);
    for (int twice = 0; twice < 2; ++twice) copy->Assign(g.column(0));
    ASSERT_EQ(copy->EditButtons()->Count(), 2);
    EXPECT_EQ(copy->EditButtons()->Items(0)->Style(), ebsEllipsisEh);
    EXPECT_EQ(copy->EditButtons()->Items(0)->ShortCut, 0x4000 | 'B');
    EXPECT_EQ(copy->EditButtons()->Items(1)->Style(), ebsPlusEh);
    EXPECT_EQ(copy->EditButtons()->Items(1)->Width(), 21);
    TDBGridInplaceEdit* ed = g.edit(3);
    ASSERT_EQ(ed->EditButtonControlCount(), 2);
    EXPECT_EQ(ed->EditButtonControl(1)->Width(), 21);
    EXPECT_EQ(ed->ButtonAreaWidth(), g.column(0)->EditButtonsWidth());
}

TEST(GridEditorEditButtons, cellsPaintTheButtonsBesideTheirText) {
    ButtonsGrid g;
    ShowAndActivate(&g.form);
    TBitmap bmp;
    bmp.SetSize(g.grid->ClientWidth(), g.grid->ClientHeight());
    g.grid->PaintTo(bmp.Canvas());
    // A cell of the second record: the button face's colour at the right,
    // the cell's colour left of the buttons.
    const TRect r = g.grid->CellRect(1, 3);
    const int zone = g.column(0)->EditButtonsWidth();
    EXPECT_EQ(zone, 2 * kScrollArrowWidth);
    EXPECT_EQ(bmp.Canvas()->Pixels(r.Right - zone - 3, r.Top + 2), ColorToRGB(g.column(0)->Color()));
    EXPECT_NE(bmp.Canvas()->Pixels(r.Right - zone + 4, r.Top + 4), ColorToRGB(g.column(0)->Color()));
}

TEST(GridEditorReadOnly, theCellsParametersMayForceEitherWay) {
    LoanGrid g;
    g.column(3)->SetReadOnly(true);
    auto force = [](bool readOnly) {
        return [readOnly](TObject*, bool editMode, TColCellParamsEh* p) {
            if (editMode) p->ReadOnly = readOnly;
        };
    };
    g.column(0)->OnGetCellParams = force(true);
    g.column(3)->OnGetCellParams = force(false);
    TDBGridInplaceEdit* ed = g.edit(0);
    EXPECT_TRUE(ed->ReadOnlyOverridden());
    SendKeyToFocus(&g.form, VK_END);
    SendTextToFocus(&g.form, "X");
    EXPECT_EQ(ed->GetText(), "L001");
    SendKeyToFocus(&g.form, VK_TAB);
    SendKeyToFocus(&g.form, VK_TAB);
    SendKeyToFocus(&g.form, VK_TAB);
    SendKeyToFocus(&g.form, VK_F2);
    ASSERT_EQ(g.grid->SelectedIndex(), 3);
    EXPECT_TRUE(ed->ReadOnlyOverridden());
    SendKeyToFocus(&g.form, VK_END);
    SendTextToFocus(&g.form, "中");
    SendKeyToFocus(&g.form, VK_DOWN); // the record is written
    g.ds->First();
    EXPECT_EQ(g.field("State")->AsString(), "在借中");
    EXPECT_EQ(g.field("Code")->AsString(), "L001");
}

// Which typed characters the current cell takes, by what its parameters
// force: a key-list cell maps any text, a number cell takes digits.
struct AcceptKeyRow {
    const char* name;
    int col;       // 0 Code (text), 2 Qty (integer)
    bool keyList;  // Qty shows texts for its keys
    int force;     // -1 nothing forced, 0 forced writable, 1 forced read-only
    char32_t key;
    bool accepted;
};

class GridEditorAcceptKey : public ::testing::TestWithParam<AcceptKeyRow> {};

// The grid's answer is reached from outside only through what it lets type.
struct AcceptKeyGrid : TDBGridEh {
    using TDBGridEh::TDBGridEh;
    using TCustomDBGridEh::CanEditAcceptKey;
};

TEST_P(GridEditorAcceptKey, startsFromTheForcedReadOnlyState) {
    const AcceptKeyRow& r = GetParam();
    AcceptKeyGrid* grid = nullptr;
    LoanGrid g(40, 40, [&grid](TForm* f) { return grid = new AcceptKeyGrid(f); });
    TColumnEh* c = grid->Columns()->Items(r.col);
    if (r.keyList)
        for (const char* k : {"1", "2"}) c->KeyList()->Add(k), c->PickList()->Add(std::string("第") + k);
    if (r.force >= 0)
        c->OnGetCellParams = [&r](TObject*, bool editMode, TColCellParamsEh* p) {
            if (editMode) p->ReadOnly = r.force == 1;
        };
    if (r.force == 0) c->SetReadOnly(true);
    g.edit(r.col);
    EXPECT_EQ(grid->CanEditAcceptKey(r.key), r.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GridEditorAcceptKey,
    ::testing::Values(AcceptKeyRow{"textTakesLetters", 0, false, -1, U'x', true},
                      AcceptKeyRow{"numberRefusesLetters", 2, false, -1, U'x', false},
                      AcceptKeyRow{"numberTakesDigits", 2, false, -1, U'7', true},
                      AcceptKeyRow{"keyListTakesAnything", 2, true, -1, U'x', true},
                      AcceptKeyRow{"forcedReadOnlyTextRefuses", 0, false, 1, U'x', false},
                      AcceptKeyRow{"forcedReadOnlyKeyListRefuses", 2, true, 1, U'x', false},
                      AcceptKeyRow{"forcedWritableNumberStillRefusesLetters", 2, false, 0, U'x', false},
                      AcceptKeyRow{"forcedWritableNumberTakesDigits", 2, false, 0, U'7', true},
                      AcceptKeyRow{"forcedWritableKeyListTakesAnything", 2, true, 0, U'x', true}),
    RowName());

TEST(GridEditorPickList, heightFollowsTheItemsUpToDropDownRows) {
    LoanGrid g;
    TColumnEh* c = g.stateList();
    TDBGridInplaceEdit* ed = g.edit(3);
    ASSERT_EQ(ed->EditStyleEh(), iesPickListEh);
    SendKeyToFocus(&g.form, VK_DOWN, TShiftState{ssAlt});
    TPopupListboxEh* l = ed->PopupList();
    ASSERT_TRUE(ed->DroppedDown() && l && l->Visible());
    EXPECT_EQ(l->Height(), 3 * l->ItemHeight() + l->BorderHeight());
    EXPECT_EQ(l->ItemIndex(), 0);
    SendKeyToFocus(&g.form, VK_DOWN); // the editor shows the item the keys reach
    EXPECT_EQ(ed->GetText(), "归还");
    SendKeyToFocus(&g.form, VK_ESCAPE);
    EXPECT_EQ(ed->GetText(), "在借");
    for (int i = 0; i < 7; ++i) c->PickList()->Add(Format("状态%d", i));
    SendKeyToFocus(&g.form, VK_DOWN, TShiftState{ssAlt});
    EXPECT_EQ(l->Height(), c->DropDownRows() * l->ItemHeight() + l->BorderHeight());
    SendKeyToFocus(&g.form, VK_DOWN);
    SendKeyToFocus(&g.form, VK_RETURN);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_EQ(g.field("State")->AsString(), "归还");
}

TEST(GridEditorPickList, nearTheScreensBottomItOpensUpwardsInsideTheWorkArea) {
    const TRect work = Screen->WorkAreaRect();
    LoanGrid g(work.Left + 20, work.Bottom - 60);
    TColumnEh* c = g.column(3);
    c->SetDropDownSizing(true);
    for (int i = 0; i < 12; ++i) c->PickList()->Add(Format("状态%d", i));
    TDBGridInplaceEdit* ed = g.edit(3);
    SendKeyToFocus(&g.form, VK_DOWN, TShiftState{ssAlt});
    TPopupListboxEh* l = ed->PopupList();
    ASSERT_TRUE(l && l->Visible());
    const TPoint at = ed->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(l->Top() + l->Height(), at.Y); // above the editor
    EXPECT_GE(l->Top(), work.Top);
    EXPECT_LE(l->Left() + l->Width(), work.Right);
    // Its grip stands in a top corner, away from the editor.
    TSizeGripEh* grip = l->SizeGrip();
    EXPECT_TRUE(grip->Visible());
    EXPECT_TRUE(grip->Corner() == gcTopRightEh || grip->Corner() == gcTopLeftEh);
    // A size the user gives it is kept for the next opening.
    const int rows = c->DropDownRows();
    l->SetBounds(l->Left(), l->Top(), l->Width() + 30, l->Height() - 2 * l->ItemHeight());
    SendKeyToFocus(&g.form, VK_ESCAPE);
    EXPECT_EQ(c->DropDownRows(), rows - 2);
    EXPECT_EQ(c->DropDownWidth(), l->Width());
}

TEST(GridEditorPickList, autoDropDownOpensTheListOnTheFirstCharacter) {
    LoanGrid g;
    TColumnEh* c = g.stateList();
    c->SetAutoDropDown(true);
    TDBGridInplaceEdit* ed = g.edit(3);
    EXPECT_FALSE(ed->DroppedDown());
    SendKeyToFocus(&g.form, VK_HOME);
    SendTextToFocus(&g.form, "归");
    EXPECT_TRUE(ed->DroppedDown());
    EXPECT_EQ(ed->GetText(), "归还");
    EXPECT_EQ(ed->PopupList()->ItemIndex(), 1);
}

TEST(GridEditorPickList, theWheelMovesNothingWhileTheListIsOpen) {
    LoanGrid g;
    TColumnEh* c = g.stateList();
    TDBGridInplaceEdit* ed = g.edit(3);
    SendKeyToFocus(&g.form, VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(ed->DroppedDown());
    const TRect other = g.grid->CellRect(2, 3);
    SendWheel(g.grid, other.Left + 5, other.Top + 5, -120);
    SendWheel(ed, 5, ed->Height() / 2, -120);
    EXPECT_TRUE(ed->DroppedDown());
    EXPECT_EQ(g.ds->RecNo(), 1);
    SendKeyToFocus(&g.form, VK_ESCAPE);
    SendWheel(g.grid, other.Left + 5, other.Top + 5, -120);
    EXPECT_EQ(g.ds->RecNo(), 2);
}

TEST(GridEditorKeys, ctrlFInTheEditorStartsTheIncrementalSearch) {
    LoanGrid g;
    g.grid->SetOptionsEh(g.grid->OptionsEh() + TDBGridEhOptions{dghIncSearch});
    TDBGridInplaceEdit* ed = g.edit(0);
    SendKeyToFocus(&g.form, 'F', TShiftState{ssCtrl});
    EXPECT_TRUE(g.grid->IncSearching());
    EXPECT_FALSE(ed->Visible());
    SendTextToFocus(&g.form, "L003");
    EXPECT_EQ(g.field("Code")->AsString(), "L003");
}

// Notes long enough to wrap in a narrow column three lines high.
struct NotesGrid {
    TForm form{nullptr};
    TListDataSet* ds = nullptr;
    TDBGridEh* grid = nullptr;
    explicit NotesGrid(bool alwaysShowEditor = true, int rowLines = 3) {
        form.SetBounds(40, 40, 420, 260);
        ds = new TListDataSet(&form);
        ds->FieldDefs().Add("Note", ftString, 200);
        ds->FieldDefs().Add("Qty", ftInteger);
        ds->AddRow({Variant("读者要求续借两周 因为论文尚未完成 请于下次到馆时核对证件并登记"), Variant(1)});
        ds->AddRow({Variant("已归还"), Variant(2)});
        ds->AddRow({Variant("封面破损 需送修"), Variant(3)});
        ds->Open();
        auto* src = new TDataSource(&form);
        src->SetDataSet(ds);
        grid = new TDBGridEh(&form);
        grid->SetParent(&form);
        grid->SetBounds(0, 0, 400, 240);
        grid->SetDataSource(src);
        grid->Columns()->Add()->SetFieldName("Note");
        grid->Columns()->Add()->SetFieldName("Qty");
        grid->Columns()->Items(0)->SetWidth(130);
        grid->SetRowLines(rowLines);
        if (alwaysShowEditor) grid->SetOptions(grid->Options() << dgAlwaysShowEditor);
    }
    TDBGridInplaceEdit* edit(int i) { return openEditor(form, grid, i); }
    // Presses key n times in the editor.
    void press(Word key, int n = 1) {
        for (int i = 0; i < n; ++i) SendKeyToFocus(&form, key);
    }
    int recNo() { return ds->RecNo(); }
};

TEST(GridEditorWordWrap, upAndDownWalkTheLinesAndLeaveTheCellOnlyFromTheFirstOrLast) {
    NotesGrid g;
    TDBGridInplaceEdit* ed = g.edit(0);
    ASSERT_TRUE(ed->WordWrap());
    const int lines = ed->LineCount();
    ASSERT_GE(lines, 3);
    ed->SetSel(0, 0);
    g.press(VK_DOWN);
    EXPECT_EQ(ed->CaretLine(), 1);
    EXPECT_EQ(g.recNo(), 1);
    g.press(VK_UP); // back to the first line, still in the cell
    EXPECT_EQ(ed->CaretLine(), 0);
    EXPECT_EQ(g.recNo(), 1);
    g.press(VK_UP); // from the first line the grid takes it: nothing above
    EXPECT_EQ(g.recNo(), 1);
    ed->SetSel(0, 0);
    g.press(VK_DOWN, lines - 1);
    EXPECT_EQ(ed->CaretLine(), lines - 1);
    EXPECT_EQ(g.recNo(), 1);
    ed->Deselect();
    SendTextToFocus(&g.form, "。");
    ASSERT_EQ(ed->CaretLine(), ed->LineCount() - 1);
    g.press(VK_DOWN); // the last line: on to the next record, the text written
    EXPECT_EQ(g.recNo(), 2);
    g.ds->First();
    EXPECT_EQ(g.ds->FieldByName("Note")->AsString().find("登记。") != std::string::npos, true);
}

TEST(GridEditorWordWrap, wholeTextSelectedLetsTheArrowsLeaveAtOnce) {
    NotesGrid g;
    TDBGridInplaceEdit* ed = g.edit(0);
    ed->SetSel(1, 0);
    g.press(VK_DOWN);
    ASSERT_EQ(ed->CaretLine(), 1);
    ed->SelectAll();
    g.press(VK_DOWN);
    EXPECT_EQ(g.recNo(), 2);
}

TEST(GridEditorWordWrap, withoutTheEditorAlwaysShownTheArrowsStayInTheCell) {
    NotesGrid g(false);
    TDBGridInplaceEdit* ed = g.edit(0);
    ASSERT_TRUE(ed->WordWrap());
    ed->SetSel(0, 0);
    g.press(VK_UP);
    g.press(VK_DOWN, ed->LineCount() + 2);
    EXPECT_EQ(ed->CaretLine(), ed->LineCount() - 1);
    EXPECT_EQ(g.recNo(), 1);
    EXPECT_TRUE(ed->Visible());
}

// Where the editor stays one line: a column that does not wrap, and a
// wrapping column in rows one line high.
TEST(GridEditorWordWrap, oneLineWhereTheCellDoesNotWrap) {
    for (const auto& [rowLines, col] : {std::pair{3, 1}, std::pair{1, 0}}) {
        NotesGrid g(true, rowLines);
        TDBGridInplaceEdit* ed = g.edit(col);
        EXPECT_FALSE(ed->WordWrap()) << rowLines << " " << col;
        EXPECT_EQ(ed->LineCount(), 1);
        g.press(VK_DOWN);
        EXPECT_EQ(g.recNo(), 2) << rowLines << " " << col;
    }
}

// The first note, one of three to pick from; a double click steps on.
TColumnEh* notesToPick(NotesGrid& g) {
    TColumnEh* c = g.grid->Columns()->Items(0);
    c->SetDblClickNextVal(true);
    g.ds->First();
    for (const std::string& s : {g.ds->FieldByName("Note")->AsString(), std::string("已归还"), std::string("丢失")})
        c->PickList()->Add(s);
    return c;
}

// A press on the text of a wrapped cell reaches the editor before its text
// box takes it: an open list closes without taking anything.
TEST(GridEditorWordWrap, aPressOnTheTextClosesTheListFirst) {
    NotesGrid g;
    notesToPick(g);
    const std::string note = g.ds->FieldByName("Note")->AsString();
    TDBGridInplaceEdit* ed = g.edit(0);
    ASSERT_TRUE(ed->WordWrap());
    SendKeyToFocus(&g.form, VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(ed->DroppedDown());
    g.press(VK_DOWN);
    SendClick(ed, 10, 8);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(g.ds->FieldByName("Note")->AsString(), note);
}

// ... and a double click on it steps the value as on any other cell.
TEST(GridEditorWordWrap, aDoubleClickOnTheTextStepsTheValue) {
    NotesGrid g;
    notesToPick(g);
    TDBGridInplaceEdit* ed = g.edit(0);
    ASSERT_TRUE(ed->WordWrap());
    SendDoubleClick(ed, 10, 8);
    EXPECT_EQ(g.ds->FieldByName("Note")->AsString(), "已归还");
    SendDoubleClick(ed, 10, 8);
    EXPECT_EQ(g.ds->FieldByName("Note")->AsString(), "丢失");
}

// ---- a press on the default button, held and dragged into the list

TPoint middleOf(const TRect& r) { return {r.Left + r.Width() / 2, r.Top + r.Height() / 2}; }

// Presses the editor's drop-down button and keeps the button down.
TPopupListboxEh* pressListButton(TDBGridInplaceEdit* ed) {
    const TPoint b = middleOf(ed->ButtonRect());
    SendMouseDown(ed, b.X, b.Y);
    EXPECT_TRUE(ed->DroppedDown());
    EXPECT_TRUE(ed->OpenedByThisPress());
    return ed->PopupList();
}

TEST(GridEditorDropDownPress, theListFollowsThePointerAndTheReleaseOnAnItemTakesIt) {
    LoanGrid g;
    g.stateList();
    TDBGridInplaceEdit* ed = g.edit(3);
    TPopupListboxEh* l = pressListButton(ed);
    ASSERT_TRUE(l && l->Visible());
    EXPECT_TRUE(ed->ButtonDown()); // held down while the list is open
    for (int i : {1, 2, 1}) {
        const TPoint at = middleOf(l->ItemRect(i));
        SendMouseMove(l, at.X, at.Y);
        EXPECT_EQ(l->ItemIndex(), i);
        EXPECT_TRUE(ed->DroppedDown());
    }
    const TPoint at = middleOf(l->ItemRect(2));
    SendMouseMove(l, at.X, at.Y);
    SendMouseUp(l, at.X, at.Y);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_FALSE(ed->ButtonDown());
    EXPECT_EQ(ed->GetText(), "丢失");
    EXPECT_EQ(g.field("State")->AsString(), "丢失");
}

TEST(GridEditorDropDownPress, draggedInAndOutAgainTheReleaseClosesWithoutChoosing) {
    LoanGrid g;
    g.stateList();
    TDBGridInplaceEdit* ed = g.edit(3);
    TPopupListboxEh* l = pressListButton(ed);
    ASSERT_TRUE(l);
    const TPoint item = middleOf(l->ItemRect(1));
    SendMouseMove(l, item.X, item.Y);
    const TPoint off{l->ClientWidth() + 40, item.Y};
    SendMouseMove(l, off.X, off.Y);
    SendMouseUp(l, off.X, off.Y);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_EQ(ed->GetText(), "在借");
    EXPECT_EQ(g.field("State")->AsString(), "在借");
}

TEST(GridEditorDropDownPress, releasedOffTheButtonTheListStaysAndTheNextClickClosesIt) {
    LoanGrid g;
    g.stateList();
    TDBGridInplaceEdit* ed = g.edit(3);
    pressListButton(ed);
    // Off the button to the left, over the text: never into the list.
    SendMouseMove(ed, 4, ed->Height() / 2);
    SendMouseUp(ed, 4, ed->Height() / 2);
    EXPECT_TRUE(ed->DroppedDown());
    EXPECT_FALSE(ed->OpenedByThisPress());
    const TPoint b = middleOf(ed->ButtonRect());
    SendClick(ed, b.X, b.Y);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_EQ(g.field("State")->AsString(), "在借");
}

TEST(GridEditorDropDownPress, aPressOnACellsButtonDraggedIntoTheListChoosesToo) {
    LoanGrid g;
    TColumnEh* c = g.stateList();
    c->SetAlwaysShowEditButton(true);
    ShowAndActivate(&g.form);
    g.grid->SetFocus();
    ProcessEvents();
    // The current record's state cell: the editor is not shown yet.
    const TRect cell = g.grid->CellRect(g.grid->IndicatorOffset() + 3, g.grid->TitleOffset());
    SendMouseDown(g.grid, cell.Right - 4, cell.Top + cell.Height() / 2);
    TDBGridInplaceEdit* ed = g.grid->InplaceEditorEh();
    ASSERT_TRUE(ed && ed->DroppedDown());
    TPopupListboxEh* l = ed->PopupList();
    const TPoint at = middleOf(l->ItemRect(1));
    SendMouseMove(l, at.X, at.Y);
    EXPECT_EQ(l->ItemIndex(), 1);
    SendMouseUp(l, at.X, at.Y);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_EQ(g.field("State")->AsString(), "归还");
    EXPECT_EQ(g.ds->RecNo(), 1);
}

TEST(GridEditorDropDownPress, aPressOnTheCalendarsButtonDraggedOntoADayTakesIt) {
    LoanGrid g;
    TDBGridInplaceEdit* ed = g.edit(1);
    const TPoint b = middleOf(ed->ButtonRect());
    SendMouseDown(ed, b.X, b.Y);
    TPopupMonthCalendarEh* cal = ed->Calendar();
    ASSERT_TRUE(cal && cal->Visible());
    // The days fill the lower part of the calendar.
    SendMouseMove(cal, cal->Width() / 2, cal->Height() * 2 / 3);
    SendMouseMove(cal, cal->Width() / 2 + 4, cal->Height() * 2 / 3);
    SendMouseUp(cal, cal->Width() / 2 + 4, cal->Height() * 2 / 3);
    EXPECT_FALSE(ed->DroppedDown());
    EXPECT_NE(double(cal->Date()), double(D(2026, 12, 1)));
    EXPECT_EQ(double(g.field("LendDate")->AsDateTime()), double(cal->Date()));
}

TEST(GridEditorEditButtons, thePressThatClosesAButtonsMenuDoesNotPopItUpAgain) {
    ButtonsGrid g;
    auto* menu = new TPopupMenu(&g.form);
    auto* item = new TMenuItem(menu);
    item->SetCaption("清除");
    menu->Items()->Add(item);
    g.column(0)->EditButtons()->Items(1)->DropdownMenu = menu;
    TDBGridInplaceEdit* ed = g.edit(0);
    TEditButtonControlEh* b = ed->EditButtonControl(1);
    SendClick(b);
    EXPECT_EQ(OpenMenuCaptions(), (std::vector<std::string>{"清除"}));
    EXPECT_EQ(menu->PopupComponent(), b);
    SendKeyToMenu(VK_ESCAPE);
    ProcessEvents();
    EXPECT_FALSE(MenuOpen());
    EXPECT_EQ(b->PressedPart(), 0); // let up once the menu went
    SendClick(b);
    ASSERT_TRUE(MenuOpen() || !OpenMenuCaptions().empty());
    SendClick(b); // closes the menu
    ProcessEvents();
    EXPECT_FALSE(MenuOpen());
    // The rule holds for that one press only.
    SendClick(b);
    EXPECT_EQ(OpenMenuCaptions(), (std::vector<std::string>{"清除"}));
    SendKeyToMenu(VK_ESCAPE);
    ProcessEvents();
    EXPECT_FALSE(MenuOpen());
}

TEST(GridEditorEditButtons, aFlatGridSeparatesTheButtonsByALine) {
    ButtonsGrid g;
    // The grid alone (no edit made in this process) knows the flat width.
    EXPECT_GT(FlatEditButtonWidth, 1);
    g.grid->SetFlat(true);
    TColumnEh* c = g.column(0);
    for (const char* s : {"L001", "L002"}) c->PickList()->Add(s);
    TDBGridInplaceEdit* ed = g.edit(0);
    ASSERT_EQ(ed->EditStyleEh(), iesPickListEh);
    // Right to left: the "+" button, its line, "...", its line, the
    // default button, its line.
    std::vector<TRect> buttons{ed->ButtonRect()};
    for (int i = 0; i < ed->EditButtonControlCount(); ++i) {
        TEditButtonControlEh* b = ed->EditButtonControl(i);
        buttons.push_back(Rect(b->Left(), b->Top(), b->Left() + b->Width(), b->Top() + b->Height()));
    }
    std::vector<TRect> lines;
    for (int i = 0; i < ed->SeparatorCount(); ++i)
        if (ed->Separator(i)->Visible()) {
            TShape* s = ed->Separator(i);
            lines.push_back(Rect(s->Left(), s->Top(), s->Left() + s->Width(), s->Top() + s->Height()));
        }
    ASSERT_EQ(lines.size(), buttons.size());
    std::sort(lines.begin(), lines.end(), [](const TRect& a, const TRect& b) { return a.Left < b.Left; });
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(lines[i].Width(), 1);
        EXPECT_EQ(lines[i].Right, buttons[i].Left) << "button " << i;
    }
    EXPECT_EQ(buttons[0].Width(), FlatEditButtonWidth);
    EXPECT_EQ(ed->ButtonAreaWidth(), c->EditButtonsWidth());
    ProcessEvents();
    ForceDirectories(kScreens);
    EXPECT_TRUE(SaveFormPng(&g.form, kScreens + "gridlib-grid-flat-editor-buttons.png"));
    // Raised again: no lines, the default button as wide as a scroll arrow.
    g.grid->SetFlat(false);
    ed = g.edit(0);
    for (int i = 0; i < ed->SeparatorCount(); ++i) EXPECT_FALSE(ed->Separator(i)->Visible());
    EXPECT_EQ(ed->ButtonRect().Width(), kScrollArrowWidth);
    EXPECT_EQ(ed->ButtonAreaWidth(), c->EditButtonsWidth());
}

TEST(GridEditorScreens, wordWrapEditorInATallCell) {
    NotesGrid g;
    TDBGridInplaceEdit* ed = g.edit(0);
    ed->SetSel(3, 0);
    ProcessEvents();
    ForceDirectories(kScreens);
    EXPECT_TRUE(SaveFormPng(&g.form, kScreens + "gridlib-grid-wordwrap-editor.png"));
}

TEST(GridEditorScreens, openCalendarInADateCellBesideACellWithButtons) {
    ButtonsGrid g;
    g.column(2)->SetButtonStyle(cbsUpDownEh);
    g.column(2)->SetAlwaysShowEditButton(true);
    TDBGridInplaceEdit* ed = g.edit(1);
    SendKeyToFocus(&g.form, VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(ed->DroppedDown());
    ProcessEvents();
    ForceDirectories(kScreens);
    EXPECT_TRUE(SaveFormPng(&g.form, kScreens + "gridlib-grid-calendar-and-edit-buttons.png"));
    SendKeyToFocus(&g.form, VK_ESCAPE);
}

} // namespace
