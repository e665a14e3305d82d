// The bill-structure table on a structure built in code: section names,
// grid columns from a structure, the layout saved back, new-line defaults
// and line numbers, lookups, the master query text, and what the loading
// and saving routines give without the shared data module.
#include "GridFixture.h"

#include "DialogSeam.h"
#include "vq/data/VqFieldLookup.h"
#include "vq/data/VqRctStr.h"

namespace {

struct SectionRow {
    const char* name;
    const char* fieldName;
    const char* lookUp;
    const char* alias;
    const char* source;
    const char* lookupTable;
};

class SectionNames : public ::testing::TestWithParam<SectionRow> {};

TEST_P(SectionNames, deriveAliasSourceAndLookupTable) {
    TMstSection s;
    s.FieldName = GetParam().fieldName;
    s.LookUp = GetParam().lookUp;
    EXPECT_EQ(s.Alias(), GetParam().alias);
    EXPECT_EQ(s.Source(), GetParam().source);
    EXPECT_EQ(s.LookupTable(), GetParam().lookupTable);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SectionNames,
    ::testing::Values(SectionRow{"expressionWithAlias", "a.Code as BookCode", "", "BookCode", "a.Code ", ""},
                      SectionRow{"lookupColumn", "Code", "tBook[BCode]", "Code", "BCode", "tBook"},
                      SectionRow{"lookupWithoutColumn", "Name", "tBook", "Name", "Name", "tBook"}),
    RowName());

TEST(MstSections, exchangeSwapsContentsAndIgnoresBadIndexes) {
    TMstSections s;
    s.Add()->FieldName = "A";
    s.Add()->FieldName = "B";
    s.Exchange(-1, 1);
    s.Exchange(0, 2);
    EXPECT_EQ(s.Items(0)->FieldName, "A");
    s.Exchange(0, 1);
    EXPECT_EQ(s.Items(0)->FieldName, "B");
    EXPECT_EQ(IndexOfSection(s, "a"), 1);
    EXPECT_EQ(IndexOfSection(s, "C"), -1);
}

struct SqlRow {
    const char* name;
    const char* sql;
    const char* condition;
    const char* top;
    const char* expected;
};

class MasterQuery : public ::testing::TestWithParam<SqlRow> {};

TEST_P(MasterQuery, joinsTheConditionAndTopClause) {
    TVQRctStr t(nullptr);
    t.SQLMstSQL = GetParam().sql;
    EXPECT_EQ(t.MasterQueryText(GetParam().condition, GetParam().top), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MasterQuery,
    ::testing::Values(SqlRow{"noWhere", "Select a from t", "x=1", "", "Select a from t Where x=1"},
                      SqlRow{"existingWhere", "Select a from t wHere y=2", "x=1", "", "Select a from t wHere x=1 and  y=2"},
                      SqlRow{"topClause", "Select a from t", "", "Top 5", "Select Top 5  a from t"},
                      SqlRow{"nothingAdded", "Select a from t", "", "", "Select a from t"}),
    RowName());

class RctStrGridTest : public VQDBGridTest {
protected:
    void SetUp() override {
        VQDBGridTest::SetUp();
        script = std::make_unique<TSeamScript>();
        script->OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    }
    void TearDown() override {
        EXPECT_TRUE(script->Unused().empty()) << "an expected window did not show";
        script.reset();
        VQDBGridTest::TearDown();
    }
    TMstSection* Section(TVQRctStr& s, const char* field, const char* caption, bool visible, bool canNull = true) {
        TMstSection* x = s.MstSections().Add();
        x->FieldName = field;
        x->CFieldName = caption;
        x->Visible = visible;
        x->CanNull = canNull;
        return x;
    }
    std::unique_ptr<TSeamScript> script;
};

TEST_F(RctStrGridTest, columnsFollowTheStructureAndInvisibleRequiredFieldStaysRequired) {
    TVQRctStr s(nullptr);
    Section(s, "Code", "条码", true, false);
    Section(s, "Name", "书名", true)->ActionType = "BPYWB";
    s.MstSections().Items(1)->displaySize = 120;
    Section(s, "Copies", "册数", false, false);
    Section(s, "Nope", "无", true);
    Section(s, "Amount", "金额", true)->IsReadOnly = true;
    s.MstSections().Items(4)->ActionType = "X";
    Open();
    script->ExpectMessage("Nope不存在!!", IDOK);
    s.BuildGridColumns(grid);
    ASSERT_EQ(grid->Columns()->Count(), 3);
    EXPECT_EQ(grid->Columns()->Items(0)->Title()->GetCaption(), "条码");
    EXPECT_EQ(grid->Columns()->Items(0)->Title()->Font()->Color(), clNavy);
    EXPECT_EQ(grid->Columns()->Items(1)->Title()->GetCaption(), "书名");
    EXPECT_EQ(grid->Columns()->Items(1)->GetWidth(), 120);
    EXPECT_EQ(grid->Columns()->Items(1)->ButtonStyle(), TVQColumnButtonStyle::cbsEllipsis);
    // Read-only: no button even with an input help.
    EXPECT_EQ(grid->Columns()->Items(2)->ButtonStyle(), TVQColumnButtonStyle::cbsAuto);
    EXPECT_TRUE(grid->Columns()->Items(2)->ReadOnly());
    EXPECT_TRUE(table->FieldByName("Code")->Required());
    EXPECT_TRUE(table->FieldByName("Copies")->Required());
    EXPECT_FALSE(table->FieldByName("Name")->Required());
}

TEST_F(RctStrGridTest, savedLayoutPutsTheDraggedColumnsSectionFirstWithEachWidth) {
    TVQRctStr s(nullptr);
    Section(s, "Code", "条码", true);
    Section(s, "Name", "书名", true);
    Section(s, "Amount", "金额", true);
    Open();
    s.BuildGridColumns(grid);
    grid->Columns()->Items(0)->SetWidth(70);
    grid->Columns()->Items(1)->SetWidth(110);
    grid->Columns()->Items(2)->SetWidth(90);
    grid->Columns()->Items(2)->SetIndex(0);
    s.SaveGridLayoutToRctStr(grid, nullptr, "B01", true);
    EXPECT_EQ(s.MstSections().Items(0)->FieldName, "Amount");
    EXPECT_EQ(s.MstSections().Items(1)->FieldName, "Code");
    EXPECT_EQ(s.MstSections().Items(2)->FieldName, "Name");
    EXPECT_EQ(s.MstSections().Items(0)->displaySize, 90);
    EXPECT_EQ(s.MstSections().Items(1)->displaySize, 70);
    EXPECT_EQ(s.MstSections().Items(2)->displaySize, 110);
}

TEST_F(RctStrGridTest, withoutTheSharedDataModuleStructuresNeitherLoadNorSave) {
    TVQRctStr s(nullptr);
    Section(s, "Code", "条码", true);
    s.MstTableName = "tBill";
    EXPECT_FALSE(s.LoadStructure("B01"));
    EXPECT_FALSE(s.SaveStructure("B01"));
    EXPECT_EQ(s.OpenStructureQuery("B01", table), 0);
    EXPECT_EQ(s.MstSections().Count(), 1);
    EXPECT_EQ(s.RctCode(), "");
    s.FieldDefs().Add("Code", ftString, 10);
    s.Open();
    s.Append();
    s.FieldByName("Code")->SetAsString("x");
    s.Post();
    EXPECT_FALSE(s.SaveToMasterTable("", false));
    EXPECT_EQ(s.RecordCount(), 1);
    script->ExpectMessage("RctStr 不能为空", IDOK);
    s.PrepareFromStructure("", true);
    EXPECT_TRUE(s.Active());
}

// The input help of a grid on a bill-structure table, chosen by the
// selected field's section.
class FieldLookupTest : public RctStrGridTest {
protected:
    void SetUp() override {
        RctStrGridTest::SetUp();
        bill = new TVQRctStr(form);
        bill->FieldDefs().Add("ItemName", ftString, 20);
        bill->FieldDefs().Add("Code", ftString, 10);
        bill->FieldDefs().Add("RegDate", ftDateTime);
        Section(*bill, "ItemName", "名称", true)->ActionType = "bpywb";
        Section(*bill, "Code", "编号", true);
        Section(*bill, "RegDate", "日期", true)->ActionType = "BGetDate";
        bill->Open();
        bill->Append();
        bill->FieldByName("ItemName")->SetAsString("螺栓");
        bill->Post();
        src->SetDataSet(bill);
        Open();
        bill->BuildGridColumns(grid);
    }
    void Select(int column) {
        const TPoint p = CellCentre(grid->GridColumnOf(grid->Columns()->Items(column)), 1);
        SendClick(grid, p.X, p.Y);
    }
    TVQRctStr* bill = nullptr;
};

TEST_F(FieldLookupTest, fieldWithoutInputHelpAsksForTheStructureAndChangesNothing) {
    Select(1);
    script->ExpectMessage("请先设置数据浏览结构!!", IDOK);
    ShowFieldLookup(grid);
    EXPECT_EQ(bill->State(), dsBrowse);
}

TEST_F(FieldLookupTest, nameListClosedWithEscapePicksNothingAndTheFieldKeepsItsValue) {
    Select(0);
    script->ExpectForm("FrmIME", mrCancel, {}, [](TCustomForm* f) {
        EXPECT_EQ(f->Caption(), "拼音五笔输入");
        SendKeyToFocus(f, VK_ESCAPE);
    });
    ShowFieldLookup(grid);
    EXPECT_EQ(ImeLastPick, "");
    EXPECT_EQ(bill->FieldByName("ItemName")->AsString(), "螺栓");
}

TEST_F(FieldLookupTest, dateInputHelpOpensTheDateDialog) {
    Select(2);
    script->ExpectForm("FrmSetQueryDate", mrCancel);
    ShowFieldLookup(grid);
}

TEST_F(FieldLookupTest, nameListOutsideTheNineKeysShowsNothing) {
    ShowImeNameList("IBookName", bill->FieldByName("ItemName"), "");
    EXPECT_TRUE(script->Shown().empty());
}

class RctStrLines : public ::testing::Test {
protected:
    void SetUp() override {
        t.FieldDefs().Add("ItemIndex", ftInteger);
        t.FieldDefs().Add("Name", ftString, 20);
        t.FieldDefs().Add("Done", ftBoolean);
        t.FieldDefs().Add("RegDate", ftDateTime);
        t.FieldDefs().Add("Price", ftCurrency);
        for (const char* f : {"ItemIndex", "Name", "Done", "RegDate"}) t.MstSections().Add()->FieldName = f;
        t.MstSections().Items(1)->DefaultValue = " '新书' ";
        t.MstSections().Items(2)->DefaultValue = "'1'";
        t.MstSections().Items(3)->DefaultValue = "系统时间";
        t.ItemField = "ItemIndex";
        t.Open();
    }
    void AddLines(int n) {
        for (int i = 0; i < n; ++i) {
            t.Append();
            t.Post();
        }
    }
    std::vector<int> Numbers() {
        std::vector<int> v;
        for (t.First(); !t.Eof(); t.Next()) v.push_back(t.FieldByName("ItemIndex")->AsInteger());
        return v;
    }
    TVQRctStr t{nullptr};
};

TEST_F(RctStrLines, newLineTakesDefaultsAndTheNextNumber) {
    AddLines(2);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2}));
    t.Last();
    EXPECT_EQ(t.FieldByName("Name")->AsString(), "新书");
    EXPECT_TRUE(t.FieldByName("Done")->AsBoolean());
    EXPECT_EQ(int(t.FieldByName("RegDate")->AsDateTime().Val), int(Date().Val));
    EXPECT_EQ(t.FieldByName("Price")->DisplayFormat(), "#.##0.00");
}

