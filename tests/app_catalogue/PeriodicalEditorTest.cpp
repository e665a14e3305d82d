// The periodical editor, the write-off editor and the subscription editor
// through their windows: an earlier issue copied by ISSN only in add mode,
// call numbers from the class's call numbers, the received count of the
// subscriptions, a rename carrying loans and write-offs, write-offs that
// set, keep and give back the copy's state and amount, and the order
// amount.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "DBCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/PeriodicalRules.h"
#include "app/uGlobal.h"
#include "app/uMagzDataEdit.h"
#include "app/uMagzOrderDataEdit.h"
#include "app/uMagzRejectDataEdit.h"
#include "gridlib/edits/DBCtrlsEh.h"

#include <memory>

namespace {

class PeriodicalEditorTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        BusinessDate = EncodeDate(2024, 5, 6);
        Exec("insert into Type (sKey, SortCode, SortName, ParentKey) values ('000000', 'D6', '政治', '00'), "
             "('000001', 'D61', '政治理论', '00')");
        Exec("insert into Magzinfo (Code, BookIsbn, Name, SortCode, SortNum, Scode, Writer, Orderyear, PeriodNo, "
             "BookPrice, RegDate, IsNew) values "
             "('M001', '1000-0001', '求是', 'D6', '1', 'D6/1', '求是杂志社', '2023', '12', 12.5, '2023-12-01', 0), "
             "('M002', '1000-0001', '求是', 'D6', '2', 'D6/2', '求是杂志社', '2024', '1', 13, '2024-01-02', 1), "
             "('M007', '1000-0009', '半月谈', 'D6', '7', 'D6/7', '新华社', '2024', '2', 8, '2024-01-20', 1), "
             "('M100', '1000-0100', '理论', 'D61', '3', 'D61/3', '', '2024', '1', 5, '2024-01-20', 1)");
    }
    template <class T>
    std::unique_ptr<T> open(int mode) {
        std::unique_ptr<T> e(new T(nullptr));
        e->EditMode = uint8_t(mode);
        return e;
    }
    void typeInto(TWinControl* box, const std::string& text) {
        SendKey(box, 'A', TShiftState() << ssCtrl);
        SendText(box, text);
    }
    int64_t idOf(const std::string& code) { return std::stoll(Scalar("select Id from Magzinfo where Code='" + code + "'")); }
};

TEST_F(PeriodicalEditorTest, newIssueTakesAnEarlierIssueByIssnAndTheNextCallNumber) {
    auto e = open<TFrmMagzDataEdit>(1);
    ShowAndActivate(e.get());
    typeInto(e->EditCode, "M010");
    SendKey(e->EditCode, VK_TAB);
    typeInto(e->EditISBN, "1000-0001");
    SendKey(e->EditISBN, VK_TAB);
    EXPECT_EQ(e->EditName->Text(), "求是");
    EXPECT_EQ(e->AdoqEdit->FieldByName("Writer")->AsString(), "求是杂志社");
    // Copied data keeps today's registration: the daily lists find it.
    EXPECT_EQ(e->AdoqEdit->FieldByName("RegDate")->AsDateTime().Val, BusinessDate.Val);
    e->SetActiveControl(e->EditSort);
    SendKey(e->EditSort, VK_TAB);
    EXPECT_EQ(e->AdoqEdit->FieldByName("Scode")->AsString(), "D6/8");
    EXPECT_EQ(e->AdoqEdit->FieldByName("SortNum")->AsString(), "8");
    SendClick(e->BtSaveAdd);
    // The issue data came with the copy, for the operator to correct.
    EXPECT_EQ(Rows("select Code, Name, Scode, Orderyear, PeriodNo, iif(IsNew,1,0) from Magzinfo where Code='M010'"),
              (std::vector<std::string>{"M010|求是|D6/8|2023|12|0"}));
}

