// Edge cases of the data grid's core, keys, titles and search that a user
// meets: options that drop a selection, the appended record Up cancels,
// Shift+Tab across records, the delete question, title spans, and the
// incremental search that starts from the first record and keeps the
// record's own letter case.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "support/TestNames.h"

#include "GridFixture.h"
#include "TestKit.h"

namespace {

TDBGridOptions with(TDBGridOptions o, TDBGridOption bit) { return o << bit; }
TDBGridOptions without(TDBGridOptions o, TDBGridOption bit) { return o >> bit; }

TEST(GridEdgeCases, clearingMultiSelectOrNarrowingTheKindsDropsTheSelection) {
    GridForm f(4);
    f.queryColumns();
    f.grid->SetOptions(with(f.grid->Options(), dgMultiSelect));
    f.grid->SetEditActions({geaSelectAllEh});
    ShowAndActivate(&f.form);
    SendKey(f.grid, 'A', TShiftState{ssCtrl});
    ASSERT_EQ(f.grid->Selection()->Kind(), gstAll);
    f.grid->SetAllowedSelections({gstRecordBookmarks, gstRectangle, gstColumns});
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
    // The same source again keeps a selection; clearing dgMultiSelect drops it.
    const TRect r = f.grid->CellRect(0, 2); // a record, on the indicator
    SendMouseDown(f.grid, r.Left + 5, r.Top + 5, mbLeft, TShiftState{ssCtrl});
    SendMouseUp(f.grid, r.Left + 5, r.Top + 5, mbLeft, TShiftState{ssCtrl});
    ASSERT_EQ(f.grid->SelectedRows()->Count(), 1);
    f.grid->SetDataSource(f.src);
    EXPECT_EQ(f.grid->SelectedRows()->Count(), 1);
    f.grid->SetOptions(without(f.grid->Options(), dgMultiSelect));
    EXPECT_EQ(f.grid->SelectedRows()->Count(), 0);
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
}

TEST(GridEdgeCases, footerColorTurnsParentColorOffEvenWhenEqual) {
    GridForm f(2);
    f.grid->SetParentColor(true);
    f.grid->SetFooterColor(f.grid->Color());
    EXPECT_FALSE(f.grid->ParentColor());
}

TEST(GridEdgeCases, downOnTheLastRecordAppendsAndUpOnTheUntouchedRecordCancelsIt) {
    GridForm f(3);
    ShowAndActivate(&f.form);
    f.grid->SetFocus();
    f.ds->Last();
    SendKey(f.grid, VK_DOWN);
    EXPECT_EQ(f.ds->State(), dsInsert);
    SendKey(f.grid, VK_UP);
    EXPECT_EQ(f.ds->State(), dsBrowse);
    EXPECT_EQ(f.ds->RecordCount(), 3);
    EXPECT_EQ(f.ds->RecNo(), 3);
}

TEST(GridEdgeCases, shiftTabOnTheFirstColumnGoesToTheLastColumnOfThePreviousRecord) {
    for (bool indicator : {true, false}) {
        GridForm f(3);
        f.queryColumns();
        if (!indicator) f.grid->SetOptions(without(f.grid->Options(), dgIndicator));
        ShowAndActivate(&f.form);
        f.grid->SetFocus();
        f.ds->Next();
        f.grid->SetSelectedIndex(0);
        SendKey(f.grid, VK_TAB, TShiftState{ssShift});
        EXPECT_EQ(f.ds->RecNo(), 1) << indicator;
        EXPECT_EQ(f.grid->SelectedIndex(), 3) << indicator;
    }
}

TEST(GridEdgeCases, ctrlDeleteAsksDeleteRecordForOneRecord) {
    GridForm f(3);
    f.queryColumns();
    ShowAndActivate(&f.form);
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectMessage("Delete record?", mrCancel);
    SendKey(f.grid, VK_DELETE, TShiftState{ssCtrl});
    EXPECT_EQ(f.ds->RecordCount(), 3);
    script.ExpectMessage("Delete record?", mrOk);
    SendKey(f.grid, VK_DELETE, TShiftState{ssCtrl});
    EXPECT_EQ(f.ds->RecordCount(), 2);
}

TEST(GridEdgeCases, titleWordsSpanTheirNeighboursOnlyUnderTheSameUpperCell) {
    struct Case {
        std::vector<const char*> captions;
        std::vector<std::pair<std::string, int>> top; // upper cells and how many leaves each spans
    } cases[] = {
        {{"A|B|x", "A|B|y", "A|z"}, {{"A", 3}}},
        {{"A|x", "B|y", "A|z"}, {{"A", 1}, {"B", 1}, {"A", 1}}},
        {{"plain", "A|B"}, {{"plain", 1}, {"A", 1}}},
    };
    for (const Case& c : cases) {
        GridForm f(2);
        f.grid->SetEnabled(false);
        const char* fields[] = {"Code", "BookName", "BookQty"};
        for (size_t i = 0; i < c.captions.size(); ++i) {
            TColumnEh* col = f.grid->Columns()->Add();
            col->SetFieldName(fields[i]);
            col->Title()->SetCaption(c.captions[i]);
        }
        f.grid->SetUseMultiTitle(true);
        f.grid->SetEnabled(true);
        std::function<int(THeadTreeNode*)> leaves = [&](THeadTreeNode* n) {
            if (!n->Child) return 1;
            int k = 0;
            for (THeadTreeNode* ch : n->Children()) k += leaves(ch);
            return k;
        };
        std::vector<std::pair<std::string, int>> top;
        for (THeadTreeNode* n : f.grid->HeadTree()->Children()) top.emplace_back(n->Text, leaves(n));
        EXPECT_EQ(top, c.top) << c.captions[0];
    }
    // B spans the first two of the three under A.
    GridForm f(2);
    f.grid->SetEnabled(false);
    const char* caps[] = {"A|B|x", "A|B|y", "A|z"};
    const char* fields[] = {"Code", "BookName", "BookQty"};
    for (int i = 0; i < 3; ++i) {
        TColumnEh* col = f.grid->Columns()->Add();
        col->SetFieldName(fields[i]);
        col->Title()->SetCaption(caps[i]);
    }
    f.grid->SetUseMultiTitle(true);
    f.grid->SetEnabled(true);
    THeadTreeNode* a = f.grid->HeadTree()->Children().at(0);
    std::vector<std::string> under;
    for (THeadTreeNode* n : a->Children()) under.push_back(n->Text);
    EXPECT_EQ(under, (std::vector<std::string>{"B", "z"}));
}

TEST(GridEdgeCases, incrementalSearchStartsAtTheFirstRecordAndKeepsTheRecordsCase) {
    TForm form{nullptr};
    form.SetBounds(0, 0, 400, 300);
    auto* ds = new TListDataSet(&form);
    ds->FieldDefs().Add("Name", ftString, 20);
    for (const char* n : {"Anna", "Bob", "bobby", "Carl"}) ds->AddRow({Variant(n)});
    ds->Open();
    auto* src = new TDataSource(&form);
    src->SetDataSet(ds);
    auto* grid = new TDBGridEh(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 380, 260);
    grid->SetDataSource(src);
    grid->SetOptionsEh(grid->OptionsEh() + TDBGridEhOptions{dghIncSearch, dghPreferIncSearch});
    ShowAndActivate(&form);
    ds->Last(); // the search still finds records before the current one
    SendText(grid, "b");
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Bob");
    EXPECT_EQ(grid->IncSearchText(), "B");
    SendText(grid, "o");
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Bob");
    EXPECT_EQ(grid->IncSearchText(), "Bo");
    SendKey(grid, VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "bobby");
    EXPECT_EQ(grid->IncSearchText(), "bo");
    EXPECT_TRUE(grid->IncSearching());
    SendKey(grid, VK_RETURN, TShiftState{ssCtrl, ssShift});
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Bob");
    SendText(grid, "z"); // matches nothing: record and text stay
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "Bob");
    EXPECT_EQ(grid->IncSearchText(), "Bo");
    SendKey(grid, VK_RETURN);
    EXPECT_FALSE(grid->IncSearching());
}

