// The lookup grid and the data grid's drop-down of a lookup column: whole
// rows, type-ahead with its pause and length limit, the special row for a
// key outside the list, lookup mode taken from a lookup field, the pop-up's
// close-up rules, and a lookup cell chosen from the keyboard.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "Clipbrd.h"
#include "Forms.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "db/ListDataSet.h"
#include "gridlib/grid/DBLookupGridsEh.h"

namespace {

TListDataSet* makePublishers(TComponent* owner) {
    auto* ds = new TListDataSet(owner);
    ds->FieldDefs().Add("PubId", ftInteger);
    ds->FieldDefs().Add("PubName", ftString, 30);
    ds->FieldDefs().Add("City", ftString, 20);
    const char* names[] = {"Apple Press", "abacus books", "Abc House", "Banana", "Cherry", "人民出版社", "Delta"};
    const char* cities[] = {"北京", "上海", "天津", "广州", "深圳", "北京", "成都"};
    for (int i = 0; i < 7; ++i) ds->AddRow({Variant(10 + i), Variant(names[i]), Variant(cities[i])});
    ds->Open();
    return ds;
}

class LookupGridTest : public ::testing::Test {
protected:
    TForm form{nullptr};
    TListDataSet* pubs = nullptr;
    TDataSource* pubSrc = nullptr;
    TDBLookupGridEh* grid = nullptr;
    uint64_t clock = 100000;
    void SetUp() override {
        form.SetBounds(50, 50, 420, 400);
        pubs = makePublishers(&form);
        pubSrc = new TDataSource(&form);
        pubSrc->SetDataSet(pubs);
        grid = new TDBLookupGridEh(&form);
        grid->SetName("PubGrid");
        grid->SetParent(&form);
        grid->SetBounds(10, 10, 300, 200);
        TDBLookupGridEh::TypeAheadClock = [this] { return clock; };
        ShowAndActivate(&form);
    }
    void TearDown() override {
        TDBLookupGridEh::TypeAheadClock = [] { return uint64_t(0); };
    }
    void bindList(const char* listField = "PubName") {
        grid->SetListSource(pubSrc);
        grid->SetKeyField("PubId");
        grid->SetListField(listField);
        grid->SetFocus();
        ProcessEvents();
    }
    int key() const { return grid->KeyValue().IsNull() ? -1 : grid->KeyValue().AsInteger(); }
};

TEST_F(LookupGridTest, displayRowsStayWithinOneToAHundredAndTheHeightHoldsWholeRows) {
    bindList();
    struct Case {
        int asked, rows;
    } cases[] = {{0, 1}, {250, 100}, {5, 5}};
    for (const Case& c : cases) {
        grid->SetDisplayRows(c.asked);
        EXPECT_EQ(grid->DisplayRows(), c.rows) << c.asked;
        EXPECT_EQ(grid->Height(), grid->BorderSize() + c.rows * grid->RecordRowHeight()) << c.asked;
    }
    // A height between rows keeps the whole rows that fit.
    grid->SetBounds(10, 10, 300, 4 * grid->RecordRowHeight() + grid->BorderSize() + grid->RecordRowHeight() / 2);
    EXPECT_EQ(grid->DisplayRows(), 4);
    EXPECT_EQ(grid->Height(), grid->BorderSize() + 4 * grid->RecordRowHeight());
    // Titles and the special row add their bands.
    grid->SetShowTitles(true);
    grid->SpecRow()->SetVisible(true);
    grid->SetDisplayRows(3);
    EXPECT_EQ(grid->Height(), grid->BorderSize() + grid->RowHeights(0) + 4 * grid->RecordRowHeight());
}

TEST_F(LookupGridTest, typeAheadSeeksAPrefixInAnyCaseAndAPauseStartsAgain) {
    bindList();
    SendText(grid, "a");
    EXPECT_EQ(key(), 10); // Apple Press
    clock += 500;
    SendText(grid, "b");
    EXPECT_EQ(key(), 11); // abacus books: "ab" in any case
    EXPECT_EQ(grid->SearchText(), "ab");
    EXPECT_EQ(grid->SelectedText(), "abacus books");
    clock += 500;
    SendText(grid, "x"); // continues nothing: nothing changes
    EXPECT_EQ(key(), 11);
    EXPECT_EQ(grid->SearchText(), "ab");
    clock += 3000;
    SendText(grid, "c");
    EXPECT_EQ(key(), 14); // Cherry: a new search with "c" alone
    EXPECT_EQ(grid->SearchText(), "c");
    clock += 3000;
    SendText(grid, "人");
    EXPECT_EQ(key(), 15);
    SendKey(grid, VK_ESCAPE);
    EXPECT_EQ(grid->SearchText(), "");
}

TEST_F(LookupGridTest, aThirtyThirdTypedCharacterIsIgnoredUntilTheTextIsReset) {
    pubs->Append();
    pubs->FieldByName("PubId")->SetAsInteger(99);
    pubs->FieldByName("PubName")->SetAsString(std::string(40, 'z').substr(0, 30));
    pubs->Post();
    bindList();
    for (int i = 0; i < 30; ++i) SendText(grid, "z");
    EXPECT_EQ(key(), 99);
    // Texts that match nothing are kept when the search itself fails only;
    // here the search finds nothing, so the text stays at 30 characters.
    EXPECT_EQ(grid->SearchText().size(), 30u);
    SendKey(grid, VK_BACK);
    EXPECT_EQ(grid->SearchText(), "");
    SendText(grid, "d");
    EXPECT_EQ(key(), 16);
}

TEST_F(LookupGridTest, aKeyOutsideTheListShowsAsTheSpecialRowAndUpAndDownStepThroughIt) {
    bindList();
    grid->SpecRow()->SetCellsText("（无）");
    grid->SpecRow()->SetValue(Variant(0));
    grid->SpecRow()->SetVisible(true);
    grid->SetKeyValue(Variant(12345));
    EXPECT_TRUE(grid->SpecRow()->RowSelected);
    EXPECT_EQ(grid->SelectedText(), "（无）");
    // Down from the special row chooses the first record.
    SendKey(grid, VK_DOWN);
    EXPECT_EQ(key(), 10);
    EXPECT_FALSE(grid->SpecRow()->RowSelected);
    SendKey(grid, VK_DOWN);
    EXPECT_EQ(key(), 11);
    SendKey(grid, VK_UP);
    EXPECT_EQ(key(), 10);
    // Up on the first record chooses the special row and its value.
    SendKey(grid, VK_UP);
    EXPECT_TRUE(grid->SpecRow()->RowSelected);
    EXPECT_EQ(key(), 0);
    SendKey(grid, VK_END);
    EXPECT_EQ(key(), 16);
    SendKey(grid, VK_HOME);
    EXPECT_EQ(key(), 10);
}

TEST_F(LookupGridTest, withTheSpecialRowHiddenAnUnknownKeyHighlightsNothing) {
    bindList();
    pubs->Last();
    grid->SetKeyValue(Variant(12345));
    EXPECT_FALSE(grid->SpecRow()->RowSelected);
    EXPECT_EQ(pubs->RecNo(), 1); // the list went to its first record
    EXPECT_EQ(grid->SelectedText(), "");
    grid->SetKeyValue(Variant(13));
    EXPECT_EQ(pubs->FieldByName("PubName")->AsString(), "Banana");
    EXPECT_EQ(grid->SelectedText(), "Banana");
}

TEST_F(LookupGridTest, clickingARowChoosesItsKeyAndAClickOnTheSpecialRowItsValue) {
    bindList();
    grid->SpecRow()->SetCellsText("全部");
    grid->SpecRow()->SetValue(Variant(-1));
    grid->SpecRow()->SetVisible(true);
    const TRect third = grid->CellRect(0, grid->TitleOffset() + 2);
    SendClick(grid, third.Left + 5, third.Top + 3);
    EXPECT_EQ(key(), 12);
    const TRect specialRow = grid->CellRect(0, grid->TitleOffset() - 1);
    SendClick(grid, specialRow.Left + 5, specialRow.Top + 3);
    EXPECT_EQ(key(), -1);
    EXPECT_EQ(grid->SelectedText(), "全部");
}

struct BooksWithPublisher {
    TListDataSet* books;
    TDataSource* src;
    explicit BooksWithPublisher(TComponent* owner, TListDataSet* pubs) {
        books = new TListDataSet(owner);
        auto* code = new TStringField(books);
        code->SetFieldName("Code");
        code->SetSize(10);
        code->SetDataSet(books);
        auto* pubId = new TIntegerField(books);
        pubId->SetFieldName("PubId");
        pubId->SetDataSet(books);
        auto* pubName = new TStringField(books);
        pubName->SetFieldName("PubName");
        pubName->SetSize(30);
        pubName->SetFieldKind(fkLookup);
        pubName->SetKeyFields("PubId");
        pubName->SetLookupDataSet(pubs);
        pubName->SetLookupKeyFields("PubId");
        pubName->SetLookupResultField("PubName");
        pubName->SetDataSet(books);
        books->AddRow({Variant("B001"), Variant(13)});
        books->AddRow({Variant("B002"), Variant(10)});
        books->Open();
        src = new TDataSource(owner);
        src->SetDataSet(books);
    }
};

TEST_F(LookupGridTest, aLookupFieldAsDataFieldGivesListKeyAndShownFieldAndForbidsSettingThem) {
    BooksWithPublisher b(&form, pubs);
    grid->SetDataSource(b.src);
    grid->SetDataField("PubName");
    ASSERT_TRUE(grid->LookupMode());
    EXPECT_EQ(grid->KeyField(), "PubId");
    EXPECT_EQ(grid->ListSource()->DataSet(), pubs);
    EXPECT_EQ(grid->ListFieldOfChoice()->FieldName(), "PubName");
    EXPECT_EQ(key(), 13);
    EXPECT_EQ(grid->SelectedText(), "Banana");
    for (auto set : {std::function<void()>([&] { grid->SetKeyField("City"); }),
                     std::function<void()>([&] { grid->SetListSource(pubSrc); })}) {
        try {
            set();
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, "Property already defined by lookup field");
        }
    }
    // Choosing writes the key into the book's PubId; the book's record follows.
    grid->SetFocus();
    SendKey(grid, VK_DOWN);
    EXPECT_EQ(b.books->FieldByName("PubId")->AsInteger(), 14);
    EXPECT_EQ(key(), 14);
    b.books->Post();
    b.books->Next();
    EXPECT_EQ(key(), 10);
}

