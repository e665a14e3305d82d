// The settings window through the real window: the AcctInfo row and the
// globals on 确认 and 取消, the input codes filled from Ime.DCT, and the
// data upgrade from a second database of this system.
#include "AdminFixture.h"

#include "ADODB.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DBCtrls.h"
#include "Gbk.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "app/SchemaUpgrade.h"
#include "app/uParameter.h"
#include "gridlib/edits/DBCtrlsEh.h"

#include <memory>

namespace {

// A dictionary line in Ime.DCT's fixed columns: wubi at 7, strokes at 13,
// pinyin initial at 37.
std::string dictLine(const std::string& ch, char wb, char wbh, char py) {
    return Utf8ToGbk(ch) + std::string(4, ' ') + wb + std::string(5, ' ') + wbh + std::string(23, ' ') + py + "\r\n";
}

class ParameterAdminTest : public AdminFixture {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        Exec("insert into AcctInfo (CorpName, IfFine, IfExcced, Ifrepeat, PerFine, PerFine1, InDay) values "
             "('旧馆名', 0, 1, 1, 0.1, 0.2, 30)");
    }
    void TearDown() override {
        form.reset();
        AdminFixture::TearDown();
    }
    void open() {
        form.reset(new TFrmParameter(nullptr));
        ShowAndActivate(form.get());
        ProcessEvents();
    }
    void showPage(TTabSheet* page) {
        form->PageControl1->SetActivePage(page);
        ProcessEvents();
    }
    std::unique_ptr<TFrmParameter> form;
};

TEST_F(ParameterAdminTest, confirmWritesTheRowAndTheSettings) {
    open();
    EXPECT_EQ(form->DBEditCorpName->Text(), "旧馆名");
    form->DBEditCorpName->SelectAll();
    SendText(form->DBEditCorpName, "新图书馆");
    showPage(form->TabSheet2);
    EXPECT_FALSE(form->EditPerFine->Enabled());
    SendClick(form->DBChkFine);
    EXPECT_TRUE(form->EditPerFine->Enabled());
    SendClick(form->BtSave);
    EXPECT_EQ(Rows("select CorpName, iif(IfFine,1,0) from AcctInfo"), (std::vector<std::string>{"新图书馆|1"}));
    EXPECT_EQ(CorpName, "新图书馆");
    EXPECT_TRUE(IfFine);
    EXPECT_EQ(PerFine, Currency::FromRaw(1000));
    EXPECT_EQ(PerFine1, Currency::FromRaw(2000));
    EXPECT_EQ(InDay, 30);
    EXPECT_FALSE(form->Visible());
}

TEST_F(ParameterAdminTest, cancelLeavesRowAndSettingsUnchanged) {
    CorpName = "不变";
    open();
    form->DBEditCorpName->SelectAll();
    SendText(form->DBEditCorpName, "改过");
    SendClick(form->BtClose);
    EXPECT_EQ(Scalar("select CorpName from AcctInfo"), "旧馆名");
    EXPECT_EQ(CorpName, "不变");
}

TEST_F(ParameterAdminTest, inputCodesFilledOnlyWhereMissing) {
    AtomicWriteFile(dir_ + "Ime.DCT", dictLine("图", 'l', 'z', 't') + dictLine("书", 'n', 'h', 's') +
                                          dictLine("刊", 'f', 'g', 'k') + dictLine("张", 'x', 'n', 'z'));
    Exec("insert into Bookinfo (Code, Name, PY) values ('B1', '图书', null), ('B2', '图书', 'keep'), "
         "('B3', '', null)");
    Exec("insert into Magzinfo (Code, Name, PY) values ('M1', '书刊', '')");
    Exec("insert into Readerinfo (Code, Name) values ('R1', '张')");
    open();
    showPage(form->TabSheet3);
    SendClick(form->ChkBook);
    SendClick(form->ChkMagz);
    script.ExpectMessage("生成成功!", IDOK);
    SendClick(form->Button1);
    EXPECT_EQ(Rows("select Code, PY, WBH, WB from Bookinfo where Code like 'B%' order by Code"),
              (std::vector<std::string>{"B1|ts|zh|ln", "B2|keep||", "B3|||"}));
    EXPECT_EQ(Rows("select PY, WBH, WB from Magzinfo where Code='M1'"), (std::vector<std::string>{"sk|hg|nf"}));
    // Readers were not ticked.
    EXPECT_EQ(Rows("select PY from Readerinfo where Code='R1'"), (std::vector<std::string>{""}));
}

