// The lookup dialog and the item line dialogs: the condition text, the
// dialog as it opens without the shared data module, its window position,
// the quantity dialog over a grid's own line, the item picker and the
// new-item dialog's item completion.
#include "GridFixture.h"

#include "DialogSeam.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "vq/controls/VqDBCombos.h"
#include "vq/controls/VqEdits.h"
#include "vq/controls/VqStdCtrls.h"
#include "vq/data/VqFieldLookup.h"
#include "vq/data/VqItemDlgs.h"
#include "vq/data/VqRctStr.h"
#include "vq/data/VqSelect.h"
#include "vq/data/VqTextUtils.h"

#include <QWidget>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct OperatorRow {
    const char* name;
    const char* type;
    const char* value;
    const char* op;
    const char* text;
};

class SelectOperator : public ::testing::TestWithParam<OperatorRow> {};

TEST_P(SelectOperator, givesTheConditionTail) {
    EXPECT_EQ(SelectOperatorText(GetParam().type, GetParam().value, GetParam().op), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SelectOperator,
    ::testing::Values(OperatorRow{"startsWithTrimsAndQuotesNothingMore", "Varchar", " AB ", "前几位字符为", " like 'AB%'"},
                      OperatorRow{"endsWith", "Char", "AB", "后几位字符为", " like '%AB'"},
                      OperatorRow{"contains", "varchar", "AB", "包含于", " like '%AB%'"},
                      OperatorRow{"integerEquals", "Integer", "5", "等于", "=5"},
                      OperatorRow{"integerGreater", "Integer", "7", "大于", " >7"},
                      OperatorRow{"notEqualDate", "Datetime", "2003-01-31", "不等于", " <>'2003-01-31'"},
                      OperatorRow{"atMost", "Float", "2.5", "小于等于", " <=2.5"},
                      OperatorRow{"atLeast", "Float", "-1", "大于等于", " >=-1"},
                      OperatorRow{"less", "Integer", "3", "小于", " <3"},
                      OperatorRow{"booleanYes", "Boolean", "是", "等于", "=1"},
                      OperatorRow{"booleanOther", "Boolean", "否", "等于", "=0"},
                      // Typed values never become SQL: quotes are doubled,
                      // and a number type with text is compared as text.
                      OperatorRow{"quoteInTextIsDoubled", "Varchar", "O'Brien", "等于", "='O''Brien'"},
                      OperatorRow{"quoteInPatternIsDoubled", "Varchar", "a'b", "包含于", " like '%a''b%'"},
                      OperatorRow{"textInANumberTypeIsQuoted", "Integer", "5 or 1=1", "等于", "='5 or 1=1'"},
                      OperatorRow{"unknownOperatorGivesNothing", "Integer", "5", "近似", ""}),
    RowName());

class SelectDialogTest : public VQDBGridTest {
protected:
    // The dialog keeps its position in the one ConnectSQL.ini beside the
    // program, and ctest runs these tests as parallel processes of one
    // program: each holds the file alone, or one test's clean-up deletes
    // what another has just written.
    int iniLock = -1;
    void SetUp() override {
        iniLock = ::open(GetExeRelativePath("ConnectSQL.ini.lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
        if (iniLock >= 0) ::flock(iniLock, LOCK_EX);
        VQDBGridTest::SetUp();
        script = std::make_unique<TSeamScript>();
        script->OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    }
    void TearDown() override {
        EXPECT_TRUE(script->Unused().empty()) << "an expected window did not show";
        script.reset();
        std::remove(GetExeRelativePath("ConnectSQL.ini").c_str());
        VQDBGridTest::TearDown();
        if (iniLock >= 0) ::close(iniLock);
    }
    void AddCondition(TFrmSelect* f, const char* table, const char* field, const char* type, const char* op,
                      const char* value) {
        TVQRctStr* t = f->MMTCondition;
        if (!t->Active()) t->Open();
        t->Append();
        t->FieldByName("TableName")->SetAsString(table);
        t->FieldByName("FieldName")->SetAsString(field);
        t->FieldByName("FieldType")->SetAsString(type);
        t->FieldByName("OperateChar")->SetAsString(op);
        t->FieldByName("FieldValue")->SetAsString(value);
        t->Post();
    }
    std::unique_ptr<TSeamScript> script;
};

TEST_F(SelectDialogTest, filledConditionsJoinWithAndAndEmptyOnesAreSkipped) {
    auto f = std::make_unique<TFrmSelect>(nullptr);
    AddCondition(f.get(), "T1", "F1", "Integer", "等于", "5");
    AddCondition(f.get(), "T9", "F9", "Integer", "等于", "");
    AddCondition(f.get(), "T2", "F2", "Integer", "大于", "7");
    EXPECT_EQ(f->ConditionText(), " T1.F1=5 and T2.F2 >7");
    auto* g = new TFrmSelect(form);
    AddCondition(g, "T", "F", "Varchar", "前几位字符为", " AB ");
    EXPECT_EQ(g->ConditionText(), " T.F like 'AB%'");
}

// The field lookup of a field with a bill action opens the dialog; with no
// structure it searches at once, finds nothing and closes on Enter.
TEST_F(SelectDialogTest, withoutTheModuleTheDialogOpensEmptyAndTypingTurnsTheBoxBlue) {
    auto* bill = new TVQRctStr(form);
    bill->FieldDefs().Add("ItemCode", ftString, 20);
    TMstSection* s = bill->MstSections().Add();
    s->FieldName = "ItemCode";
    s->CFieldName = "编号";
    s->Visible = true;
    s->ActionType = "BMaterial";
    bill->Open();
    bill->Append();
    bill->Post();
    src->SetDataSet(bill);
    Open();
    bill->BuildGridColumns(grid);
    script->ExpectForm("TFrmSelect", mrCancel, {}, [](TCustomForm* form) {
        auto* f = static_cast<TFrmSelect*>(form);
        EXPECT_EQ(f->Caption(), "请选择资料");
        EXPECT_EQ(f->Notebook->PageIndex(), 0);
        EXPECT_FALSE(f->BtnPre->Visible());
        EXPECT_TRUE(f->BtnAdd->Visible());
        EXPECT_TRUE(f->BtnAddRct->Visible()); // a BMaterial lookup from ItemCode's column
        EXPECT_TRUE(f->EdtFind->Focused());
        SendTextToFocus(f->EdtFind, "X1");
        EXPECT_EQ(f->EdtFind->Font()->Color(), clBlue);
        EXPECT_EQ(f->PnlHint->Caption(), "");
        const std::string shot = ScreensDir() + "/vq-select-dialog.png";
        EXPECT_TRUE(SaveFormPng(f, shot));
        SendKeyToFocus(f->EdtFind, VK_RETURN);
    });
    ShowFieldLookup(grid);
    EXPECT_EQ(bill->FieldByName("ItemCode")->AsString(), "");
}

TEST_F(SelectDialogTest, aPositionWithOnlyTopMovesTheDialogVerticallyAndSavingWritesAllFour) {
    const std::string ini = GetExeRelativePath("ConnectSQL.ini");
    WriteIniString(ini, "选择窗口BStock", "top", "123");
    auto* f = new TFrmSelect(form);
    f->SetAsker(nullptr, "BStock");
    f->SetBounds(40, 50, 651, 406);
    f->LoadWindowPosition();
    EXPECT_EQ(f->Top(), 123);
    EXPECT_EQ(f->Left(), 40);
    EXPECT_EQ(f->Width(), 651);
    EXPECT_EQ(f->Height(), 406);
    f->SetBounds(7, 8, 600, 300);
    f->SaveWindowPosition();
    TIniFile file(ini);
    EXPECT_EQ(file.ReadString("选择窗口BStock", "Top", ""), "8");
    EXPECT_EQ(file.ReadString("选择窗口BStock", "left", ""), "7");
    EXPECT_EQ(file.ReadString("选择窗口BStock", "Width", ""), "600");
    EXPECT_EQ(file.ReadString("选择窗口BStock", "Height", ""), "300");
}

TEST(ItemLevelCode, isTheTextAfterTheFirstBlankOrTheWholeCode) {
    EXPECT_EQ(ItemLevelCode("A 123"), "123");
    EXPECT_EQ(ItemLevelCode("A123"), "A123");
    EXPECT_EQ(ItemLevelCode("A " + std::string(40, '9')), std::string(30, '9'));
}

class ItemDialogTest : public SelectDialogTest {
protected:
    void SetUpLines(bool withItemCode) {
        lines = new TVqMemTable(form);
        lines->FieldDefs().Add("ItemCode", ftString, 20);
        lines->FieldDefs().Add("Qty", ftInteger);
        lines->FieldDefs().Add("Price", ftFloat);
        lines->Open();
        lines->Append();
        lines->FieldByName("ItemCode")->SetAsString("P-1");
        lines->FieldByName("Price")->SetAsFloat(2.5);
        src->SetDataSet(lines);
        AddColumn(withItemCode ? "ItemCode" : "Qty", withItemCode ? "编号" : "数量");
        if (withItemCode) AddColumn("Qty", "数量");
        AddColumn("Price", "单价");
        Open();
        grid->SetSelectedIndex(0);
    }
    TVqMemTable* lines = nullptr;
};

TEST_F(ItemDialogTest, quantityDialogPlacesItsEditsAndEnterInTheLastSaves) {
    SetUpLines(true);
    script->ExpectForm("TFrmAddItemRct", mrCancel, {}, [](TCustomForm* form) {
        auto* f = static_cast<TFrmAddItemRct*>(form);
        ASSERT_EQ(f->Edits().size(), 3u);
        EXPECT_EQ(f->Edits()[0]->Top(), 65);
        EXPECT_FALSE(f->Edits()[0]->Enabled());
        EXPECT_EQ(f->Edits()[0]->LabelCaption(), "编号");
        EXPECT_EQ(f->Edits()[1]->Top(), 87);
        EXPECT_TRUE(f->Edits()[1]->Focused());
        EXPECT_EQ(f->Edits()[2]->Top(), 109);
        EXPECT_EQ(f->Edits()[2]->Text(), "2.5");
        EXPECT_TRUE(SaveFormPng(f, ScreensDir() + "/vq-add-item-rct.png"));
        SendTextToFocus(f->Edits()[1], "6");
        SendKeyToFocus(f->Edits()[1], VK_RETURN);
        EXPECT_TRUE(f->Edits()[2]->Focused());
        SendKeyToFocus(f->Edits()[2], VK_RETURN);
    });
    EXPECT_EQ(ShowAddItemRct(grid), mrOk);
    EXPECT_EQ(lines->State(), dsBrowse);
    EXPECT_EQ(lines->RecordCount(), 1);
    EXPECT_EQ(lines->FieldByName("Qty")->AsInteger(), 6);
}

TEST_F(ItemDialogTest, quantityDialogClosesAtOnceOutsideTheItemCodeColumn) {
    SetUpLines(false);
    script->ExpectForm("TFrmAddItemRct", mrCancel);
    EXPECT_NE(ShowAddItemRct(grid), mrOk);
    // Closing without saving cancels the pending line.
    EXPECT_EQ(lines->State(), dsBrowse);
    EXPECT_EQ(lines->RecordCount(), 0);
}

TEST_F(ItemDialogTest, aNameThatMatchesNoItemEmptiesTheFieldAndOpensTheNewItemDialog) {
    SetUpLines(true);
    TField* code = lines->FieldByName("ItemCode");
    int setText = 0;
    code->OnSetText = [&](TField*, const std::string&) { ++setText; };
    std::string shownName;
    script->ExpectForm("TFrmNewMaterial", mrCancel, {}, [&](TCustomForm* form) {
        auto* f = static_cast<TFrmNewMaterial*>(form);
        shownName = f->ItemName();
        EXPECT_EQ(f->Caption(), "新件");
    });
    SelectItemName("轴承", "", code);
    EXPECT_EQ(shownName, "轴承");
    EXPECT_TRUE(code->IsNull());
    EXPECT_EQ(setText, 1);
    // An empty name only empties the field.
    code->SetAsString("P-2");
    SelectItemName("", "", code);
    EXPECT_TRUE(code->IsNull());
    EXPECT_EQ(setText, 2);
}

TEST_F(ItemDialogTest, newItemCompletesCodesAndCannotSaveWithoutTheModule) {
    auto* f = new TFrmNewMaterial(form, nullptr, "", "");
    TVQRctStr* t = f->TblMaterial;
    for (const char* n : {"ItemCode", "PartsCode", "Model", "LevelCode", "ItemName", "PY", "WBH", "WB"})
        t->FieldDefs().Add(n, ftString, 40);
    t->Open();
    t->Append();
    t->FieldByName("PartsCode")->SetAsString("a 123");
    t->FieldByName("Model")->SetAsString("jx");
    f->Save();
    EXPECT_EQ(t->FieldByName("ItemCode")->AsString(), "A 123");
    EXPECT_EQ(t->FieldByName("PartsCode")->AsString(), "A 123");
    EXPECT_EQ(t->FieldByName("Model")->AsString(), "JX");
    EXPECT_EQ(t->FieldByName("LevelCode")->AsString(), "123");
    t->FieldByName("ItemCode")->SetAsString("b77");
    f->CompleteItem();
    EXPECT_EQ(t->FieldByName("LevelCode")->AsString(), "B77");
    delete f;
}

} // namespace
