// The data-aware combo box and the labelled data-aware controls, typed at
// and clicked through the window system over the in-memory table.
#include "vq/controls/VqDBCombos.h"

#include "DB.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestKit.h"
#include "vq/VqMemTable.h"

#include <gtest/gtest.h>

namespace {

class VqDBCombo : public ::testing::Test {
protected:
    TForm form{nullptr};
    TVqMemTable* table = new TVqMemTable(&form);
    TDataSource* src = new TDataSource(&form);
    TVQDBLabelComboBox* combo = new TVQDBLabelComboBox(&form);
    TEdit* other = new TEdit(&form);
    void SetUp() override {
        form.SetBounds(100, 100, 320, 140);
        table->FieldDefs().Add("Kind", ftString, 8);
        table->FieldDefs().Add("Qty", ftInteger);
        table->Open();
        for (const char* k : {"图书", "古籍"}) {
            table->Append();
            table->FieldByName("Kind")->SetAsString(k);
            table->FieldByName("Qty")->SetAsInteger(1);
            table->Post();
        }
        table->First();
        src->SetDataSet(table);
        combo->SetName("CmbKind");
        combo->SetParent(&form);
        combo->SetBounds(100, 10, 150, 21);
        combo->Items()->Add("图书");
        combo->Items()->Add("期刊");
        combo->SetDataSource(src);
        combo->SetDataField("Kind");
        combo->SetLabelCaption("类型");
        other->SetName("EdtOther");
        other->SetParent(&form);
        other->SetBounds(100, 60, 150, 21);
    }
    std::string Kind() { return table->FieldByName("Kind")->AsString(); }
};

TEST_F(VqDBCombo, showsTheFieldAndSelectsTheMatchingItemOrTheBareText) {
    ShowAndActivate(&form);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->Text(), "图书");
    table->Next();
    ProcessEvents();
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "古籍");
}

TEST_F(VqDBCombo, typedTextIsWrittenWhenTheFocusLeavesAndEscGoesBack) {
    ShowAndActivate(&form);
    combo->SetFocus();
    ProcessEvents();
    combo->SelectAll();
    SendText(combo, "报纸");
    SendKey(combo, VK_ESCAPE);
    EXPECT_EQ(combo->Text(), "图书");
    combo->SelectAll();
    SendText(combo, "报纸");
    SendKey(combo, VK_TAB);
    ProcessEvents();
    EXPECT_FALSE(combo->Focused());
    EXPECT_EQ(Kind(), "报纸");
    EXPECT_EQ(table->State(), dsEdit);
}

TEST_F(VqDBCombo, aReadOnlyFieldTakesNoTypingAndNoArrowKeys) {
    table->FieldByName("Kind")->SetReadOnly(true);
    ShowAndActivate(&form);
    combo->SetFocus();
    ProcessEvents();
    SendText(combo, "x");
    SendKey(combo, VK_DOWN);
    EXPECT_EQ(combo->Text(), "图书");
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(VqDBCombo, keypadPlusOpensTheListAndTypesNothing) {
    ShowAndActivate(&form);
    combo->SetFocus();
    SendKey(combo, VK_ADD);
    ProcessEvents();
    EXPECT_TRUE(combo->DroppedDown());
    combo->SetDroppedDown(false);
    ProcessEvents();
    EXPECT_EQ(combo->Text(), "图书");
}

TEST_F(VqDBCombo, labelStandsLeftOfTheComboInGreen) {
    ShowAndActivate(&form);
    TLabel* l = combo->EditLabel();
    EXPECT_EQ(l->Left() + l->Width(), 100);
    EXPECT_EQ(l->Top(), 12);
    EXPECT_EQ(combo->LabelColor(), TColor(0x008000));
    combo->SetVisible(false);
    EXPECT_FALSE(l->Visible());
}

TEST(VqDBLabelEdit, movedTo100By50ItsLabelEndsAt100AndStandsAt52) {
    TForm form(nullptr);
    form.SetBounds(100, 100, 320, 140);
    TVqMemTable* table = new TVqMemTable(&form);
    table->FieldDefs().Add("Qty", ftInteger);
    table->Open();
    table->Append();
    table->FieldByName("Qty")->SetAsInteger(7);
    table->Post();
    TDataSource* src = new TDataSource(&form);
    src->SetDataSet(table);
    auto* edit = new tVQDBLabelEdit(&form);
    edit->SetParent(&form);
    edit->SetLabelCaption("数量");
    edit->SetDataSource(src);
    edit->SetDataField("Qty");
    edit->SetBounds(100, 50, 80, 21);
    ShowAndActivate(&form);
    EXPECT_EQ(edit->EditLabel()->Left() + edit->EditLabel()->Width(), 100);
    EXPECT_EQ(edit->EditLabel()->Top(), 52);
    EXPECT_EQ(edit->EditLabel()->Height(), 21);
    EXPECT_EQ(edit->EditLabel()->Caption(), "数量");
    EXPECT_EQ(edit->Text(), "7");
    EXPECT_EQ(edit->LabelColor(), TColor(0x008000));
}

} // namespace
