// The query windows' "导出Excel": the second grid library's grid written as
// a workbook under the name the save dialog gave, read back with openpyxl.
#include "GridFixture.h"

#include "gridlib/grid/DBGridEh.h"
#include "vq/export/VQExcelExport.h"
#include "vq_export/ExportFixture.h"

namespace {

const char* kCells = R"PY(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print("dims", ws.max_row, ws.max_column)
for row in ws.iter_rows():
    for c in row:
        print(c.coordinate, repr(c.value), type(c.value).__name__, "bold" if c.font.b else "-", c.number_format)
for k, d in sorted(ws.column_dimensions.items()):
    print("width", k, d.width)
)PY";

class GridEhExportTest : public VQDBGridTest {
protected:
    void SetUp() override {
        VQDBGridTest::SetUp();
        grid->SetVisible(false);
        eh = new TDBGridEh(form);
        eh->SetName("DBGridEh1");
        eh->SetParent(form);
        eh->SetBounds(0, 0, 500, 300);
        // Stored columns out of field order, the second one hidden.
        AddEh("Name", "书名", 120);
        AddEh("Code", "条码", 60)->SetVisible(false);
        AddEh("Amount", "金额", 66);
        AddEh("OnLoan", "在借", 40);
        eh->SetDataSource(src);
        script = std::make_unique<TSeamScript>();
        script->OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    }
    void TearDown() override {
        EXPECT_TRUE(script->Unused().empty()) << "an expected window did not show";
        script.reset();
        VQDBGridTest::TearDown();
    }
    TColumnEh* AddEh(const std::string& field, const std::string& caption, int width) {
        TColumnEh* c = eh->Columns()->Add();
        c->SetFieldName(field);
        c->Title()->SetCaption(caption);
        c->SetWidth(width);
        return c;
    }
    TDBGridEh* eh = nullptr;
    std::unique_ptr<TSeamScript> script;
};

TEST_F(GridEhExportTest, writesTheVisibleColumnsUnderTheChosenName) {
    const std::string file = OutputDir("exports") + "/query-grid.xlsx";
    std::filesystem::remove(file);
    table->SetRecNo(4);
    script->ExpectFile(TSeamKind::SaveDialog, file);
    EXPECT_TRUE(TVQExcelExport::ExportDBGridEh("", "", eh));
    const std::string x = RunPython(kCells, file);
    EXPECT_NE(x.find("dims 7 3"), std::string::npos) << x;
    for (const char* line : {"A1 '书名' str bold General", "B1 '金额' str bold General", "C1 '在借' str bold General",
                             "A2 '红楼梦' str - @", "B2 10 int - General", "C2 True bool - General",
                             "A7 '聊斋志异' str - @", "B7 60 int - General", "C7 False bool - General",
                             "width A 20", "width B 11"})
        EXPECT_NE(x.find(line), std::string::npos) << line << "\n" << x;
    // The grid shows the first record afterwards, as after every export.
    EXPECT_EQ(table->RecNo(), 1);
}

TEST_F(GridEhExportTest, cancelledSaveDialogWritesNothing) {
    const std::string file = OutputDir("exports") + "/query-grid-cancelled.xlsx";
    std::filesystem::remove(file);
    script->ExpectFile(TSeamKind::SaveDialog, file, false);
    EXPECT_FALSE(TVQExcelExport::ExportDBGridEh("", "", eh));
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(GridEhExportTest, closedDataSetSaysWhyAndWritesNothing) {
    const std::string file = OutputDir("exports") + "/query-grid-closed.xlsx";
    std::filesystem::remove(file);
    table->Close();
    script->ExpectFile(TSeamKind::SaveDialog, file);
    script->ExpectMessage("导出Excel失败：数据集没有打开", IDOK);
    EXPECT_FALSE(TVQExcelExport::ExportDBGridEh("", "", eh));
    EXPECT_FALSE(std::filesystem::exists(file));
}

} // namespace