TEST_F(LookupGridTest, namesThatAreNotThereRaiseTheirErrors) {
    grid->SetListSource(pubSrc);
    grid->SetKeyField("PubId");
    try {
        grid->SetListField("PubName;Nope");
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Field 'PubName;Nope' not found");
    }
    EXPECT_FALSE(grid->ListActive());
}

TEST_F(LookupGridTest, movingAColumnReordersTheListFieldsAndTheSpecialRowTexts) {
    bindList("PubName;City");
    grid->SetListFieldIndex(0);
    grid->SpecRow()->SetCellsText("无;任意");
    grid->SpecRow()->SetVisible(true);
    grid->SetShowTitles(true);
    grid->SetOptions(TDBLookupGridEhOptions{dlgColumnResizeEh, dlgColLinesEh});
    ProcessEvents();
    // Dragging the first title past the second.
    const TRect first = grid->CellRect(0, 0), second = grid->CellRect(1, 0);
    SendMouseDown(grid, first.Left + 10, first.Top + 3);
    SendMouseMove(grid, first.Left + 30, first.Top + 3, TShiftState{ssLeft});
    SendMouseMove(grid, second.Right - 5, second.Top + 3, TShiftState{ssLeft});
    SendMouseUp(grid, second.Right - 5, second.Top + 3);
    EXPECT_EQ(grid->ListField(), "City;PubName");
    EXPECT_EQ(grid->ListFieldIndex(), 1);
    EXPECT_EQ(grid->SpecRow()->CellTextAt(0), "任意");
    EXPECT_EQ(grid->SpecRow()->CellTextAt(1), "无");
}

