// Screenshots of the data grid as a person sees it: multi-level titles, a
// footer row of sums, a selection of records, and an open pick list. They
// go to build/test-output/screens/ to be looked at.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "TestKit.h"
#include "gridlib/GridFixture.h"

namespace {

const std::string kScreens = std::string(BUILD_DIR) + "/test-output/screens/";

TEST(DBGridEhScreens, multiLevelTitlesFooterSumsAndSelectedRows) {
    GridForm f(12, 560, 320);
    f.grid->SetUseMultiTitle(true);
    f.grid->SetEnabled(false);
    const char* fields[] = {"Code", "BookName", "BookQty", "BookSum"};
    const char* captions[] = {"图书|编号", "图书|名称", "库存|数量", "库存|金额"};
    for (int i = 0; i < 4; ++i) {
        TColumnEh* c = f.grid->Columns()->Add();
        c->SetFieldName(fields[i]);
        c->Title()->SetCaption(captions[i]);
        c->SetWidth(i == 1 ? 180 : 100);
    }
    f.grid->Columns()->Items(0)->Footer()->SetValueType(fvtStaticText);
    f.grid->Columns()->Items(0)->Footer()->SetValue("合计");
    f.grid->Columns()->Items(2)->Footer()->SetValueType(fvtSum);
    f.grid->Columns()->Items(3)->Footer()->SetValueType(fvtSum);
    f.grid->SetFooterRowCount(1);
    f.grid->SumList()->SetActive(true);
    TDBGridOptions o = f.grid->Options();
    o << dgMultiSelect;
    f.grid->SetOptions(o);
    f.grid->SetEnabled(true);
    ShowAndActivate(&f.form);
    for (int rec : {3, 4, 6}) {
        TRect r = f.grid->CellRect(0, rec); // records by their indicator
        SendMouseDown(f.grid, r.Left + 5, r.Top + 5, mbLeft, TShiftState{ssCtrl});
        SendMouseUp(f.grid, r.Left + 5, r.Top + 5, mbLeft, TShiftState{ssCtrl});
    }
    EXPECT_EQ(f.grid->SelectedRows()->Count(), 3);
    ProcessEvents();
    ForceDirectories(kScreens);
    EXPECT_TRUE(SaveFormPng(&f.form, kScreens + "gridlib-grid-titles-footer-selection.png"));
}

TEST(DBGridEhScreens, openPickList) {
    GridForm f(5, 420, 220);
    f.grid->SetEnabled(false);
    for (const char* name : {"Code", "BookName"}) f.grid->Columns()->Add()->SetFieldName(name);
    TColumnEh* c = f.grid->Columns()->Items(1);
    c->SetWidth(160);
    for (const char* s : {"图书1", "期刊", "报纸"}) c->PickList()->Add(s);
    f.grid->SetEnabled(true);
    ShowAndActivate(&f.form);
    TRect r = f.grid->CellRect(2, 2);
    SendClick(f.grid, r.Left + 10, r.Top + 5);
    SendClick(f.grid, r.Left + 10, r.Top + 5);
    ASSERT_TRUE(f.grid->InplaceEditorEh());
    f.grid->InplaceEditorEh()->DropDown();
    ProcessEvents();
    EXPECT_TRUE(f.grid->InplaceEditorEh()->DroppedDown());
    ForceDirectories(kScreens);
    EXPECT_TRUE(SaveFormPng(&f.form, kScreens + "gridlib-grid-picklist.png"));
    f.grid->InplaceEditorEh()->CloseUp(false);
}

} // namespace