TEST_F(RctStrLines, deletingTheMiddleLineRenumbersAndKeepsThePlace) {
    AddLines(3);
    t.FieldByName("Name");
    t.SetRecNo(2);
    t.Edit();
    t.FieldByName("Name")->SetAsString("二");
    t.Post();
    t.SetRecNo(2);
    t.Delete();
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2}));
    EXPECT_EQ(t.RecordCount(), 2);
}

class RctStrLookups : public ::testing::Test {
protected:
    void SetUp() override {
        t.FieldDefs().Add("ItemCode", ftString, 10);
        t.FieldDefs().Add("Code", ftString, 10);
        t.FieldDefs().Add("Name", ftString, 20);
        t.FieldDefs().Add("Qty", ftInteger);
        TMstSection* code = t.MstSections().Add();
        code->FieldName = "Code";
        code->TableName = "tBill";
        code->LookUp = "tBook[BCode]";
        TMstSection* item = t.MstSections().Add();
        item->FieldName = "ItemCode";
        item->ActionType = "BPYWB";
        TMstSection* name = t.MstSections().Add();
        name->FieldName = "Name";
        name->LookupKey = "Code";
        TMstSection* byItem = t.MstSections().Add();
        byItem->FieldName = "Qty";
        byItem->LookupKey = "ItemCode[Qty]";
        t.Open();
        t.Append();
        t.FieldByName("Name")->SetAsString("旧名");
        t.FieldByName("Qty")->SetAsInteger(4);
        t.FieldByName("ItemCode")->SetAsString("I1");
    }
    TVQRctStr t{nullptr};
};