TEST_F(LookupGridTest, aColumnsSpecialCellFollowsTheSpecialRowUntilItHasItsOwnValues) {
    bindList("PubName;City");
    // Cells belong to the grid's own columns (default ones are remade with
    // every layout).
    grid->Columns()->Add()->SetFieldName("PubName");
    grid->Columns()->Add()->SetFieldName("City");
    TSpecRowEh* row = grid->SpecRow();
    row->SetCellsText("无;\"任意;城市\"");
    row->SetColor(clYellow);
    row->Font()->SetSize(12);
    row->SetVisible(true);
    auto* name = dynamic_cast<TDBLookupGridColumnEh*>(grid->Columns()->Items(0));
    auto* city = dynamic_cast<TDBLookupGridColumnEh*>(grid->Columns()->Items(1));
    ASSERT_TRUE(name && city);
    TGridColumnSpecCellEh* a = name->SpecCell();
    TGridColumnSpecCellEh* b = city->SpecCell();
    // Each column reads its own cell of the row, the row's colour and font.
    EXPECT_EQ(a->Text(), "无");
    EXPECT_EQ(b->Text(), "任意;城市");
    EXPECT_EQ(a->Color(), clYellow);
    EXPECT_EQ(a->Font()->Size(), 12);
    EXPECT_FALSE(a->FontAssigned());
    // The same value keeps following the row; a different one is the cell's own.
    a->SetText("无");
    a->SetColor(clYellow);
    EXPECT_FALSE(a->TextAssigned());
    EXPECT_FALSE(a->ColorAssigned());
    a->SetText("（空）");
    a->SetColor(clAqua);
    row->SetCellsText("甲;乙");
    row->SetColor(clLime);
    EXPECT_EQ(a->Text(), "（空）");
    EXPECT_EQ(a->Color(), clAqua);
    EXPECT_EQ(b->Text(), "乙");
    EXPECT_EQ(b->Color(), clLime);
    // Copying takes text and colour, the font only when the source has its own.
    b->Assign(a);
    EXPECT_EQ(b->Text(), "（空）");
    EXPECT_EQ(b->Color(), clAqua);
    EXPECT_FALSE(b->FontAssigned());
    a->Font()->SetStyle(TFontStyles{fsBold});
    EXPECT_TRUE(a->FontAssigned());
    b->Assign(a);
    EXPECT_TRUE(b->FontAssigned());
    EXPECT_TRUE(b->Font()->Style().Contains(fsBold));
    row->Font()->SetSize(20);
    EXPECT_NE(b->Font()->Size(), 20);
    row->Font()->SetSize(9);
    // What the grid paints in the special row is the cells' text and colour.
    ProcessEvents();
    TBitmap shot;
    shot.SetSize(grid->ClientWidth(), grid->ClientHeight());
    grid->PaintTo(shot.Canvas());
    const TRect cell = grid->CellRect(grid->IndicatorOffset() + 1, grid->TitleOffset() - 1);
    EXPECT_EQ(shot.Canvas()->Pixels(cell.Right - 3, cell.Top + 2), clAqua);
    b->SetColor(clFuchsia);
    grid->PaintTo(shot.Canvas());
    EXPECT_EQ(shot.Canvas()->Pixels(cell.Right - 3, cell.Top + 2), clFuchsia);
    EXPECT_TRUE(SaveFormPng(&form, std::string(BUILD_DIR) + "/test-output/screens/gridlib-lookup-special-cells.png"));
}