TEST_F(PeriodicalEditorTest, editedIssueIsNeverOverwrittenByLeavingTheIssnBox) {
    auto e = open<TFrmMagzDataEdit>(2);
    e->EditId = idOf("M002");
    e->Rbx->SetChecked(true);
    ShowAndActivate(e.get());
    EXPECT_FALSE(e->DBEdit9->Visible());
    EXPECT_TRUE(e->DBEdit11->Visible());
    e->SetActiveControl(e->EditISBN);
    SendKey(e->EditISBN, VK_TAB);
    e->SetActiveControl(e->EditSort);
    SendKey(e->EditSort, VK_TAB);
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(Rows("select Orderyear, PeriodNo, Scode, BookPrice, iif(IsNew,1,0) from Magzinfo where Code='M002'"),
              (std::vector<std::string>{"2024|1|D6/2|13|1"}));
}

TEST_F(PeriodicalEditorTest, newCopyCountsOnTheSubscriptionsOfItsTitleOrIssn) {
    Exec("insert into MagzOrder (Code, Name, BookIsbn, RegQty, BeBuy) values ('S1', '求是', '', 12, 0), "
         "('S2', '别的', '2000-0002', 12, 0), ('S3', '无号', '', 12, 0), ('S4', '另名', '1000-0001', 12, 3)");
    auto e = open<TFrmMagzDataEdit>(1);
    ShowAndActivate(e.get());
    typeInto(e->EditCode, "M011");
    typeInto(e->EditISBN, "1000-0001");
    SendKey(e->EditISBN, VK_TAB);
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(Rows("select Code, BeBuy from MagzOrder order by Code"),
              (std::vector<std::string>{"S1|1", "S2|0", "S3|0", "S4|4"}));
}

TEST_F(PeriodicalEditorTest, copyWithoutIssnCountsOnlyByTitle) {
    Exec("insert into MagzOrder (Code, Name, BookIsbn, RegQty, BeBuy) values ('S3', '无号', '', 12, 0), "
         "('S5', '新刊', '', 12, 0)");
    auto e = open<TFrmMagzDataEdit>(1);
    ShowAndActivate(e.get());
    typeInto(e->EditCode, "M012");
    typeInto(e->EditName, "新刊");
    typeInto(e->EditSort, "D61");
    SendKey(e->EditSort, VK_TAB);
    EXPECT_EQ(e->AdoqEdit->FieldByName("Scode")->AsString(), "D61/4");
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(Rows("select Code, BeBuy from MagzOrder order by Code"), (std::vector<std::string>{"S3|0", "S5|1"}));
}

TEST_F(PeriodicalEditorTest, renameCarriesPeriodicalLoansAndWriteOffs) {
    Exec("insert into Borrowinfo1 (Code, Rcode, State) values ('M007', 'R1', '已还'), ('M001', 'R1', '未还')");
    Exec("insert into MagzReject (Code, Finesum) values ('M007', 8)");
    auto e = open<TFrmMagzDataEdit>(2);
    e->EditId = idOf("M007");
    ShowAndActivate(e.get());
    typeInto(e->EditCode, "M077");
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(Rows("select Code from Borrowinfo1 order by Id"), (std::vector<std::string>{"M077", "M001"}));
    EXPECT_EQ(Rows("select Code from MagzReject"), (std::vector<std::string>{"M077"}));
}

TEST_F(PeriodicalEditorTest, takenCodeIsRefusedByTheSaveItself) {
    auto e = open<TFrmMagzDataEdit>(2);
    e->EditId = idOf("M007");
    ShowAndActivate(e.get());
    e->AdoqEdit->FieldByName("Code")->SetAsString("M001");
    script.ExpectMessage("该图书已有重码！请重新录入", IDOK);
    EXPECT_THROW(e->SaveRecord(), EAbort);
    EXPECT_EQ(Scalar("select count(*) from Magzinfo where Code='M001'"), "1");
}

TEST_F(PeriodicalEditorTest, saveAndAddWithCopyStartsTheNextIssueFromTheLastOne) {
    auto e = open<TFrmMagzDataEdit>(1);
    ShowAndActivate(e.get());
    SendClick(e->ChkCopy);
    typeInto(e->EditCode, "M020");
    typeInto(e->EditName, "读者");
    typeInto(e->EditSort, "D6");
    SendKey(e->EditSort, VK_TAB);
    typeInto(e->DBEdit10, "5");
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(e->AdoqEdit->State(), dsInsert);
    EXPECT_EQ(e->AdoqEdit->FieldByName("Code")->AsString(), "");
    EXPECT_EQ(e->AdoqEdit->FieldByName("Name")->AsString(), "读者");
    EXPECT_EQ(e->AdoqEdit->FieldByName("PeriodNo")->AsString(), "5");
    EXPECT_EQ(e->AdoqEdit->FieldByName("Scode")->AsString(), "D6/8");
}

