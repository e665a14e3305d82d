#include "VQGridChart.h"

#include "Build.h"
#include "Chart.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "VQExportSource.h"
#include "vq/grid/VQDBGDlg.h"
#include "vq/grid/VQDBGrid.h"

namespace {
const std::vector<std::string> kKinds = {"柱形", "线形", "饼形"};

void FillCombo(TComboBox* c, const std::vector<std::string>& items, const std::string& text) {
    for (const auto& s : items) c->Items()->Add(s);
    c->SetText(text);
}
} // namespace

TFrmdbGridChart::TFrmdbGridChart(TComponent* AOwner, TVQCustomDBGrid* grid) : TForm(AOwner), grid_(grid) {
    SetName("FrmdbGridChart");
    SetCaption("图形分析表");
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 691, 480);
    TBuild b(this);
    Notebook1 = b.Add<TNotebook>("Notebook1").Align(alClient);
    Notebook1->Pages()->Add("Setting");
    Notebook1->Pages()->Add("Result");
    TPage* setting = Notebook1->Page(0);
    TPage* result = Notebook1->Page(1);

    TBuild s = b.In(setting);
    VQGroupBox1 = s.Add<TGroupBox>("VQGroupBox1").Align(alRight).Width(376).Caption("方式二");
    VQGroupBox2 = s.Add<TGroupBox>("VQGroupBox2").Align(alClient).Caption("方式一 ");
    TBuild g2 = b.In(VQGroupBox2);
    g2.Add<TLabel>("Label1").At(10, 20, 120, 16).Caption("X坐标");
    lbx1X = g2.Add<TListBox>("lbx1X").At(10, 38, 130, 330);
    g2.Add<TLabel>("Label2").At(150, 20, 120, 16).Caption("Y坐标");
    lbx1Y = g2.Add<TVQGridCheckList>("lbx1Y").At(150, 38, 130, 330);
    g2.Add<TLabel>("Label3").At(10, 388, 80, 16).Caption("图表类型：");
    cbxGType1 = g2.Add<TComboBox>("cbxGType1").At(90, 384, 90, 22);
    FillCombo(cbxGType1, kKinds, "柱形");
    BtnOK1 =
        g2.Add<TButton>("BtnOK1").At(200, 382, 75, 25).Caption("确定").OnClick([this](TObject*) { BtnOK1Click(); });
    TBuild g1 = b.In(VQGroupBox1);
    g1.Add<TLabel>("Label4").At(10, 20, 120, 16).Caption("当前比较字段");
    lbxCurr = g1.Add<TVQGridCheckList>("lbxCurr").At(10, 38, 356, 300);
    g1.Add<TLabel>("Label5").At(10, 352, 80, 16).Caption("图表类型：");
    cbxGType = g1.Add<TComboBox>("cbxGType").At(90, 348, 90, 22);
    FillCombo(cbxGType, kKinds, "饼形");
    g1.Add<TLabel>("Label6").At(190, 352, 50, 16).Caption("数据：");
    cbxData = g1.Add<TComboBox>("cbxData").At(240, 348, 110, 22);
    FillCombo(cbxData, {"最后一行", "当前行", "合计"}, "最后一行");
    BtnOK2 =
        g1.Add<TButton>("BtnOK2").At(280, 382, 75, 25).Caption("确定").OnClick([this](TObject*) { BtnOK2Click(); });

    TBuild r = b.In(result);
    TPanel* top = r.Add<TPanel>("Panel1").Align(alTop).Height(36);
    TBuild t = b.In(top);
    BtnClose = t.Add<TButton>("BtnClose").At(6, 5, 80, 26).Caption("取消退出").ModalResult(mrCancel);
    BtnPrint =
        t.Add<TButton>("BtnPrint").At(92, 5, 80, 26).Caption("打印").OnClick([this](TObject*) { BtnPrintClick(); });
    SpeedButton1 = t.Add<TButton>("SpeedButton1").At(178, 5, 80, 26).Caption("上一页").OnClick([this](TObject*) {
        SpeedButton1Click();
    });
    dbchart = r.Add<TDBChart>("dbchart").Align(alClient);
    dbchart->Title()->Text()->Add("图形分析");
    dbchart->SetView3D(false);
    dbchart->SetColor(clWhite);
    FillFieldLists();
}