// With the columns fitted to the lookup grid's width, a column's new width
// is what its share is reckoned from; a user's sizing of a column widens
// the grid by as much and leaves the other column as it was.
TEST_F(LookupGridTest, aColumnsWidthCountsWhenColumnsFitAndSizingOneWidensTheGrid) {
    bindList("PubName;City");
    grid->Columns()->Add()->SetFieldName("PubName");
    grid->Columns()->Add()->SetFieldName("City");
    grid->SetShowTitles(true);
    TDBLookupGridEhOptions o = grid->Options();
    grid->SetOptions(o << dlgColumnResizeEh);
    grid->SetAutoFitColWidths(true);
    ProcessEvents();
    TColumnEh* name = grid->Columns()->Items(0);
    TColumnEh* city = grid->Columns()->Items(1);
    const int rawName = grid->DataToRawColumn(0), rawCity = grid->DataToRawColumn(1);
    name->SetWidth(100);
    city->SetWidth(100);
    ProcessEvents();
    EXPECT_NEAR(grid->ColWidths(rawName), grid->ColWidths(rawCity), 1);
    city->SetWidth(300); // three times the other's share
    ProcessEvents();
    EXPECT_NEAR(grid->ColWidths(rawCity), 3 * grid->ColWidths(rawName), 3);
    // The user drags the first title line 30 pixels right.
    const int width = grid->Width(), nameW = grid->ColWidths(rawName), cityW = grid->ColWidths(rawCity);
    const TRect title = grid->CellRect(rawName, 0);
    SendMouseDown(grid, title.Right, title.Top + 3);
    SendMouseMove(grid, title.Right + 30, title.Top + 3, TShiftState{ssLeft});
    SendMouseUp(grid, title.Right + 30, title.Top + 3);
    ProcessEvents();
    EXPECT_EQ(grid->ColWidths(rawName), nameW + 30);
    EXPECT_EQ(grid->ColWidths(rawCity), cityW);
    EXPECT_EQ(grid->Width(), width + 30);
    EXPECT_EQ(name->Width(), nameW + 30);
}

// ---- the pop-up

class PopupDataGridTest : public LookupGridTest {
protected:
    // A grid of books under the lookup grid, over b.
    TDBGridEh* booksGrid(const BooksWithPublisher& b) {
        auto* books = new TDBGridEh(&form);
        books->SetParent(&form);
        books->SetBounds(10, 220, 380, 150);
        books->SetDataSource(b.src);
        return books;
    }
    // The books grid alone takes the keys.
    void focusBooks(TDBGridEh* books) {
        grid->SetVisible(false);
        books->SetFocus();
        ProcessEvents();
    }
};

TEST_F(PopupDataGridTest, aReleaseOnARowAcceptsOnTheTitlesDoesNothingAndOutsideCancels) {
    auto* popup = new TPopupDataGridEh(&form);
    popup->SetParent(&form);
    popup->SetListSource(pubSrc);
    popup->SetKeyField("PubId");
    popup->SetListField("PubName");
    popup->SetShowTitles(true);
    popup->SetDisplayRows(5);
    popup->SetBounds(60, 60, 200, popup->Height());
    popup->SetVisible(true);
    ProcessEvents();
    std::vector<int> closes; // 1 accept, 0 cancel
    popup->OnMouseCloseUp = [&](TObject*, bool accept) { closes.push_back(accept ? 1 : 0); };
    int userChanges = 0;
    popup->OnUserKeyValueChange = [&](TObject*) { ++userChanges; };
    const TRect title = popup->CellRect(0, 0);
    SendClick(popup, title.Left + 5, title.Top + 3);
    EXPECT_TRUE(closes.empty());
    const TRect second = popup->CellRect(0, popup->TitleOffset() + 1);
    SendMouseMove(popup, second.Left + 5, second.Top + 3);
    EXPECT_EQ(popup->KeyValue().AsInteger(), 11); // the row under the pointer
    SendClick(popup, second.Left + 5, second.Top + 3);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0], 1);
    EXPECT_GE(userChanges, 1);
    SendMouseDown(popup, second.Left + 5, second.Top + 3);
    SendMouseUp(popup, popup->Width() + 40, second.Top + 3);
    ASSERT_EQ(closes.size(), 2u);
    EXPECT_EQ(closes[1], 0);
}