// A picture of the editor on a current issue, for a person to look at.
TEST_F(PeriodicalEditorTest, pictureOfTheEditorOnACurrentIssue) {
    auto e = open<TFrmMagzDataEdit>(2);
    e->EditId = idOf("M002");
    e->Rbx->SetChecked(true);
    ShowAndActivate(e.get());
    ProcessEvents();
    const std::string screens = std::string(BUILD_DIR) + "/test-output/screens/";
    ForceDirectories(screens);
    EXPECT_TRUE(SaveFormPng(e.get(), screens + "periodical-editor.png"));
    e->AdoqEdit->Cancel();
}

class WriteOffEditorTest : public PeriodicalEditorTest {};

TEST_F(WriteOffEditorTest, writeOffSetsTheStateTakesThePriceAndKeepsAStoredAmount) {
    Exec("insert into Readerinfo (Code, Name) values ('R1', '张三')");
    {
        auto e = open<TFrmMagzRejectDataEdit>(1);
        ShowAndActivate(e.get());
        typeInto(e->EditRcode, "R1");
        SendKey(e->EditRcode, VK_RETURN);
        EXPECT_EQ(e->EditRName->Text(), "张三");
        SendText(e->EditBCode, "M001");
        SendKey(e->EditBCode, VK_RETURN);
        EXPECT_EQ(e->EditBName->Text(), "求是");
        EXPECT_EQ(e->EditYear->Text(), "2023");
        SendClick(e->BtSaveAdd);
    }
    EXPECT_EQ(Rows("select Code, RCode, RejectDate, Finesum from MagzReject"),
              (std::vector<std::string>{"M001|R1|2024-05-06|12.5"}));
    EXPECT_EQ(Scalar("select IsOut from Magzinfo where Code='M001'"), "报废");
    // The price changes later; the write-off keeps what was charged.
    Exec("update Magzinfo set BookPrice=20 where Code='M001'");
    Exec("update MagzReject set Finesum=9");
    {
        auto e = open<TFrmMagzRejectDataEdit>(2);
        e->RejectRowId = std::stoll(Scalar("select rowid from MagzReject"));
        ShowAndActivate(e.get());
        EXPECT_EQ(e->EditBName->Text(), "求是");
        typeInto(e->DBEdit1, "破损");
        SendClick(e->BtSaveAdd);
    }
    EXPECT_EQ(Rows("select Code, Finesum, Remarks from MagzReject"), (std::vector<std::string>{"M001|9|破损"}));
}

TEST_F(WriteOffEditorTest, changingTheCopyGivesTheFormerCopyItsStateBack) {
    Exec("update Magzinfo set IsOut='报废' where Code='M001'");
    Exec("insert into MagzReject (Code, Finesum) values ('M001', 12.5)");
    Exec("insert into Borrowinfo1 (Code, Rcode, State) values ('M001', 'R1', '未还')");
    auto e = open<TFrmMagzRejectDataEdit>(2);
    e->RejectRowId = std::stoll(Scalar("select rowid from MagzReject"));
    ShowAndActivate(e.get());
    typeInto(e->EditBCode, "M007");
    SendKey(e->EditBCode, VK_RETURN);
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(Rows("select Code, IsOut from Magzinfo where Code in ('M001','M007') order by Code"),
              (std::vector<std::string>{"M001|外借", "M007|报废"}));
    EXPECT_EQ(Rows("select Code, Finesum from MagzReject"), (std::vector<std::string>{"M007|8"}));
}

TEST_F(WriteOffEditorTest, unknownCopyIsRefusedAndNothingIsWritten) {
    auto e = open<TFrmMagzRejectDataEdit>(1);
    ShowAndActivate(e.get());
    SendText(e->EditBCode, "X999");
    SendKey(e->EditBCode, VK_RETURN);
    script.ExpectMessage("无此期刊编号!", IDOK);
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(Scalar("select count(*) from MagzReject"), "0");
}

