// The classification tree through the real window: keys of added classes,
// the tree built by exact keys at every depth, unique class codes, the
// subtree delete, and what the picker returns for OK, Enter and the root.
#include "CatalogueFixture.h"

#include "ComCtrls.h"
#include "DBGrids.h"
#include "StdCtrls.h"
#include "app/uSortSet.h"

#include <functional>
#include <memory>

namespace {

std::function<void(TCustomForm*)> typeClass(const std::string& code, const std::string& name) {
    return [=](TCustomForm* f) {
        auto* e = static_cast<TFrmSortSetEdit*>(f);
        SendText(e->EditCode, code);
        SendText(e->EditName, name);
    };
}

class SortSetCatalogueTest : public CatalogueFixture {
protected:
    void TearDown() override {
        form.reset();
        CatalogueFixture::TearDown();
    }
    void open() {
        form.reset(new TFrmSortSet(nullptr));
        ShowAndActivate(form.get());
        ProcessEvents();
    }
    TTreeNode* node(const std::string& key) const { return form->FindParentNode(key); }
    void select(const std::string& key) {
        ASSERT_NE(node(key), nullptr) << key;
        form->Tvtemp->SetSelected(node(key));
        ProcessEvents();
    }
    void add(const std::string& code, const std::string& name) {
        script.ExpectForm("TFrmSortSetEdit", mrOk, {}, typeClass(code, name));
        SendClick(form->TbtAdd);
    }
    std::unique_ptr<TFrmSortSet> form;
};

TEST_F(SortSetCatalogueTest, classesAddedUnderTheRootAndBelowGetTheirKeys) {
    open();
    select("00");
    add("A", "马列主义");
    add("B", "哲学");
    select("000001");
    add("B0", "哲学理论");
    select("0000010000");
    add("B01", "哲学基本问题");
    EXPECT_EQ(Rows("select sKey, ParentKey, SortCode, SortName from Type order by sKey"),
              (std::vector<std::string>{"000000|00|A|马列主义", "000001|00|B|哲学", "0000010000|000001|B0|哲学理论",
                                        "00000100000000|0000010000|B01|哲学基本问题"}));
}

TEST_F(SortSetCatalogueTest, thirdLevelHangsUnderItsOwnParentWithSixCharacterTopKeys) {
    // Fixed four-character blocks would take 0000 (the first six
    // characters' first block) for the parent of every third-level class.
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values "
         "('000000', '00', 'A', '甲'), ('000001', '00', 'B', '乙'), "
         "('0000010000', '000001', 'B1', '乙一'), ('00000100000000', '0000010000', 'B11', '乙一一')");
    open();
    form->RootNode()->Item(1)->Expand(false);
    ProcessEvents();
    TTreeNode* third = node("00000100000000");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->Text(), "B11 乙一一");
    EXPECT_EQ(third->Parent(), node("0000010000"));
    EXPECT_EQ(third->Parent()->Parent(), node("000001"));
}

TEST_F(SortSetCatalogueTest, orphanRowShowsUnderTheRootInsteadOfStoppingTheTree) {
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('000000', '00', 'A', '甲'), "
         "('00990000', '000000', 'Z', '孤')");
    // The second row's key does not begin with its parent's; a third has no parent at all.
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('77770000', '7777', 'Q', '无父')");
    open();
    EXPECT_NE(node("00990000"), nullptr);
    EXPECT_EQ(node("000000")->Count(), 1);
}

TEST_F(SortSetCatalogueTest, classCodeAnotherClassUsesIsRefused) {
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('000000', '00', 'TP', '自动化')");
    open();
    select("00");
    script.ExpectForm("TFrmSortSetEdit", mrOk, {}, typeClass("tp", "重复"));
    script.ExpectMessage("该类目分类号已经存在,请重新录入!", IDOK);
    SendClick(form->TbtAdd);
    EXPECT_EQ(Scalar("select count(*) from Type"), "1");
}