TEST_F(PopupDataGridTest, aLookupCellDropsItsListFromTheKeyboardAndEnterWritesTheKey) {
    BooksWithPublisher b(&form, pubs);
    TDBGridEh* books = booksGrid(b);
    focusBooks(books);
    books->SetSelectedIndex(2); // PubName
    SendKeyToFocus(&form, VK_F2);
    ASSERT_TRUE(books->EditorMode());
    SendKeyToFocus(&form, VK_DOWN, TShiftState{ssAlt});
    TPopupDataGridEh* popup = books->DroppedDataGrid();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->Visible());
    EXPECT_EQ(popup->KeyValue().AsInteger(), 13);
    EXPECT_GE(popup->Width(), books->InplaceEditor()->Width());
    SendKeyToFocus(&form, VK_DOWN);
    EXPECT_EQ(popup->KeyValue().AsInteger(), 14);
    EXPECT_EQ(b.books->FieldByName("PubId")->AsInteger(), 13); // nothing written yet
    EXPECT_TRUE(SaveFormPng(&form, std::string(BUILD_DIR) + "/test-output/screens/gridlib-lookup-dropdown.png"));
    SendKeyToFocus(&form, VK_RETURN);
    EXPECT_EQ(books->DroppedDataGrid(), nullptr);
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(b.books->FieldByName("PubId")->AsInteger(), 14);
    EXPECT_EQ(b.books->FieldByName("PubName")->AsString(), "Cherry");
    EXPECT_EQ(books->InplaceEditor()->GetText(), "Cherry");
    // Esc closes without writing.
    SendKeyToFocus(&form, VK_DOWN, TShiftState{ssAlt});
    ASSERT_NE(books->DroppedDataGrid(), nullptr);
    SendKeyToFocus(&form, VK_DOWN);
    SendKeyToFocus(&form, VK_ESCAPE);
    EXPECT_EQ(books->DroppedDataGrid(), nullptr);
    EXPECT_EQ(b.books->FieldByName("PubId")->AsInteger(), 14);
}

TEST_F(PopupDataGridTest, theColumnsDropDownBoxEventsComeFromItsDroppedGrid) {
    BooksWithPublisher b(&form, pubs);
    TDBGridEh* books = booksGrid(b);
    grid->SetVisible(false);
    books->Columns()->Add()->SetFieldName("Code");
    TColumnEh* pubName = books->Columns()->Add();
    pubName->SetFieldName("PubName");
    EXPECT_FALSE(pubName->HasDropDownGrid());
    int params = 0, draws = 0, checks = 0, sortChanges = 0;
    std::vector<std::string> clicked;
    pubName->OnDropDownBoxGetCellParams() = [&](TObject*, TColumnEh*, TFont*, TColor& bg, TGridDrawState) {
        ++params;
        bg = clYellow;
    };
    EXPECT_TRUE(pubName->HasDropDownGrid()); // setting an event made the grid
    pubName->OnDropDownBoxDrawColumnCell() = [&](TObject*, const TRect&, int, TColumnEh*, TGridDrawState) { ++draws; };
    // The first title press is refused, the second goes through.
    pubName->OnDropDownBoxCheckButton() = [&](TObject*, int, TColumnEh*, bool& enabled) { enabled = ++checks > 1; };
    pubName->OnDropDownBoxTitleBtnClick() = [&](TObject*, int, TColumnEh* c) { clicked.push_back(c->FieldName()); };
    pubName->OnDropDownBoxSortMarkingChanged() = [&](TObject*) { ++sortChanges; };
    pubName->DropDownBox()->ColumnDefValues().Title.TitleButton = true;
    pubName->DropDownBox()->SetOptions((1u << dlgColLinesEh) | (1u << dlgAutoSortMarkingEh));
    pubName->SetDropDownShowTitles(true);
    books->SetFocus();
    ProcessEvents();
    books->SetSelectedIndex(1);
    SendKeyToFocus(&form, VK_F2);
    SendKeyToFocus(&form, VK_DOWN, TShiftState{ssAlt});
    TPopupDataGridEh* popup = books->DroppedDataGrid();
    ASSERT_EQ(popup, pubName->DropDownGrid());
    ProcessEvents();
    popup->Repaint();
    EXPECT_GT(params, 0);
    EXPECT_GT(draws, 0);
    const TRect title = popup->CellRect(popup->IndicatorOffset(), 0);
    SendClick(popup, title.Left + 5, title.Top + 3);
    EXPECT_EQ(checks, 1);
    EXPECT_TRUE(clicked.empty());
    EXPECT_EQ(sortChanges, 0);
    SendClick(popup, title.Left + 5, title.Top + 3);
    EXPECT_EQ(checks, 2);
    EXPECT_EQ(clicked, std::vector<std::string>{"PubName"});
    EXPECT_EQ(sortChanges, 1);
    EXPECT_EQ(popup->Columns()->Items(0)->Title()->SortMarker(), smDownEh);
    // Title presses neither accept nor cancel: the list is still down.
    EXPECT_EQ(books->DroppedDataGrid(), popup);
    SendKeyToFocus(&form, VK_ESCAPE);
    EXPECT_EQ(books->DroppedDataGrid(), nullptr);
}