TEST(GridEdgeCases, indicatorCellsShowWhatIsSelectedAndTheSeparatorRowsTakesTheGridColour) {
    GridForm f(3);
    f.queryColumns();
    f.grid->SetOptions(with(f.grid->Options(), dgMultiSelect));
    f.grid->SetEditActions({geaSelectAllEh});
    f.grid->SetFixedColor(clBtnFace);
    f.grid->SetColor(clWindow);
    ShowAndActivate(&f.form);
    TBitmap shot;
    shot.SetSize(f.grid->ClientWidth(), f.grid->ClientHeight());
    auto indicator = [&](int gridRow) {
        f.grid->PaintTo(shot.Canvas());
        const TRect r = f.grid->CellRect(0, gridRow);
        return shot.Canvas()->Pixels(r.Left + 2, r.Top + 3);
    };
    const int row2 = f.grid->TitleOffset() + 1, separator = f.grid->FirstFooterRow() - 1;
    ASSERT_EQ(separator, f.grid->TitleOffset() + 3);
    const TColor dark = TColor(4210752);
    struct Case {
        const char* what;
        std::function<void()> act;
        TColor record, separatorColour;
    } cases[] = {
        {"nothing selected", [] {}, clBtnFace, clWindow},
        {"Ctrl+click a record", [&] {
             const TRect r = f.grid->CellRect(0, row2);
             SendMouseDown(f.grid, r.Left + 5, r.Top + 3, mbLeft, TShiftState{ssCtrl});
             SendMouseUp(f.grid, r.Left + 5, r.Top + 3, mbLeft, TShiftState{ssCtrl});
         }, dark, clWindow},
        {"Ctrl+A", [&] { SendKey(f.grid, 'A', TShiftState{ssCtrl}); }, dark, dark},
        {"raised frozen cells", [&] {
             f.grid->Selection()->Clear();
             TDBGridEhOptions eh = f.grid->OptionsEh();
             f.grid->SetOptionsEh(eh << dghFrozen3D);
         }, clBtnFace, clBtnFace},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(indicator(row2), ColorToRGB(c.record)) << c.what;
        EXPECT_EQ(indicator(separator), ColorToRGB(c.separatorColour)) << c.what;
    }
}

