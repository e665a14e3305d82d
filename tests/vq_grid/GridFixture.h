// The data grid's fixture: a form with a TVQDBGrid over six books in the
// in-memory table (code, name, copies, amount, on loan), and helpers that
// click titles and cells through the window system and record a paint.
#pragma once

#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "Metafile.h"
#include "TestKit.h"
#include "Canvas_p.h"
#include "vq/VqMemTable.h"
#include "vq/grid/VQDBGrid.h"

#include <filesystem>

inline std::string ScreensDir() {
    const std::string dir = std::string(BUILD_DIR) + "/test-output/screens";
    std::filesystem::create_directories(dir);
    return dir;
}

class VQDBGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Title();
        form = new TForm(nullptr);
        form->SetName("FrmList");
        form->SetBounds(0, 0, 520, 320);
        table = new TVqMemTable(form);
        table->FieldDefs().Add("Code", ftString, 10);
        table->FieldDefs().Add("Name", ftString, 20);
        table->FieldDefs().Add("Copies", ftInteger);
        table->FieldDefs().Add("Amount", ftCurrency);
        table->FieldDefs().Add("OnLoan", ftBoolean);
        table->Open();
        const char* names[] = {"红楼梦", "水浒传", "三国演义", "西游记", "儒林外史", "聊斋志异"};
        for (int i = 0; i < 6; ++i) {
            table->Append();
            table->FieldByName("Code")->SetAsString(Format("B%.3d", i + 1));
            table->FieldByName("Name")->SetAsString(names[i]);
            table->FieldByName("Copies")->SetAsInteger(i + 1);
            table->FieldByName("Amount")->SetAsCurrency(Currency(10 * (i + 1)));
            table->FieldByName("OnLoan")->SetAsBoolean(i % 2 == 0);
            table->Post();
        }
        table->First();
        src = new TDataSource(form);
        src->SetDataSet(table);
        grid = new TVQDBGrid(form);
        grid->SetName("DBGrid1");
        grid->SetParent(form);
        grid->SetBounds(0, 0, 500, 300);
    }
    void TearDown() override { delete form; }

    void AddColumn(const std::string& field, const std::string& caption, int width = 80) {
        TVQColumn* c = grid->Columns()->Add();
        c->SetFieldName(field);
        c->Title()->SetCaption(caption);
        c->SetWidth(width);
    }
    void Open() {
        grid->SetDataSource(src);
        ShowAndActivate(form);
        grid->SetFocus();
        ProcessEvents();
    }
    TPoint CellCentre(int gridCol, int gridRow) {
        const TRect r = grid->CellRect(gridCol, gridRow);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    std::vector<TMetafileRecord> Paint() {
        std::vector<TMetafileRecord> records;
        CanvasSetRecorder(grid->Canvas(), &records);
        grid->Repaint();
        CanvasSetRecorder(grid->Canvas(), nullptr);
        return records;
    }
    void RightClickTitle(int gridCol) {
        const TPoint p = CellCentre(gridCol, 0);
        SendClick(grid, p.X, p.Y, mbRight);
    }

    TForm* form = nullptr;
    TVqMemTable* table = nullptr;
    TDataSource* src = nullptr;
    TVQDBGrid* grid = nullptr;
};