TEST_F(PopupDataGridTest, altDeleteInALookupCellTakesTheSpecialRowsValueAndText) {
    BooksWithPublisher b(&form, pubs);
    TDBGridEh* books = booksGrid(b);
    for (const char* name : {"Code", "PubName"}) books->Columns()->Add()->SetFieldName(name);
    TSpecRowEh* specialRow = books->Columns()->Items(1)->DropDownSpecRow();
    specialRow->SetCellsText("(无)");
    specialRow->SetValue(Null());
    focusBooks(books);
    books->SetSelectedIndex(1);
    SendKeyToFocus(&form, VK_F2);
    TInplaceEdit* ed = books->InplaceEditor();
    ASSERT_EQ(ed->GetText(), "Banana");
    // Only a visible special row answers its shortcut.
    SendKeyToFocus(&form, VK_DELETE, TShiftState{ssAlt});
    EXPECT_EQ(b.books->FieldByName("PubId")->AsInteger(), 13);
    specialRow->SetVisible(true);
    SendKeyToFocus(&form, VK_DELETE, TShiftState{ssAlt});
    EXPECT_TRUE(b.books->FieldByName("PubId")->IsNull());
    EXPECT_EQ(ed->GetText(), "(无)");
    EXPECT_EQ(ed->SelLength(), 3);
}

TEST_F(PopupDataGridTest, typingInALookupCellCompletesFromTheListAndWritesTheKey) {
    BooksWithPublisher b(&form, pubs);
    TDBGridEh* books = booksGrid(b);
    focusBooks(books);
    books->SetSelectedIndex(2); // PubName
    SendKeyToFocus(&form, VK_F2);
    ASSERT_TRUE(books->EditorMode());
    TInplaceEdit* ed = books->InplaceEditor();
    EXPECT_EQ(ed->GetText(), "Banana");
    // After the text nothing continues: a typed letter is refused.
    SendTextToFocus(&form, "a");
    EXPECT_EQ(ed->GetText(), "Banana");
    SendKeyToFocus(&form, VK_HOME);
    auto pubId = [&] { return b.books->FieldByName("PubId")->AsInteger(); };
    struct Step {
        const char* typed;
        const char* text;
        int caret, selected, key;
    } steps[] = {
        {"a", "Apple Press", 1, 10, 10},
        {"B", "abacus books", 2, 10, 11}, // "aB" in any case
        {"x", "abacus books", 2, 10, 11}, // continues no entry: refused
        {"\b", "abacus books", 1, 11, 11}, // Backspace shortens what was typed
        {"b", "abacus books", 2, 10, 11},
        {"\b", "abacus books", 1, 11, 11},
        {"\b", "abacus books", 0, 12, 11},
        {"人", "人民出版社", 1, 4, 15},
    };
    for (const Step& st : steps) {
        if (std::string(st.typed) == "\b")
            SendKeyToFocus(&form, VK_BACK);
        else
            SendTextToFocus(&form, st.typed);
        EXPECT_EQ(ed->GetText(), st.text) << st.typed;
        EXPECT_EQ(ed->SelStart(), st.caret) << st.typed;
        EXPECT_EQ(ed->SelLength(), st.selected) << st.typed;
        EXPECT_EQ(pubId(), st.key) << st.typed;
    }
    EXPECT_EQ(b.books->FieldByName("PubName")->AsString(), "人民出版社");
    SendKeyToFocus(&form, VK_DOWN); // to the next record: the first is written
    b.books->First();
    EXPECT_EQ(pubId(), 15);
}

TEST_F(PopupDataGridTest, aLookupCellThatTakesTextsOutsideTheListAsksWhenTheRecordIsWritten) {
    BooksWithPublisher b(&form, pubs);
    TDBGridEh* books = booksGrid(b);
    books->Columns()->Add()->SetFieldName("Code");
    TColumnEh* pub = books->Columns()->Add();
    pub->SetFieldName("PubName");
    std::vector<std::string> asked;
    pub->OnNotInList = [&](TObject*, const std::string& text, bool& recheck) {
        asked.push_back(text);
        pubs->Append();
        pubs->FieldByName("PubId")->SetAsInteger(20);
        pubs->FieldByName("PubName")->SetAsString(text);
        pubs->Post();
        recheck = true;
    };
    focusBooks(books);
    books->SetSelectedIndex(1);
    SendKeyToFocus(&form, VK_F2);
    TInplaceEdit* ed = books->InplaceEditor();
    SendKeyToFocus(&form, VK_HOME);
    SendTextToFocus(&form, "Ch");
    EXPECT_EQ(ed->GetText(), "Cherry");
    SendTextToFocus(&form, "x"); // no entry: the text stands as typed, with no key
    EXPECT_EQ(ed->GetText(), "Chx");
    EXPECT_EQ(ed->SelStart(), 3);
    EXPECT_TRUE(b.books->FieldByName("PubId")->IsNull());
    SendKeyToFocus(&form, VK_BACK);
    EXPECT_EQ(ed->GetText(), "Ch");
    SendTextToFocus(&form, "z");
    EXPECT_EQ(ed->GetText(), "Chz");
    EXPECT_TRUE(asked.empty());
    SendKeyToFocus(&form, VK_DOWN);
    EXPECT_EQ(asked, std::vector<std::string>{"Chz"});
    b.books->First();
    EXPECT_EQ(b.books->FieldByName("PubId")->AsInteger(), 20);
    EXPECT_EQ(b.books->FieldByName("PubName")->AsString(), "Chz");
}


