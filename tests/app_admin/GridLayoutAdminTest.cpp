// The grid layout reading rules as a table of cases (exact, then prefix
// match of the field name, visibility, order, first key row), and the same rules against
// the database: ModuleTable look-up, TableStructure order, grid columns and
// saving widths and order.
#include "AdminFixture.h"

#include "ADODB.h"
#include "DBGrids.h"
#include "app/uDMData.h"
#include "app/uGridLayout.h"

#include <memory>

namespace {

TLayoutRow row(const char* code, const char* name, int order, bool visible, bool key = false, int width = 60) {
    TLayoutRow r;
    r.ColumnsCode = code;
    r.ColumnsName = name;
    r.TableOrder = order;
    r.ColumnsLength = width;
    r.IsVisible = visible;
    r.IsKey = key;
    return r;
}

// Rows in TableOrder, as ReadLayout returns them.
const std::vector<TLayoutRow> Layout = {
    row("BookCode", "图书编码", 1, true, false, 80),
    row("BookName", "书名", 2, true, true, 200),
    row("Bookname2", "副书名", 3, false, true),
    row("Book", "书", 4, true),
    row("price", "价格", 5, true),
    row("Price", "定价", 6, false),
};

struct FieldCase {
    const char* name;
    const char* field;
    const char* expectedTitle; // "" when no row matches
};

class RowForFieldCases : public ::testing::TestWithParam<FieldCase> {};

TEST_P(RowForFieldCases, titleComesFromTheExactRowElseTheFirstWhoseCodeBeginsWithTheField) {
    const FieldCase& c = GetParam();
    const TLayoutRow* r = RowForField(Layout, c.field);
    EXPECT_EQ(r ? r->ColumnsName : std::string(), c.expectedTitle);
}

INSTANTIATE_TEST_SUITE_P(Rules, RowForFieldCases,
                         ::testing::Values(FieldCase{"exactCode", "BookCode", "图书编码"},
                                           FieldCase{"exactCodeBeforeAnEarlierPrefix", "Book", "书"},
                                           FieldCase{"prefixTakesTheFirstInOrder", "Boo", "图书编码"},
                                           FieldCase{"longerPrefix", "BookN", "书名"},
                                           FieldCase{"caseSensitiveLower", "price", "价格"},
                                           FieldCase{"caseSensitiveUpper", "Price", "定价"},
                                           FieldCase{"wrongCaseMatchesNothing", "PRICE", ""},
                                           FieldCase{"hiddenRowsStillGiveTitles", "Bookname", "副书名"},
                                           FieldCase{"fieldLongerThanCode", "BookCodeX", ""},
                                           FieldCase{"emptyFieldMatchesTheFirstRow", "", "图书编码"}),
                         RowName());

TEST(GridLayoutRules, shownRowsAreTheVisibleOnesInOrder) {
    std::vector<std::string> codes;
    for (const TLayoutRow& r : ShownRows(Layout)) codes.push_back(r.ColumnsCode);
    EXPECT_EQ(codes, (std::vector<std::string>{"BookCode", "BookName", "Book", "price"}));
}

TEST(GridLayoutRules, keyIsTheFirstRowMarkedKey) {
    ASSERT_NE(KeyRow(Layout), nullptr);
    EXPECT_EQ(KeyRow(Layout)->ColumnsCode, "BookName");
    EXPECT_EQ(KeyRow(ShownRows({row("a", "A", 1, true)})), nullptr);
}

class GridLayoutAdminTest : public AdminFixture {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        Exec("insert into ModuleTable (ModuleCode, TableCode) values ('FrmO''Book', 'T''1')");
        Exec("insert into TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, "
             "IsVisible) values "
             "('T''1', 'UseName', '名称', 2, 90, 0, 1),"
             "('T''1', 'UseCode', '编码', 1, 70, 1, 1),"
             "('T''1', 'Duty', '职务', 3, 50, 0, 0),"
             "('other', 'UseCode', '别的', 1, 10, 0, 1)");
    }
};

TEST_F(GridLayoutAdminTest, readsTheWindowsLayoutInOrder) {
    TADOConnection* c = DMData->ADOConnection1;
    EXPECT_EQ(LayoutCodeOf(c, "FrmO'Book"), "T'1");
    EXPECT_EQ(LayoutCodeOf(c, "FrmNone"), "");
    std::vector<std::string> rows;
    for (const TLayoutRow& r : ReadLayout(c, "T'1"))
        rows.push_back(r.ColumnsCode + "|" + r.ColumnsName + "|" + std::to_string(r.TableOrder) + "|" +
                       std::to_string(r.ColumnsLength) + "|" + (r.IsKey ? "K" : "-") + (r.IsVisible ? "V" : "-"));
    EXPECT_EQ(rows, (std::vector<std::string>{"UseCode|编码|1|70|KV", "UseName|名称|2|90|-V", "Duty|职务|3|50|--"}));
}

TEST_F(GridLayoutAdminTest, gridColumnsFollowTheLayoutAndSavingWritesWidthAndOrder) {
    TADOConnection* c = DMData->ADOConnection1;
    std::unique_ptr<TDBGrid> grid(new TDBGrid(nullptr));
    BuildGridColumns(grid.get(), ReadLayout(c, "T'1"));
    ASSERT_EQ(grid->Columns()->Count(), 2);
    EXPECT_EQ(grid->Columns()->Items(0)->FieldName(), "UseCode");
    EXPECT_EQ(grid->Columns()->Items(0)->Title()->Caption(), "编码");
    EXPECT_EQ(grid->Columns()->Items(0)->Width(), 70);
    EXPECT_EQ(grid->Columns()->Items(1)->Title()->Caption(), "名称");
    EXPECT_EQ(grid->Columns()->Items(1)->Title()->Alignment(), taCenter);

    SaveGridLayout(c, "T'1", {{"UseName", 120}, {"UseCode", 64}});
    EXPECT_EQ(Rows("select ColumnsCode, TableOrder, ColumnsLength from TableStructure where TableCode='T''1' order by "
                   "TableOrder, ColumnsCode"),
              (std::vector<std::string>{"UseName|1|120", "UseCode|2|64", "Duty|3|50"}));
    EXPECT_EQ(Rows("select ColumnsLength from TableStructure where TableCode='other'"), std::vector<std::string>{"10"});
}

} // namespace