TEST(GridEdgeCases, titlesAskForButtonParamsTwiceWhenBoundAndShowTheirColumnsSelection) {
    GridForm f(3);
    f.queryColumns();
    TColumnEh* unbound = f.grid->Columns()->Add();
    unbound->SetFieldName("Nope");
    unbound->SetWidth(40);
    f.grid->SetOptions(with(f.grid->Options(), dgMultiSelect));
    f.grid->SetEditActions({geaSelectAllEh});
    ShowAndActivate(&f.form);
    std::map<std::string, int> asked;
    f.grid->OnGetBtnParams = [&](TObject*, TColumnEh* c, TFont*, TColor&, TSortMarkerEh&, bool) {
        ++asked[c->FieldName()];
    };
    TBitmap shot;
    shot.SetSize(f.grid->ClientWidth(), f.grid->ClientHeight());
    f.grid->PaintTo(shot.Canvas());
    EXPECT_EQ(asked["Code"], 2);
    EXPECT_EQ(asked["BookQty"], 2);
    EXPECT_EQ(asked.count("Nope"), 0u);
    f.grid->OnGetBtnParams = nullptr;
    auto titlePixel = [&](int dataCol) {
        f.grid->PaintTo(shot.Canvas());
        const TRect r = f.grid->CellRect(f.grid->IndicatorOffset() + dataCol, 0);
        return shot.Canvas()->Pixels(r.Right - 3, r.Top + 3);
    };
    const TColor face = ColorToRGB(f.grid->Columns()->Items(0)->Title()->Color());
    const TColor dark = TColor(4210752);
    EXPECT_EQ(titlePixel(1), face);
    const TRect name = f.grid->CellRect(f.grid->IndicatorOffset() + 1, 0);
    SendMouseDown(f.grid, name.Left + 5, name.Bottom - 3, mbLeft, TShiftState{ssCtrl});
    SendMouseUp(f.grid, name.Left + 5, name.Bottom - 3, mbLeft, TShiftState{ssCtrl});
    ASSERT_EQ(f.grid->Selection()->Kind(), gstColumns);
    EXPECT_EQ(titlePixel(1), dark);
    EXPECT_EQ(titlePixel(0), face);
    SendKey(f.grid, 'A', TShiftState{ssCtrl});
    EXPECT_EQ(titlePixel(0), dark);
}

} // namespace