TEST_F(SortSetCatalogueTest, editRenamesTheClassButRefusesAnEmptyCode) {
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('000000', '00', 'TP', '自动化')");
    open();
    select("000000");
    script.ExpectForm("TFrmSortSetEdit", mrOk, {{"EditCode", ""}});
    script.ExpectMessage("类目分类号必须填写！", IDOK);
    SendClick(form->TbtEdit);
    EXPECT_EQ(Scalar("select SortCode from Type"), "TP");
    script.ExpectForm("TFrmSortSetEdit", mrOk, {{"EditCode", "TP3"}, {"EditName", "计算技术"}});
    SendClick(form->TbtEdit);
    EXPECT_EQ(Rows("select SortCode, SortName from Type"), (std::vector<std::string>{"TP3|计算技术"}));
    EXPECT_EQ(node("000000")->Text(), "TP3 计算技术");
}

TEST_F(SortSetCatalogueTest, deleteTakesTheWholeSubtreeByKeyPrefix) {
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('0012', '00', 'A', '甲'), "
         "('00120000', '0012', 'A1', '甲一'), ('001200000003', '00120000', 'A11', '甲一一'), "
         "('0013', '00', 'B', '乙')");
    open();
    select("0012");
    script.ExpectMessage("是否确定删除此类及其所有子类", IDOK);
    SendClick(form->TbtDelete);
    EXPECT_EQ(Rows("select sKey from Type"), (std::vector<std::string>{"0013"}));
    EXPECT_EQ(node("0012"), nullptr);
    EXPECT_EQ(node("00120000"), nullptr);
}

TEST_F(SortSetCatalogueTest, okGivesCodeAndKeyEnterGivesTheCodeOnly) {
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('000000', '00', 'I', '文学')");
    open();
    select("000000");
    SendClick(form->TbtOk);
    EXPECT_EQ(form->ChosenSortCode, "I");
    EXPECT_EQ(form->ChosenSKey, "000000");

    open();
    select("000000");
    SendKey(form->Tvtemp, VK_RETURN);
    EXPECT_EQ(form->ChosenSortCode, "I");
    EXPECT_EQ(form->ChosenSKey, "");
    EXPECT_FALSE(form->Visible());
}

TEST_F(SortSetCatalogueTest, pickingTheRootGivesAnEmptyCode) {
    open();
    select("00");
    SendClick(form->TbtOk);
    EXPECT_EQ(form->ChosenSortCode, "");
}

TEST_F(SortSetCatalogueTest, rightListShowsTheChildrenOfTheSelectedClass) {
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('000000', '00', 'I', '文学'), "
         "('0000000000', '000000', 'I2', '中国文学'), ('0000000001', '000000', 'I3', '外国文学')");
    open();
    select("000000");
    EXPECT_EQ(form->ADOqSortList->RecordCount(), 2);
    SendDoubleClick(form->DBGrid1);
    EXPECT_FALSE(form->ChosenSortCode.empty());
    EXPECT_EQ(form->ChosenSortCode, form->ADOqSortList->FieldByName("SortCode")->AsString());
}

TEST_F(SortSetCatalogueTest, pickerGivesTheChosenClassToItsCaller) {
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('000000', '00', 'I', '文学')");
    script.ExpectForm("TFrmSortSet", mrNone, {}, [](TCustomForm* f) {
        auto* picker = static_cast<TFrmSortSet*>(f);
        picker->Tvtemp->SetSelected(picker->FindParentNode("000000"));
        SendClick(picker->TbtOk);
    });
    std::string code, key;
    EXPECT_TRUE(PickClass(nullptr, code, &key));
    EXPECT_EQ(code, "I");
    EXPECT_EQ(key, "000000");
    // Closed without a choice: the caller's code stays.
    script.ExpectForm("TFrmSortSet", mrCancel);
    code = "keep";
    EXPECT_FALSE(PickClass(nullptr, code));
    EXPECT_EQ(code, "keep");
}

} // namespace