// Keys and the clipboard for the list cells' tests, each step checked by
// what the editor shows and the key it left.
enum ListAct { SelectAll, Del, CtrlV, ShiftIns, Home, ShiftLeft, Type, Back };

void actOnList(TForm* form, ListAct act, const char* arg) {
    switch (act) {
    case SelectAll:
        SendKeyToFocus(form, VK_HOME);
        SendKeyToFocus(form, VK_END, TShiftState{ssShift});
        break;
    case Del: SendKeyToFocus(form, VK_DELETE); break;
    case CtrlV:
        Clipboard()->SetAsText(arg);
        SendKeyToFocus(form, 'V', TShiftState{ssCtrl});
        break;
    case ShiftIns:
        Clipboard()->SetAsText(arg);
        SendKeyToFocus(form, VK_INSERT, TShiftState{ssShift});
        break;
    case Home: SendKeyToFocus(form, VK_HOME); break;
    case ShiftLeft: SendKeyToFocus(form, VK_LEFT, TShiftState{ssShift}); break;
    case Type: SendTextToFocus(form, arg); break;
    case Back: SendKeyToFocus(form, VK_BACK); break;
    }
}

struct ListStep {
    const char* name;
    ListAct act;
    const char* arg;
    const char* text;
    int caret, selected;
    Variant key;
};

void runListSteps(TForm* form, TInplaceEdit* ed, TField* keyField, const std::vector<ListStep>& steps) {
    for (const ListStep& st : steps) {
        actOnList(form, st.act, st.arg);
        EXPECT_EQ(ed->GetText(), st.text) << st.name;
        EXPECT_EQ(ed->SelStart(), st.caret) << st.name;
        EXPECT_EQ(ed->SelLength(), st.selected) << st.name;
        if (keyField) EXPECT_TRUE(VariantsEqual(keyField->Value(), st.key)) << st.name << ": " << keyField->AsString();
    }
}

// Delete and paste in a lookup cell: the whole text deleted empties the
// key; a paste completes like typing; a paste that continues no entry
// changes nothing, nor does deleting part of the text.
TEST_F(PopupDataGridTest, deleteAndPasteInALookupCellKeepToTheList) {
    BooksWithPublisher b(&form, pubs);
    TDBGridEh* books = booksGrid(b);
    focusBooks(books);
    books->SetSelectedIndex(2); // PubName
    SendKeyToFocus(&form, VK_F2);
    ASSERT_TRUE(books->EditorMode());
    TInplaceEdit* ed = books->InplaceEditor();
    ASSERT_EQ(ed->GetText(), "Banana");
    runListSteps(&form, ed, b.books->FieldByName("PubId"),
                 {
                     {"partialDeleteRefused", Del, "", "Banana", 6, 0, Variant(13)},
                     {"selectAll", SelectAll, "", "Banana", 0, 6, Variant(13)},
                     {"wholeDeleteEmpties", Del, "", "", 0, 0, Null()},
                     {"pasteCompletes", CtrlV, "ch", "Cherry", 2, 4, Variant(14)},
                     {"pasteOutsideTheListRefused", CtrlV, "zz", "Cherry", 2, 4, Variant(14)},
                     {"deletingTheCompletionRefused", Del, "", "Cherry", 2, 4, Variant(14)},
                     {"home", Home, "", "Cherry", 0, 0, Variant(14)},
                     {"pasteBeforeTheTextRefused", CtrlV, "zz", "Cherry", 0, 0, Variant(14)},
                     {"selectAllAgain", SelectAll, "", "Cherry", 0, 6, Variant(14)},
                     {"pasteInAnyCase", ShiftIns, "ab", "abacus books", 2, 10, Variant(11)},
                     {"selectAllOnceMore", SelectAll, "", "abacus books", 0, 12, Variant(11)},
                     {"pasteChinese", ShiftIns, "人民", "人民出版社", 2, 3, Variant(15)},
                 });
    SendKeyToFocus(&form, VK_DOWN); // the first record is written
    b.books->First();
    EXPECT_EQ(b.books->FieldByName("PubId")->AsInteger(), 15);
}

