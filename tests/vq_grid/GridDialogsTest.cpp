// The windows of the data grid's title menu, opened from the menu through
// the window system and answered through the dialog seam: the column
// dialog, the export window and the chart dialog.
#include "GridFixture.h"

#include "Chart.h"
#include "ExtCtrls.h"
#include "Gbk.h"
#include "vq/export/VQGridChart.h"
#include "vq/export/VQTranOut.h"
#include "vq/grid/VQDBGDlg.h"

#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class GridDialogsTest : public VQDBGridTest {
protected:
    void SetUp() override {
        VQDBGridTest::SetUp();
        InstallGridTitleMenu();
        script = std::make_unique<TSeamScript>();
        script->OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    }
    void TearDown() override {
        EXPECT_TRUE(script->Unused().empty()) << "an expected window did not show";
        script.reset();
        VQDBGridTest::TearDown();
    }
    void ChooseFromTitleMenu(const std::string& caption) {
        RightClickTitle(2);
        ASSERT_FALSE(OpenMenuCaptions().empty());
        ClickMenuItem(caption);
    }
    static std::string OutDir() {
        const std::string dir = std::string(BUILD_DIR) + "/test-output/exports/window";
        std::filesystem::create_directories(dir);
        return dir;
    }
    static void TickByClick(TVQGridCheckList* list, int item) {
        const TRect r = list->ItemRect(item);
        SendClick(list, r.Left + 30, (r.Top + r.Bottom) / 2);
    }
    std::unique_ptr<TSeamScript> script;
};

// ---- the column dialog

TEST_F(GridDialogsTest, columnDialogTicksEachColumnAlsoWhenCaptionsRepeat) {
    AddColumn("Code", "书名");
    AddColumn("Name", "书名");
    AddColumn("Copies", "册数");
    Open();
    grid->Columns()->GetColumn(2)->SetVisible(false);
    std::vector<bool> ticked;
    script->ExpectForm("TFrmDBGridDlg", mrOk, {}, [&](TCustomForm* f) {
        auto* dlg = static_cast<TFrmDBGridDlg*>(f);
        for (int j = 0; j < dlg->LbxColumns->Count(); ++j) ticked.push_back(dlg->LbxColumns->GetChecked(j));
        SendClick(dlg->BtnOk);
    });
    ChooseFromTitleMenu("输入及显示控制");
    EXPECT_EQ(ticked, (std::vector<bool>{true, true, false}));
    EXPECT_TRUE(grid->Columns()->GetColumn(1)->Visible());
    EXPECT_FALSE(grid->Columns()->GetColumn(2)->Visible());
}

TEST_F(GridDialogsTest, columnDialogSetsTabStopsAndHidesUnticked) {
    Open();
    script->ExpectForm("TFrmDBGridDlg", mrOk, {}, [&](TCustomForm* f) {
        auto* dlg = static_cast<TFrmDBGridDlg*>(f);
        TickByClick(dlg->LbxTabStop, 1);
        TickByClick(dlg->LbxColumns, 0);
        SaveFormPng(dlg, ScreensDir() + "/vqdbgrid-column-dialog.png");
        SendClick(dlg->BtnOk);
    });
    ChooseFromTitleMenu("数据转入转出");
    EXPECT_FALSE(grid->Columns()->GetColumn(0)->Visible());
    EXPECT_TRUE(grid->Columns()->GetColumn(1)->TabStop());
    EXPECT_FALSE(grid->Columns()->GetColumn(2)->TabStop());
    // Nothing ticked on the right: every column stops again.
    script->ExpectForm("TFrmDBGridDlg", mrOk, {}, [&](TCustomForm* f) {
        auto* dlg = static_cast<TFrmDBGridDlg*>(f);
        SendClick(dlg->BtnOk);
    });
    ShowGridColumnDialog(grid, 0);
    EXPECT_TRUE(grid->Columns()->GetColumn(2)->TabStop());
}

// ---- the export window

struct ExportRow {
    const char* name;
    int format;
    const char* typed;    // as typed, blanks included
    const char* written;  // file name the export wrote
    const char* contains; // in the file's text (GBK decoded), "" for binary
};

class ExportWindow : public GridDialogsTest, public ::testing::WithParamInterface<ExportRow> {};

