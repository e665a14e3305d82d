// The statistics chart window; see uBaseChart.h.
#include "uBaseChart.h"

#include "Build.h"
#include "Buttons.h"
#include "Chart.h"
#include "DB.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

TFrmBaseChart::TFrmBaseChart(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmBaseChart");
    SetCaption("统计图");
    SetClientWidth(640);
    SetClientHeight(460);

    TBuild b(this);
    DsChart = b.Add<TDataSource>("DsChart");
    Panel1 = b.Add<TPanel>("Panel1").Align(alTop).Height(36).Caption("");
    auto bar = b.In(Panel1).Across(8, 6, 24, 4);
    SbtType1 = bar.Next(bar.Add<TSpeedButton>("SbtType1").Caption("饼形").OnClick(&TFrmBaseChart::SbtType1Click), 60);
    SbtType2 = bar.Next(bar.Add<TSpeedButton>("SbtType2").Caption("柱形").OnClick(&TFrmBaseChart::SbtType2Click), 60);
    SbtType3 = bar.Next(bar.Add<TSpeedButton>("SbtType3").Caption("线形").OnClick(&TFrmBaseChart::SbtType3Click), 60);
    LbItem = b.In(Panel1).Add<TLabel>("LbItem").Caption("统计项目：").At(220, 11);
    CmbItem = b.In(Panel1)
                  .Add<TComboBox>("CmbItem")
                  .At(290, 7, 110, 21)
                  .OnChange(&TFrmBaseChart::CmbItemChange)
                  .OnKeyDown(KeyDownHandler());
    CmbItem->SetStyle(csDropDownList);
    BtExit = b.In(Panel1)
                 .Add<TBitBtn>("BtExit")
                 .Caption("退出(&E)")
                 .At(552, 5, 80, 26)
                 .Cancel()
                 .OnClick(&TFrmBaseChart::BtExitClick);
    DBChart = b.Add<TDBChart>("DBChart").Align(alClient);
    DBChart->SetColor(clWhite);
}

void TFrmBaseChart::drawAs(int kind) {
    DBChart->RemoveAllSeries();
    TChartSeries* s = nullptr;
    switch (kind) {
    case 1: s = PieSeries = new TPieSeries(this); break;
    case 2: s = BarSeries = new TBarSeries(this); break;
    default: s = LineSeries = new TLineSeries(this); break;
    }
    s->Marks().Visible = true;
    s->Marks().Style = smsLabelPercent;
    s->SetDataSource(DsChart->DataSet());
    s->SetXLabelsSource(LabelField);
    s->SetYValuesSource(ValueField);
    s->SetParentChart(DBChart);
    s->CheckDataSource();
    ChartKind = kind;
}

void TFrmBaseChart::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    drawAs(1);
}

void TFrmBaseChart::SbtType1Click(TObject*) { drawAs(1); }

void TFrmBaseChart::SbtType2Click(TObject*) { drawAs(2); }

void TFrmBaseChart::SbtType3Click(TObject*) { drawAs(3); }

void TFrmBaseChart::BtExitClick(TObject*) { Close(); }