// With OnNotInList a lookup cell lets part of its text go: the key follows
// the text that is left (an entry's key, or none until the record is
// written and OnNotInList is asked).
TEST_F(PopupDataGridTest, aLookupCellTakingOtherTextsDeletesPartsAndItsKeyFollows) {
    BooksWithPublisher b(&form, pubs);
    TDBGridEh* books = booksGrid(b);
    books->Columns()->Add()->SetFieldName("Code");
    TColumnEh* pub = books->Columns()->Add();
    pub->SetFieldName("PubName");
    std::vector<std::string> asked;
    pub->OnNotInList = [&](TObject*, const std::string& text, bool& recheck) {
        asked.push_back(text);
        pubs->Append();
        pubs->FieldByName("PubId")->SetAsInteger(20);
        pubs->FieldByName("PubName")->SetAsString(text);
        pubs->Post();
        recheck = true;
    };
    focusBooks(books);
    books->SetSelectedIndex(1);
    SendKeyToFocus(&form, VK_F2);
    TInplaceEdit* ed = books->InplaceEditor();
    runListSteps(&form, ed, b.books->FieldByName("PubId"),
                 {
                     {"home", Home, "", "Banana", 0, 0, Variant(13)},
                     {"deleteTakesTheNextCharacter", Del, "", "anana", 0, 0, Null()},
                     {"selectAll", SelectAll, "", "anana", 0, 5, Null()},
                     {"pasteAnEntry", CtrlV, "Delta", "Delta", 5, 0, Variant(16)},
                     {"pasteBeyondIt", CtrlV, "x", "Deltax", 6, 0, Null()},
                     {"selectTheX", ShiftLeft, "", "Deltax", 5, 1, Null()},
                     {"deletingItFindsTheEntry", Del, "", "Delta", 5, 0, Variant(16)},
                     {"home", Home, "", "Delta", 0, 0, Variant(16)},
                     {"deleteTheFirst", Del, "", "elta", 0, 0, Null()},
                 });
    EXPECT_TRUE(asked.empty());
    SendKeyToFocus(&form, VK_DOWN);
    EXPECT_EQ(asked, std::vector<std::string>{"elta"});
    b.books->First();
    EXPECT_EQ(b.books->FieldByName("PubId")->AsInteger(), 20);
}

// A key list cell shows texts and writes keys: typing and pasting complete
// to an entry, other texts are refused, and Delete on the whole text
// leaves no key. A plain pick list completes the same way but takes other
// texts as typed.
TEST(ListCells, aKeyListCellCompletesAndDeletesAndAPickListTakesOtherTexts) {
    TForm form{nullptr};
    form.SetBounds(50, 50, 420, 260);
    auto* ds = new TListDataSet(&form);
    ds->FieldDefs().Add("Sex", ftString, 1);
    ds->FieldDefs().Add("Fruit", ftString, 20);
    ds->AddRow({Variant("M"), Variant("")});
    ds->AddRow({Variant("F"), Variant("")});
    ds->Open();
    auto* src = new TDataSource(&form);
    src->SetDataSet(ds);
    auto* g = new TDBGridEh(&form);
    g->SetParent(&form);
    g->SetBounds(10, 10, 380, 200);
    g->SetDataSource(src);
    TColumnEh* sex = g->Columns()->Add();
    sex->SetFieldName("Sex");
    sex->KeyList()->Add("M");
    sex->KeyList()->Add("F");
    sex->PickList()->Add("Male");
    sex->PickList()->Add("Female");
    sex->PickList()->Add("Other"); // has no key: never offered
    TColumnEh* fruit = g->Columns()->Add();
    fruit->SetFieldName("Fruit");
    fruit->PickList()->Add("Apple");
    fruit->PickList()->Add("Banana");
    ShowAndActivate(&form);
    g->SetFocus();
    ProcessEvents();
    SendKeyToFocus(&form, VK_F2);
    TInplaceEdit* ed = g->InplaceEditor();
    ASSERT_EQ(ed->GetText(), "Male");
    runListSteps(&form, ed, nullptr,
                 {
                     {"selectAll", SelectAll, "", "Male", 0, 4, Null()},
                     {"typeCompletes", Type, "f", "Female", 1, 5, Null()},
                     {"noEntryRefused", Type, "x", "Female", 1, 5, Null()},
                     {"partialDeleteRefused", Del, "", "Female", 1, 5, Null()},
                     {"backShortensTheTyping", Back, "", "Female", 0, 6, Null()},
                     {"entryWithoutKeyRefused", Type, "o", "Female", 0, 6, Null()},
                     {"wholeDeleteEmpties", Del, "", "", 0, 0, Null()},
                     {"pasteCompletes", CtrlV, "fE", "Female", 2, 4, Null()},
                 });
    SendKeyToFocus(&form, VK_DOWN);
    ds->First();
    EXPECT_EQ(ds->FieldByName("Sex")->AsString(), "F");
    // Back on the first record: emptied, it keeps no key.
    SendKeyToFocus(&form, VK_F2);
    ASSERT_EQ(ed->GetText(), "Female");
    actOnList(&form, SelectAll, "");
    actOnList(&form, Del, "");
    EXPECT_EQ(ed->GetText(), "");
    SendKeyToFocus(&form, VK_DOWN);
    ds->First();
    EXPECT_TRUE(ds->FieldByName("Sex")->IsNull());
    // The plain pick list of the next column.
    SendKeyToFocus(&form, VK_TAB);
    SendKeyToFocus(&form, VK_F2);
    runListSteps(&form, ed, nullptr,
                 {
                     {"typeCompletes", Type, "b", "Banana", 1, 5, Null()},
                     {"otherTextsAreTyped", Type, "x", "Bx", 2, 0, Null()},
                 });
    SendKeyToFocus(&form, VK_DOWN);
    ds->First();
    EXPECT_EQ(ds->FieldByName("Fruit")->AsString(), "Bx");
}

} // namespace