TEST_P(ExportWindow, writesTheTypedNameTrimmed) {
    Open();
    const ExportRow& row = GetParam();
    const std::string written = OutDir() + "/" + row.written;
    std::filesystem::remove(written);
    script->ExpectForm("FrmTranOut", mrOk, {}, [&](TCustomForm* f) {
        auto* w = static_cast<TFrmTranOut*>(f);
        SendClick(w->RGPSelect->Buttons(row.format));
        w->EdtFileName->SetText(std::string("  ") + OutDir() + "/" + row.typed + "  ");
        SendClick(w->BtnOK);
    });
    ChooseFromTitleMenu("数据输出");
    ASSERT_TRUE(std::filesystem::exists(written)) << written;
    if (*row.contains) {
        std::ifstream in(written, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        EXPECT_NE(GbkToUtf8(s.str()).find(row.contains), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportWindow,
                         ::testing::Values(ExportRow{"Excel", tofExcel, "books", "books.xlsx", ""},
                                           ExportRow{"Txt", tofText, "books", "books.txt", "\"聊斋志异\""},
                                           ExportRow{"Html", tofHtml, "books.html", "books.html",
                                                     "<td nowrap  >红楼梦"},
                                           ExportRow{"DBF", tofDbf, "books", "books.dbf", ""}),
                         RowName());

TEST_F(GridDialogsTest, exportWindowWithoutFormatClosesAndWritesNothing) {
    Open();
    script->ExpectForm("FrmTranOut", mrOk, {}, [&](TCustomForm* f) {
        auto* w = static_cast<TFrmTranOut*>(f);
        w->EdtFileName->SetText(OutDir() + "/none");
        SendClick(w->BtnOK);
        EXPECT_EQ(w->ModalResult(), mrCancel);
        EXPECT_EQ(w->Written(), "");
    });
    ShowTranOut(grid);
}

TEST_F(GridDialogsTest, exportWindowAsksForANameAndBeforeReplacing) {
    Open();
    const std::string name = OutDir() + "/again.txt";
    {
        std::ofstream old(name);
        old << "old";
    }
    script->ExpectMessage("文件名不能为空", IDOK, "提示");
    script->ExpectMessage("已经存在", IDNO, "询问");
    script->ExpectMessage("已经存在", IDYES, "询问");
    script->ExpectForm("FrmTranOut", mrOk, {}, [&](TCustomForm* f) {
        auto* w = static_cast<TFrmTranOut*>(f);
        SendClick(w->RGPSelect->Buttons(tofText));
        SendClick(w->BtnOK);
        EXPECT_TRUE(w->Modal()) << "the window closed without a name";
        w->EdtFileName->SetText(name);
        SendClick(w->BtnOK);
        EXPECT_TRUE(w->Modal()) << "the window closed though the operator kept the old file";
        EXPECT_EQ(ReadFile(name), "old");
        SaveFormPng(w, ScreensDir() + "/vqexport-window.png");
        SendClick(w->BtnOK);
    });
    ShowTranOut(grid);
    EXPECT_NE(ReadFile(name), "old");
}

TEST_F(GridDialogsTest, exportFailureShowsTheCauseAndKeepsTheWindow) {
    Open();
    script->ExpectMessage("/no-such-dir/x.xlsx", IDOK, "提示");
    script->ExpectForm("FrmTranOut", mrCancel, {}, [&](TCustomForm* f) {
        auto* w = static_cast<TFrmTranOut*>(f);
        SendClick(w->RGPSelect->Buttons(tofExcel));
        EXPECT_TRUE(w->EdtFileName->Enabled());
        w->EdtFileName->SetText("/no-such-dir/x.xlsx");
        SendClick(w->BtnOK);
        EXPECT_TRUE(w->Modal());
        SendClick(w->BtnCancel);
    });
    ShowTranOut(grid);
}

TEST_F(GridDialogsTest, saveDialogProposesTheFormatsExtension) {
    Open();
    script->ExpectFile(TSeamKind::SaveDialog, OutDir() + "/chosen.xlsx");
    script->ExpectForm("FrmTranOut", mrOk, {}, [&](TCustomForm* f) {
        auto* w = static_cast<TFrmTranOut*>(f);
        SendClick(w->RGPSelect->Buttons(tofExcel));
        SendClick(w->BtnFileName);
        EXPECT_EQ(w->EdtFileName->Text(), OutDir() + "/chosen.xlsx");
        SendClick(w->BtnOK);
    });
    std::filesystem::remove(OutDir() + "/chosen.xlsx");
    ShowTranOut(grid);
    EXPECT_TRUE(std::filesystem::exists(OutDir() + "/chosen.xlsx"));
}

// ---- the chart dialog

TEST_F(GridDialogsTest, chartWayOneDrawsOneSeriesPerTickedColumn) {
    Open();
    table->SetRecNo(3);
    int series = -1, points = -1;
    script->ExpectForm("FrmdbGridChart", mrCancel, {}, [&](TCustomForm* f) {
        auto* d = static_cast<TFrmdbGridChart*>(f);
        EXPECT_EQ(d->lbx1X->Items()->Count(), 5);
        ASSERT_EQ(d->lbx1Y->Count(), 2); // Copies, Amount: the numeric ones
        d->lbx1X->SetItemIndex(1);
        d->lbx1Y->SetChecked(0, true);
        d->lbx1Y->SetChecked(1, true);
        SendClick(d->BtnOK1);
        series = d->dbchart->SeriesCount();
        points = series ? d->dbchart->Series(0)->Count() : 0;
        SaveFormPng(d, ScreensDir() + "/vqgrid-chart.png");
        SendClick(d->BtnClose);
    });
    ChooseFromTitleMenu("数据图表");
    EXPECT_EQ(series, 2);
    EXPECT_EQ(points, 6);
    EXPECT_EQ(table->RecNo(), 3);
}

TEST_F(GridDialogsTest, chartWayTwoTotalsAsMoneyAndKeepsTheRecord) {
    table->Edit();
    table->FieldByName("Amount")->Clear();
    table->Post();
    Open();
    table->SetRecNo(2);
    double total = 0, last = 0;
    script->ExpectMessage("请选择比较字段", IDOK, "提示");
    script->ExpectForm("FrmdbGridChart", mrCancel, {}, [&](TCustomForm* f) {
        auto* d = static_cast<TFrmdbGridChart*>(f);
        d->lbxCurr->SetItemIndex(1); // highlighted, not ticked
        SendClick(d->BtnOK2);
        d->lbxCurr->SetChecked(1, true);
        d->cbxData->SetText("合计");
        SendClick(d->BtnOK2);
        total = d->dbchart->Series(0)->YValue(0);
        SendClick(d->SpeedButton1);
        d->cbxData->SetText("最后一行");
        EXPECT_EQ(d->GetChartValue("Amount"), Currency(60));
        d->cbxGType->SetText("圆环");
        SendClick(d->BtnOK2);
        last = d->dbchart->Series(0)->YValue(0);
        SendCloseBox(d);
    });
    ShowGridChart(grid);
    EXPECT_EQ(total, 200.0); // 20 + 30 + 40 + 50 + 60, the empty first one adds nothing
    EXPECT_EQ(last, 200.0);  // an unknown chart kind changes nothing
    EXPECT_EQ(table->RecNo(), 2);
}

TEST_F(GridDialogsTest, chartWithoutNumericColumnsAsksForY) {
    AddColumn("Code", "编号");
    AddColumn("Name", "书名");
    Open();
    script->ExpectMessage("请设置X坐标字段", IDOK, "提示");
    script->ExpectMessage("请设置Y坐标字段", IDOK, "提示");
    script->ExpectForm("FrmdbGridChart", mrCancel, {}, [&](TCustomForm* f) {
        auto* d = static_cast<TFrmdbGridChart*>(f);
        EXPECT_EQ(d->lbx1Y->Count(), 0);
        SendClick(d->BtnOK1);
        d->lbx1X->SetItemIndex(0);
        SendClick(d->BtnOK1);
        EXPECT_EQ(d->Notebook1->PageIndex(), 1);
        SendClick(d->SpeedButton1);
        EXPECT_EQ(d->Notebook1->PageIndex(), 0);
        SendCloseBox(d);
    });
    ShowGridChart(grid);
}

} // namespace
