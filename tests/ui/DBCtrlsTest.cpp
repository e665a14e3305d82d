// Data-aware controls over a small in-memory data set: showing the current
// record, typing into the field, Esc dropping the change, the check box's
// stored "True"/"False", and a read-only source refusing keys.
#include <gtest/gtest.h>

#include "DBCtrls.h"
#include "TestKit.h"
#include "db/ListDataSet.h"

namespace {

class DBCtrlsTest : public ::testing::Test {
protected:
    TSeamScript script;
    TForm form{nullptr};
    TListDataSet ds{nullptr};
    TDataSource* src = nullptr;
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        ds.FieldDefs().Add("Code", ftString, 10);
        ds.FieldDefs().Add("Name", ftString, 20);
        ds.FieldDefs().Add("Lent", ftString, 5);
        ds.FieldDefs().Add("Memo", ftMemo);
        ds.AddRow({"R001", "张三", "True", "第一行"});
        ds.AddRow({"R002", "李四", "False", Null()});
        src = new TDataSource(&form);
        src->SetDataSet(&ds);
        ds.Open();
    }
    void TearDown() override { ds.Close(); }
    template <class T>
    T* make(const std::string& field) {
        auto* c = new T(&form);
        c->SetParent(&form);
        c->SetDataSource(src);
        c->SetDataField(field);
        return c;
    }
};

TEST_F(DBCtrlsTest, controlsFollowTheCurrentRecord) {
    auto* name = make<TDBEdit>("Name");
    auto* code = make<TDBText>("Code");
    auto* lent = make<TDBCheckBox>("Lent");
    auto* memo = make<TDBMemo>("Memo");
    EXPECT_EQ(name->Text(), "张三");
    EXPECT_EQ(code->Caption(), "R001");
    EXPECT_TRUE(lent->Checked());
    EXPECT_EQ(memo->Lines()->Count(), 1);
    ds.Next();
    EXPECT_EQ(name->Text(), "李四");
    EXPECT_EQ(code->Caption(), "R002");
    EXPECT_FALSE(lent->Checked());
    EXPECT_EQ(memo->Text(), "");
}

TEST_F(DBCtrlsTest, typingEditsTheFieldAndPostWritesIt) {
    auto* name = make<TDBEdit>("Name");
    auto* code = make<TDBEdit>("Code");
    ShowAndActivate(&form);
    name->SetFocus();
    name->SelectAll();
    SendText(name, "王五");
    EXPECT_EQ(ds.State(), dsEdit);
    SendKey(code, VK_TAB);
    ds.Post();
    EXPECT_EQ(ds.rows[0].vals[1].AsString(), "王五");
}

TEST_F(DBCtrlsTest, escapeDropsTheTypedChange) {
    auto* name = make<TDBEdit>("Name");
    ShowAndActivate(&form);
    SendText(name, "X");
    SendKey(name, VK_ESCAPE);
    EXPECT_EQ(name->Text(), "张三");
}

TEST_F(DBCtrlsTest, checkBoxStoresTrueAndFalseText) {
    auto* lent = make<TDBCheckBox>("Lent");
    ShowAndActivate(&form);
    SendClick(lent, 5, 5);
    EXPECT_FALSE(lent->Checked());
    ds.Post();
    EXPECT_EQ(ds.rows[0].vals[2].AsString(), "False");
}

TEST_F(DBCtrlsTest, readOnlySourceRefusesTypedKeys) {
    src->SetAutoEdit(false);
    auto* name = make<TDBEdit>("Name");
    ShowAndActivate(&form);
    SendText(name, "Z");
    EXPECT_EQ(name->Text(), "张三");
    EXPECT_EQ(ds.State(), dsBrowse);
}

} // namespace

namespace {

TEST_F(DBCtrlsTest, lookupComboShowsListTextAndStoresTheKey) {
    TListDataSet types{nullptr};
    types.FieldDefs().Add("Id", ftString, 5);
    types.FieldDefs().Add("Title", ftString, 20);
    types.AddRow({"True", "已借出"});
    types.AddRow({"False", "在馆"});
    auto* typeSrc = new TDataSource(&form);
    typeSrc->SetDataSet(&types);
    types.Open();
    auto* combo = new TDBLookupComboBox(&form);
    combo->SetParent(&form);
    combo->SetListSource(typeSrc);
    combo->SetKeyField("Id");
    combo->SetListField("Title");
    combo->SetDataSource(src);
    combo->SetDataField("Lent");
    EXPECT_EQ(combo->Items()->Count(), 2);
    EXPECT_EQ(combo->Text(), "已借出");
    ds.Next();
    EXPECT_EQ(combo->Text(), "在馆");
    EXPECT_EQ(combo->KeyValue(), "False");
    types.Close();
}

TEST_F(DBCtrlsTest, radioGroupStoresTheValueOfTheChosenItem) {
    auto* rg = new TDBRadioGroup(&form);
    rg->SetParent(&form);
    rg->SetBounds(0, 0, 200, 80);
    rg->Items()->Add("借出");
    rg->Items()->Add("在馆");
    rg->Values()->Add("True");
    rg->Values()->Add("False");
    rg->SetDataSource(src);
    rg->SetDataField("Lent");
    EXPECT_EQ(rg->ItemIndex(), 0);
    ShowAndActivate(&form);
    SendClick(rg->Buttons(1), 5, 5);
    EXPECT_EQ(rg->ItemIndex(), 1);
    ds.Post();
    EXPECT_EQ(ds.rows[0].vals[2].AsString(), "False");
}

} // namespace