TEST_F(WriteOffEditorTest, writeOffOfACopySinceDeletedCanStillBeCorrected) {
    Exec("insert into MagzReject (Code, Finesum) values ('M404', 6)");
    auto e = open<TFrmMagzRejectDataEdit>(2);
    e->RejectRowId = std::stoll(Scalar("select rowid from MagzReject"));
    ShowAndActivate(e.get());
    typeInto(e->DBEdit1, "已注销");
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Rows("select Code, Finesum, Remarks from MagzReject"), (std::vector<std::string>{"M404|6|已注销"}));
}

// Saved by its key with the focus still in the class box: the save itself
// looks the class up.
TEST_F(PeriodicalEditorTest, unknownClassIsRefusedByASaveThatNeverLeftItsBox) {
    auto e = open<TFrmMagzDataEdit>(1);
    ShowAndActivate(e.get());
    typeInto(e->EditCode, "M030");
    typeInto(e->EditName, "新刊");
    typeInto(e->EditSort, "ZZ9");
    script.ExpectMessage("无此类别!", IDOK);
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Scalar("select count(*) from Magzinfo where Code='M030'"), "0");
    EXPECT_EQ(e->EditSort->Text(), "");
    e->AdoqEdit->Cancel();
    e.reset();

    // A copy whose class has left the tree since is still corrected and saved.
    Exec("update Magzinfo set SortCode='X1' where Code='M007'");
    e = open<TFrmMagzDataEdit>(2);
    e->EditId = idOf("M007");
    ShowAndActivate(e.get());
    typeInto(e->DBEdit10, "3");
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Rows("select PeriodNo, SortCode from Magzinfo where Code='M007'"), (std::vector<std::string>{"3|X1"}));
}

struct RestoreCase {
    const char* name;
    const char* loanState; // "" for no loan row
    const char* expected;
};

class WriteOffDeleteTest : public PeriodicalEditorTest, public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(WriteOffDeleteTest, deletingGivesTheCopyBackWhatItsLoansSay) {
    const RestoreCase& c = GetParam();
    Exec("update Magzinfo set IsOut='报废' where Code='M001'");
    Exec("insert into MagzReject (Code) values ('M001'), ('M001'), ('M007')");
    if (*c.loanState)
        Exec(std::string("insert into Borrowinfo1 (Code, Rcode, State) values ('M001', 'R1', '") + c.loanState + "')");
    TTransaction t(dm->ADOConnection1);
    DeleteMagzWriteOffs(dm->ADOConnection1, "M001");
    t.Commit();
    EXPECT_EQ(Scalar("select IsOut from Magzinfo where Code='M001'"), c.expected);
    EXPECT_EQ(Rows("select Code from MagzReject"), (std::vector<std::string>{"M007"}));
}

const RestoreCase restoreCases[] = {
    {"openLoan", "未还", "外借"}, {"returnedLoan", "已还", ""}, {"noLoan", "", ""}};
INSTANTIATE_TEST_SUITE_P(Loans, WriteOffDeleteTest, ::testing::ValuesIn(restoreCases), RowName());

TEST_F(PeriodicalEditorTest, subscriptionAmountFollowsPriceAndCopiesAndCanBeTypedOver) {
    auto e = open<TFrmMagzOrderDataEdit>(1);
    ShowAndActivate(e.get());
    typeInto(e->EditCode, "S9");
    typeInto(e->EditName, "求是");
    typeInto(e->EditPrice, "12");
    SendKey(e->EditPrice, VK_TAB);
    typeInto(e->EditRegQty, "3");
    SendKey(e->EditRegQty, VK_TAB);
    EXPECT_EQ(e->AdoqEdit->FieldByName("BookSum")->AsString(), "36");
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(Rows("select Code, BookPrice, RegQty, BookSum, RegDate from MagzOrder"),
              (std::vector<std::string>{"S9|12|3|36|2024-05-06"}));
    typeInto(e->EditCode, "S9");
    script.ExpectMessage("该编号已有重码！请重新录入", IDOK);
    SendKey(e->EditCode, VK_TAB);
    EXPECT_EQ(e->AdoqEdit->FieldByName("Code")->AsString(), "");
}

} // namespace