class UpgradeAdminTest : public ParameterAdminTest {
protected:
    void SetUp() override {
        ParameterAdminTest::SetUp();
        oldFile_ = dir_ + "old.dat";
        CreateDatabaseFile(oldFile_, ShippedDatabaseScript());
        execOld(
            "insert into Readerinfo (Code, Name, SortCode) values ('R9', '老读者', '学生'), ('R8', '旧二', '学生')");
        execOld("insert into Type (sKey, ParentKey, SortCode, SortName) values ('0001', '00', 'A', '马列')");
        execOld("insert into TableStructure (TableCode, ColumnsCode, ColumnsName) values ('X', 'Y', '旧布局')");
        Exec("insert into Readerinfo (Code, Name) values ('R1', '现读者')");
    }
    void execOld(const std::string& sql) {
        TADOConnection c;
        c.SetConnectionString(ConnectionStringFor(oldFile_));
        c.Open();
        c.Execute(sql);
    }
    void chooseOld() {
        showPage(form->TabSheet3);
        script.ExpectFile(TSeamKind::OpenDialog, oldFile_);
        SendClick(form->SpeedButton2);
        EXPECT_EQ(form->EdtPath->Text(), oldFile_);
    }
    std::string oldFile_;
};

TEST_F(UpgradeAdminTest, copiesCommonTablesAndTheClassesIntoAnEmptyClassTable) {
    const std::string layouts = Scalar("select count(*) from TableStructure");
    open();
    chooseOld();
    script.ExpectMessage("是否要升级。", IDOK, "询问");
    script.ExpectMessage("数据升级成功!", IDOK);
    SendClick(form->BitBtn1);
    EXPECT_EQ(Rows("select Code, Name from Readerinfo order by Code"),
              (std::vector<std::string>{"R8|旧二", "R9|老读者"}));
    EXPECT_EQ(Rows("select sKey, SortCode from Type"), (std::vector<std::string>{"0001|A"}));
    EXPECT_EQ(Scalar("select count(*) from TableStructure"), layouts);
}

TEST_F(UpgradeAdminTest, classTableThatHoldsClassesIsKept) {
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('000000', '00', 'Z', '本馆')");
    open();
    chooseOld();
    script.ExpectMessage("是否要升级。", IDOK);
    script.ExpectMessage("数据升级成功!", IDOK);
    SendClick(form->BitBtn1);
    EXPECT_EQ(Rows("select sKey, SortCode from Type"), (std::vector<std::string>{"000000|Z"}));
}

TEST_F(UpgradeAdminTest, tableWhoseCopyFailsKeepsItsRows) {
    Exec("create trigger refuse before insert on Readerinfo when new.Code='R8' begin select raise(abort, 'no'); end");
    open();
    chooseOld();
    script.ExpectMessage("是否要升级。", IDOK);
    script.ExpectMessage("以下数据表升级不成功,保持原样: Readerinfo", IDOK);
    SendClick(form->BitBtn1);
    EXPECT_EQ(Rows("select Code from Readerinfo"), (std::vector<std::string>{"R1"}));
    EXPECT_EQ(Rows("select sKey from Type"), (std::vector<std::string>{"0001"}));
}

// An older file whose copies share a barcode: every copy comes over, the
// operator hears which codes to mend, and the code index stays plain
// until they are (SchemaUpgrade.h); codes that are unique stay enforced.
TEST_F(UpgradeAdminTest, copiesSharingACodeComeOverAndTheCodesAreNamed) {
    execOld("drop index Bookinfo_Code");
    execOld("insert into Bookinfo (Code, Name) values ('B1', '甲'), ('B1', '乙'), ('B2', '丙')");
    execOld("insert into Magzinfo (Code, Name) values ('M1', '刊')");
    open();
    chooseOld();
    script.ExpectMessage("是否要升级。", IDOK);
    script.ExpectMessage("数据升级成功!", IDOK);
    script.ExpectMessage("数据库中有重复的编号,请修改后重新进入系统:\n图书编号: B1(2)", IDOK);
    SendClick(form->BitBtn1);
    EXPECT_TRUE(script.Unused().empty());
    EXPECT_EQ(Rows("select Code, Name from Bookinfo order by Name"),
              (std::vector<std::string>{"B2|丙", "B1|乙", "B1|甲"}));
    EXPECT_FALSE(CodeIsUnique(DMData->ADOConnection1, "Bookinfo"));
    EXPECT_TRUE(CodeIsUnique(DMData->ADOConnection1, "Magzinfo"));
}

TEST_F(UpgradeAdminTest, withoutAnOlderDatabaseItSaysSo) {
    open();
    showPage(form->TabSheet3);
    script.ExpectMessage("是否要升级。", IDOK);
    script.ExpectMessage("请设置右边的原账套数据库", IDOK);
    SendClick(form->BitBtn1);
    EXPECT_EQ(Rows("select Code from Readerinfo"), (std::vector<std::string>{"R1"}));
}

} // namespace