void TFrmdbGridChart::FillFieldLists() {
    lbx1X->Clear();
    lbx1Y->ClearItems();
    lbxCurr->ClearItems();
    TVQDBGridColumns* cols = grid_->Columns();
    for (int i = 0; i < cols->Count(); ++i) {
        TVQColumn* c = cols->GetColumn(i);
        if (!c->Visible()) continue;
        const std::string caption = c->Title()->GetCaption();
        lbx1X->Items()->Add(caption);
        if (TField* f = c->Field(); f && IsNumericKind(f->DataType())) {
            lbx1Y->AddItem(caption);
            lbxCurr->AddItem(caption);
        }
    }
    Notebook1->SetPageIndex(0);
}

TChartSeries* TFrmdbGridChart::newSeries(const std::string& kind) {
    if (kind == "柱形") return new TBarSeries(this);
    if (kind == "线形") return new TLineSeries(this);
    if (kind == "饼形") return new TPieSeries(this);
    return nullptr;
}

void TFrmdbGridChart::BtnOK1Click() {
    if (lbx1X->ItemIndex() < 0) {
        Application->MessageBox("请设置X坐标字段", "提示", MB_OK | MB_ICONINFORMATION);
        return;
    }
    TVQColumn* xCol = grid_->FindColumnByCaption(lbx1X->Items()->Strings(lbx1X->ItemIndex()));
    Notebook1->SetPageIndex(1);
    dbchart->FreeAllSeries();
    TDataSet* ds = grid_->DataSet();
    for (int i = 0; i < lbx1Y->Count(); ++i) {
        if (!lbx1Y->GetChecked(i)) continue;
        const std::string caption = lbx1Y->Items()->Strings(i);
        TVQColumn* yCol = grid_->FindColumnByCaption(caption);
        if (!yCol) continue;
        TChartSeries* series = newSeries(cbxGType1->Text());
        if (!series) return;
        series->SetParentChart(dbchart);
        series->SetTitle(caption);
        series->SetDataSource(ds);
        series->SetYValuesSource(yCol->FieldName());
        if (xCol) series->SetXLabelsSource(xCol->FieldName());
        series->CheckDataSource();
    }
    if (dbchart->SeriesCount() == 0) Application->MessageBox("请设置Y坐标字段", "提示", MB_OK | MB_ICONINFORMATION);
}

// The guard looks at the ticked items, as the chart does: a highlighted
// but unticked item would chart nothing.
void TFrmdbGridChart::BtnOK2Click() {
    TChartSeries* series = newSeries(cbxGType->Text());
    if (!series) return;
    bool anyTicked = false;
    for (int i = 0; i < lbxCurr->Count(); ++i) anyTicked |= lbxCurr->GetChecked(i);
    if (!anyTicked) {
        delete series;
        Application->MessageBox("请选择比较字段", "提示", MB_OK | MB_ICONINFORMATION);
        return;
    }
    for (int i = 0; i < lbxCurr->Count(); ++i) {
        if (!lbxCurr->GetChecked(i)) continue;
        const std::string caption = lbxCurr->Items()->Strings(i);
        TVQColumn* c = grid_->FindColumnByCaption(caption);
        if (!c) continue;
        series->Add(GetChartValue(c->FieldName()).ToDouble(), caption);
    }
    Notebook1->SetPageIndex(1);
    dbchart->FreeAllSeries();
    series->SetParentChart(dbchart);
}

Currency TFrmdbGridChart::GetChartValue(const std::string& fieldName) {
    TDataSet* ds = grid_->DataSet();
    if (!ds || !ds->Active()) return Currency();
    TField* f = ds->FindField(fieldName);
    if (!f) return Currency();
    const std::string how = cbxData->Text();
    auto value = [&] { return f->IsNull() ? Currency() : f->AsCurrency(); };
    if (how == "当前行") return value();
    if (how != "最后一行" && how != "合计") return Currency();
    // The grid's current record is where the operator left it.
    TVQDisabledControls disabled(ds);
    const TBookmark back = ds->IsEmpty() ? TBookmark() : ds->GetBookmark();
    Currency result;
    if (how == "最后一行") {
        ds->Last();
        result = value();
    } else {
        for (ds->First(); !ds->Eof(); ds->Next()) result += value();
    }
    if (!back.empty()) ds->GotoBookmark(back);
    return result;
}

void TFrmdbGridChart::BtnPrintClick() { dbchart->Print(); }

void TFrmdbGridChart::SpeedButton1Click() { Notebook1->SetPageIndex(0); }

void ShowGridChart(TVQCustomDBGrid* grid) {
    if (!grid) return;
    TFrmdbGridChart frm(Application, grid);
    frm.ShowModal();
}
