// The data-aware edit, typed at through the window system: the field's
// text shown, a change written when the focus leaves, Esc going back, a
// refused character, and the code/name switch of its lookup field.
#include "vq/controls/VqDBEdit.h"

#include "DB.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestKit.h"
#include "vq/VqMemTable.h"

#include <gtest/gtest.h>

namespace {

class VqDBEdit : public ::testing::Test {
protected:
    TForm form{nullptr};
    TVqMemTable* table = new TVqMemTable(&form);
    TDataSource* src = new TDataSource(&form);
    TVQDBEDIT* edit = new TVQDBEDIT(&form);
    TEdit* other = new TEdit(&form);
    void SetUp() override {
        form.SetBounds(100, 100, 300, 120);
        table->FieldDefs().Add("Code", ftString, 10);
        table->FieldDefs().Add("Name", ftString, 20);
        table->FieldDefs().Add("Qty", ftInteger);
        table->Open();
        table->Append();
        table->FieldByName("Code")->SetAsString("B001");
        table->FieldByName("Name")->SetAsString("红楼梦");
        table->FieldByName("Qty")->SetAsInteger(3);
        table->Post();
        src->SetDataSet(table);
        edit->SetName("EdtName");
        edit->SetParent(&form);
        edit->SetBounds(10, 10, 150, 21);
        edit->SetDataSource(src);
        other->SetName("EdtOther");
        other->SetParent(&form);
        other->SetBounds(10, 50, 150, 21);
    }
    void Show() {
        ShowAndActivate(&form);
        other->SetFocus();
        ProcessEvents();
    }
    void Enter() {
        SendClick(edit);
        ProcessEvents();
    }
    void Leave() {
        SendClick(other);
        ProcessEvents();
    }
};

TEST_F(VqDBEdit, typedTextIsWrittenWhenTheFocusLeaves) {
    edit->SetDataField("Name");
    Show();
    EXPECT_EQ(edit->Text(), "红楼梦");
    Enter();
    SendKey(edit, VK_END);
    SendText(edit, "上");
    EXPECT_EQ(table->State(), dsEdit);
    Leave();
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "红楼梦上");
    EXPECT_EQ(edit->MaxLength(), 20);
}

TEST_F(VqDBEdit, escapeGoesBackToTheFieldsValue) {
    edit->SetDataField("Name");
    Show();
    Enter();
    SendKey(edit, VK_END);
    SendText(edit, "X");
    SendKey(edit, VK_ESCAPE);
    EXPECT_EQ(edit->Text(), "红楼梦");
    Leave();
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "红楼梦");
}

TEST_F(VqDBEdit, characterTheFieldRefusesIsDropped) {
    edit->SetDataField("Qty");
    Show();
    Enter();
    SendKey(edit, VK_END);
    SendText(edit, "a5");
    EXPECT_EQ(edit->Text(), "35");
    Leave();
    EXPECT_EQ(table->FieldByName("Qty")->AsInteger(), 35);
}

TEST_F(VqDBEdit, lookupFieldShowsTheNameAndTheCodeWhileFocused) {
    edit->SetLookupField({"Code", true, "Name"});
    Show();
    EXPECT_EQ(edit->Text(), "红楼梦");
    Enter();
    EXPECT_EQ(edit->DataField(), "Code");
    EXPECT_EQ(edit->Text(), "B001");
    Leave();
    EXPECT_EQ(edit->DataField(), "Name");
    EXPECT_EQ(edit->Text(), "红楼梦");
}

} // namespace