// No row can come back without the shared data module: the fields that
// follow a looked-up code are emptied, the code itself is kept.
TEST_F(RctStrLookups, codeNotFoundEmptiesTheFieldsThatFollowIt) {
    t.SetTextWithLookups(t.FieldByName("Code"), "B001");
    EXPECT_EQ(t.FieldByName("Code")->AsString(), "B001");
    EXPECT_TRUE(t.FieldByName("Name")->IsNull());
}

TEST_F(RctStrLookups, itemCodeNotFoundIsKeptForThePickerAndTouchesNothingElse) {
    t.SetTextWithLookups(t.FieldByName("ItemCode"), "I2");
    EXPECT_EQ(t.FieldByName("ItemCode")->AsString(), "I2");
    EXPECT_EQ(t.FieldByName("Qty")->AsInteger(), 4);
}

TEST_F(RctStrLookups, unchangedTextOfAFieldWithInputHelpDoesNothing) {
    t.SetTextWithLookups(t.FieldByName("ItemCode"), "I1");
    EXPECT_EQ(t.FieldByName("Qty")->AsInteger(), 4);
    t.SetTextWithLookups(t.FieldByName("Qty"), "9");
    EXPECT_EQ(t.FieldByName("Qty")->AsInteger(), 9);
}

} // namespace
